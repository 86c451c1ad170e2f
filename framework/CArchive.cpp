#include "CArchive.h"

#include <algorithm>
#include <climits>
#include <cstring>

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize)
    : m_pFile(pFile), m_bLoading((nMode & load) != 0), m_buf(static_cast<std::size_t>(std::max(nBufSize, 16)))
{
}

CArchive::~CArchive()
{
    if (m_pFile && !m_bLoading) {
        try {
            WriteBuffer();
        } catch (const CArchiveException&) {
            // Reported only through Close().
        }
    }
}

bool CArchive::FillBuffer()
{
    if (!m_pFile)
        throw CArchiveException(CArchiveException::genericException);
    UINT got = 0;
    if (!m_pFile->ReadChecked(m_buf.data(), static_cast<UINT>(m_buf.size()), got))
        throw CArchiveException(CArchiveException::genericException);
    m_nPos = 0;
    m_nEnd = got;
    return got > 0;
}

// The pending bytes are dropped even when the write fails, so a later flush
// (the destructor's) does not write them again.
void CArchive::WriteBuffer()
{
    if (m_nEnd == 0)
        return;
    if (!m_pFile)
        throw CArchiveException(CArchiveException::genericException);
    const UINT pending = m_nEnd;
    m_nEnd = 0;
    if (!m_pFile->Write(m_buf.data(), pending))
        throw CArchiveException(CArchiveException::genericException);
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    if (!m_bLoading)
        throw CArchiveException(CArchiveException::writeOnly);
    BYTE* dst = static_cast<BYTE*>(lpBuf);
    UINT done = 0;
    while (done < nMax) {
        if (m_nPos == m_nEnd && !FillBuffer())
            break;
        const UINT chunk = std::min(nMax - done, m_nEnd - m_nPos);
        std::memcpy(dst + done, m_buf.data() + m_nPos, chunk);
        m_nPos += chunk;
        done += chunk;
    }
    return done;
}

void CArchive::Write(const void* lpBuf, UINT nCount)
{
    if (m_bLoading)
        throw CArchiveException(CArchiveException::readOnly);
    if (!m_pFile)
        throw CArchiveException(CArchiveException::genericException);
    const BYTE* src = static_cast<const BYTE*>(lpBuf);
    const UINT size = static_cast<UINT>(m_buf.size());
    while (nCount > 0) {
        if (m_nEnd == size)
            WriteBuffer();
        const UINT chunk = std::min(nCount, size - m_nEnd);
        std::memcpy(m_buf.data() + m_nEnd, src, chunk);
        m_nEnd += chunk;
        src += chunk;
        nCount -= chunk;
    }
}

void CArchive::Flush()
{
    if (!m_pFile)
        return;
    if (!m_bLoading) {
        WriteBuffer();
        return;
    }
    const UINT unread = m_nEnd - m_nPos;
    m_nPos = m_nEnd = 0;
    if (unread > 0 && m_pFile->Seek(-static_cast<LONGLONG>(unread), CFile::current) == static_cast<ULONGLONG>(-1))
        throw CArchiveException(CArchiveException::genericException);
}

void CArchive::Close()
{
    if (!m_pFile)
        return;
    if (!m_bLoading) {
        try {
            WriteBuffer();
        } catch (const CArchiveException&) {
            m_pFile = nullptr;
            throw;
        }
    }
    m_pFile = nullptr;
}

void CArchive::Abort()
{
    m_pFile = nullptr;
    m_nPos = m_nEnd = 0;
}

ULONGLONG CArchive::GetBytesLeft() const
{
    if (!m_bLoading || !m_pFile)
        return 0;
    const ULONGLONG length = m_pFile->GetLength();
    const ULONGLONG position = m_pFile->GetPosition();
    return (m_nEnd - m_nPos) + (length > position ? length - position : 0);
}

void CArchive::ReadExact(void* lpBuf, UINT nCount)
{
    if (Read(lpBuf, nCount) != nCount)
        throw CArchiveException(CArchiveException::endOfFile);
}

CArchive& CArchive::WriteLE(DWORD value, UINT nBytes)
{
    BYTE bytes[4];
    for (UINT i = 0; i < nBytes; ++i)
        bytes[i] = static_cast<BYTE>(value >> (8 * i));
    Write(bytes, nBytes);
    return *this;
}

DWORD CArchive::ReadLE(UINT nBytes)
{
    BYTE bytes[4];
    ReadExact(bytes, nBytes);
    DWORD value = 0;
    for (UINT i = 0; i < nBytes; ++i)
        value |= static_cast<DWORD>(bytes[i]) << (8 * i);
    return value;
}

CArchive& CArchive::operator<<(const CString& str)
{
    const DWORD length = static_cast<DWORD>(str.GetLength());
    if (length < 0xFF) {
        *this << static_cast<BYTE>(length);
    } else if (length < 0xFFFE) {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(length);
    } else {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF) << length;
    }
    Write(str.GetString(), length);
    return *this;
}

// A 2-byte length of 0xFFFE, which no writer produces, is taken as a length.
// The length is checked against the bytes left before the string is sized,
// so a damaged prefix cannot ask for gigabytes.
CArchive& CArchive::operator>>(CString& str)
{
    BYTE shortLength = 0;
    *this >> shortLength;
    DWORD length = shortLength;
    if (shortLength == 0xFF) {
        WORD mediumLength = 0;
        *this >> mediumLength;
        length = mediumLength;
        if (mediumLength == 0xFFFF)
            *this >> length;
    }
    if (length > static_cast<DWORD>(INT_MAX) || length > GetBytesLeft())
        throw CArchiveException(CArchiveException::endOfFile);
    CString value;
    ReadExact(value.GetBufferSetLength(static_cast<int>(length)), length);
    str = std::move(value);
    return *this;
}
