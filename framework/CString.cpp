#include "CString.h"

#include <mbstring.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "MbString.h"

namespace {

const unsigned char* Mbs(const char* psz)
{
    return reinterpret_cast<const unsigned char*>(psz ? psz : "");
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

CString::CString(const char* psz) : m_str(psz ? psz : "")
{
}

CString::CString(const char* pch, int nLength)
{
    if (pch && nLength > 0)
        m_str.assign(pch, static_cast<std::size_t>(nLength));
}

CString::CString(char ch, int nRepeat)
{
    if (nRepeat > 0)
        m_str.assign(static_cast<std::size_t>(nRepeat), ch);
}

CString& CString::operator=(const char* psz)
{
    // assign() copes with psz pointing into this string.
    m_str.assign(psz ? psz : "");
    return *this;
}

CString& CString::operator=(char ch)
{
    m_str.assign(1, ch);
    return *this;
}

char CString::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetLength())
        return '\0';
    return m_str[static_cast<std::size_t>(nIndex)];
}

void CString::SetAt(int nIndex, char ch)
{
    if (nIndex >= 0 && nIndex < GetLength())
        m_str[static_cast<std::size_t>(nIndex)] = ch;
}

CString& CString::operator+=(const CString& str)
{
    m_str += str.m_str;
    return *this;
}

CString& CString::operator+=(const char* psz)
{
    if (psz)
        m_str.append(psz);
    return *this;
}

CString& CString::operator+=(char ch)
{
    m_str += ch;
    return *this;
}

CString operator+(const CString& a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, const char* b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const char* a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, char ch)
{
    CString result(a);
    result += ch;
    return result;
}

int CString::Compare(const char* psz) const
{
    return _mbscmp(Mbs(m_str.c_str()), Mbs(psz));
}

int CString::CompareNoCase(const char* psz) const
{
    return _mbsicmp(Mbs(m_str.c_str()), Mbs(psz));
}

CString CString::Left(int nCount) const
{
    nCount = std::clamp(nCount, 0, GetLength());
    return CString(m_str.data(), nCount);
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    const int len = GetLength();
    nFirst = std::clamp(nFirst, 0, len);
    nCount = std::clamp(nCount, 0, len - nFirst);
    return CString(m_str.data() + nFirst, nCount);
}

CString CString::Right(int nCount) const
{
    const int len = GetLength();
    nCount = std::clamp(nCount, 0, len);
    return CString(m_str.data() + (len - nCount), nCount);
}

// Searches only ever match at a character boundary (the program's one
// multibyte scanner; Wine's _mbsstr is a plain byte search, so it cannot be
// used).
int CString::FindAtBoundary(int nStart, bool bLast, const char* pszSub, std::size_t nSubLen) const
{
    const std::size_t pos =
        FindMb(m_str, std::string_view(pszSub, nSubLen), static_cast<std::size_t>(std::max(nStart, 0)), bLast);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(char ch, int nStart) const
{
    return FindAtBoundary(nStart, false, &ch, 1);
}

int CString::Find(const char* pszSub, int nStart) const
{
    if (!pszSub)
        pszSub = "";
    return FindAtBoundary(nStart, false, pszSub, std::strlen(pszSub));
}

int CString::ReverseFind(char ch) const
{
    return FindAtBoundary(0, true, &ch, 1);
}

// Formats into a buffer of its own first, so an argument may point into this
// string.
void CString::FormatAppend(const char* pszFormat, va_list args)
{
    char small[256];
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(small, sizeof small, pszFormat ? pszFormat : "", copy);
    va_end(copy);
    if (needed < 0)
        return;
    if (static_cast<std::size_t>(needed) < sizeof small) {
        m_str.append(small, static_cast<std::size_t>(needed));
        return;
    }
    std::vector<char> big(static_cast<std::size_t>(needed) + 1);
    va_copy(copy, args);
    std::vsnprintf(big.data(), big.size(), pszFormat, copy);
    va_end(copy);
    m_str.append(big.data(), static_cast<std::size_t>(needed));
}

void CString::Format(const char* pszFormat, ...)
{
    CString result;
    va_list args;
    va_start(args, pszFormat);
    result.FormatAppend(pszFormat, args);
    va_end(args);
    *this = std::move(result);
}

void CString::AppendFormat(const char* pszFormat, ...)
{
    CString tail;
    va_list args;
    va_start(args, pszFormat);
    tail.FormatAppend(pszFormat, args);
    va_end(args);
    m_str += tail.m_str;
}

char* CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength > GetLength())
        m_str.resize(static_cast<std::size_t>(nMinBufLength));
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = static_cast<int>(strnlen(m_str.c_str(), m_str.size()));
    m_str.resize(static_cast<std::size_t>(std::min(nNewLength, GetLength())));
}

char* CString::GetBufferSetLength(int nNewLength)
{
    m_str.resize(static_cast<std::size_t>(std::max(nNewLength, 0)));
    return &m_str[0];
}

// LoadStringA truncates silently, so the buffer grows until the string fits
// with room to spare. A string resource holds at most 65535 UTF-16 units,
// which is at most twice as many bytes in a double-byte code page.
BOOL CString::LoadString(UINT nID)
{
    HINSTANCE hInstance = ::GetModuleHandleA(nullptr);
    for (int size = 256; size <= 256 * 1024; size *= 4) {
        std::vector<char> buf(static_cast<std::size_t>(size));
        const int copied = ::LoadStringA(hInstance, nID, buf.data(), size);
        if (copied <= 0) {
            Empty();
            return FALSE;
        }
        if (copied < size - 1) {
            m_str.assign(buf.data(), static_cast<std::size_t>(copied));
            return TRUE;
        }
    }
    Empty();
    return FALSE;
}

void CString::TrimLeft()
{
    std::size_t first = 0;
    while (first < m_str.size() && IsBlank(m_str[first]))
        ++first;
    m_str.erase(0, first);
}

void CString::TrimRight()
{
    std::size_t last = m_str.size();
    while (last > 0 && IsBlank(m_str[last - 1]))
        --last;
    m_str.resize(last);
}
