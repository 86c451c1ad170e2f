#include "CFile.h"

#include "AfxFileSystem.h"

namespace {

DWORD AccessFromFlags(UINT flags)
{
    switch (flags & 0x3) {
    case CFile::modeWrite: return GENERIC_WRITE;
    case CFile::modeReadWrite: return GENERIC_READ | GENERIC_WRITE;
    default: return GENERIC_READ;
    }
}

DWORD ShareFromFlags(UINT flags)
{
    switch (flags & 0x70) {
    case CFile::shareDenyWrite: return FILE_SHARE_READ;
    case CFile::shareDenyRead: return FILE_SHARE_WRITE;
    case CFile::shareDenyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default: // shareCompat, shareExclusive
        return 0;
    }
}

DWORD DispositionFromFlags(UINT flags)
{
    if (!(flags & CFile::modeCreate))
        return OPEN_EXISTING;
    return (flags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
}

} // namespace

CFile::~CFile()
{
    Close();
}

BOOL CFile::Open(const char* path, UINT nOpenFlags, void* pError)
{
    Close();
    m_hFile = AfxCreateFile(path, AccessFromFlags(nOpenFlags), ShareFromFlags(nOpenFlags),
                            DispositionFromFlags(nOpenFlags), FILE_ATTRIBUTE_NORMAL);
    const DWORD error = IsOpen() ? 0 : ::GetLastError();
    if (pError)
        *static_cast<DWORD*>(pError) = error;
    return IsOpen();
}

void CFile::Close()
{
    if (IsOpen()) {
        ::CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
}

BOOL CFile::ReadChecked(void* lpBuf, UINT nCount, UINT& nRead)
{
    nRead = 0;
    if (nCount == 0)
        return TRUE;
    DWORD got = 0;
    if (!IsOpen() || !::ReadFile(m_hFile, lpBuf, nCount, &got, nullptr))
        return FALSE;
    nRead = got;
    return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    UINT nRead = 0;
    return ReadChecked(lpBuf, nCount, nRead) ? nRead : 0;
}

BOOL CFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return TRUE;
    DWORD written = 0;
    if (!IsOpen() || !::WriteFile(m_hFile, lpBuf, nCount, &written, nullptr))
        return FALSE;
    return written == nCount;
}

BOOL CFile::Flush()
{
    return IsOpen() && ::FlushFileBuffers(m_hFile);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    LARGE_INTEGER distance;
    distance.QuadPart = lOff;
    LARGE_INTEGER pos;
    if (!IsOpen() || !::SetFilePointerEx(m_hFile, distance, &pos, nFrom))
        return static_cast<ULONGLONG>(-1);
    return static_cast<ULONGLONG>(pos.QuadPart);
}

ULONGLONG CFile::GetPosition() const
{
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    LARGE_INTEGER pos;
    if (!IsOpen() || !::SetFilePointerEx(m_hFile, zero, &pos, FILE_CURRENT))
        return 0;
    return static_cast<ULONGLONG>(pos.QuadPart);
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (!IsOpen() || !::GetFileSizeEx(m_hFile, &size))
        return 0;
    return static_cast<ULONGLONG>(size.QuadPart);
}

BOOL CFile::SetLength(ULONGLONG dwNewLen)
{
    if (Seek(static_cast<LONGLONG>(dwNewLen), begin) != dwNewLen)
        return FALSE;
    return ::SetEndOfFile(m_hFile);
}
