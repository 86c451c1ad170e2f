// A multibyte string in the process's ANSI code page (Shift-JIS on a Japanese
// system). Lengths and positions count bytes; searches skip double-byte
// characters whole, because a trail byte can equal an ASCII byte ('\\', '|').
#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>
#include <type_traits>

class CString {
public:
    CString() = default;
    CString(const char* psz);              // nullptr gives an empty string
    CString(const char* pch, int nLength); // exactly nLength bytes (NULs kept)
    CString(char ch, int nRepeat = 1);     // nRepeat < 1 gives an empty string
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(const char* psz);
    CString& operator=(char ch);

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }

    operator const char*() const { return m_str.c_str(); }
    const char* GetString() const { return m_str.c_str(); }

    // Out-of-range positions give '\0'.
    char GetAt(int nIndex) const;
    void SetAt(int nIndex, char ch);
    char operator[](int nIndex) const { return GetAt(nIndex); }
    // Any other integer type: without this, s[size_t] would be ambiguous with
    // the built-in subscript of the const char* conversion.
    template <typename I, typename = std::enable_if_t<std::is_integral_v<I>>> char operator[](I nIndex) const
    {
        return GetAt(static_cast<int>(nIndex));
    }

    CString& operator+=(const CString& str);
    CString& operator+=(const char* psz);
    CString& operator+=(char ch);

    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, const char* b);
    friend CString operator+(const char* a, const CString& b);
    friend CString operator+(const CString& a, char ch);

    // Byte comparison of the whole content.
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }
    friend bool operator==(const char* a, const CString& b) { return b == a; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator!=(const char* a, const CString& b) { return !(b == a); }
    // Byte order, so CString works as a std::map key (never pointer order).
    friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }

    // Multibyte comparisons of the C runtime: < 0, 0 or > 0.
    int Compare(const char* psz) const;       // _mbscmp
    int CompareNoCase(const char* psz) const; // _mbsicmp: ASCII letters folded

    // Substrings; out-of-range arguments are clamped, never an error.
    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Right(int nCount) const;

    // Byte positions, or -1; double-byte characters are skipped whole. nStart
    // must be on a character boundary.
    int Find(char ch, int nStart = 0) const;
    int Find(const char* pszSub, int nStart = 0) const;
    int ReverseFind(char ch) const;

    // printf-style formatting, any length.
    void Format(const char* pszFormat, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 2, 3)));
    void AppendFormat(const char* pszFormat, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 2, 3)));

    // Direct writing: GetBuffer returns room for at least nMinBufLength bytes
    // plus a terminator; ReleaseBuffer(-1) takes the length up to the first NUL.
    char* GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);
    char* GetBufferSetLength(int nNewLength);

    // The string resource nID of the executable; FALSE (and empty) when missing.
    BOOL LoadString(UINT nID);

    // Removes blanks, tabs, CR and LF (none of them can be a trail byte).
    void TrimLeft();
    void TrimRight();

private:
    void FormatAppend(const char* pszFormat, va_list args);
    int FindAtBoundary(int nStart, bool bLast, const char* pszSub, std::size_t nSubLen) const;

    std::string m_str;
};
