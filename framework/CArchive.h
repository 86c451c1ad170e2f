// Buffered binary reading or writing of a CFile, in the little-endian archive
// encoding shared by the settings files:
//   integers: 4 bytes (BYTE 1, WORD 2), little-endian, two's complement;
//   strings:  a length prefix, then the bytes without a terminator. The prefix
//             is one byte below 255; else 0xFF and a 2-byte length below
//             0xFFFE; else 0xFF, 0xFFFF and a 4-byte length.
// Errors throw CArchiveException:
//   endOfFile        the data ends in the middle of a value (also a string
//                    length that is longer than the rest of the file; it is
//                    refused before any memory is allocated for it);
//   genericException the file failed to read or write (a failing or full
//                    disk), or the archive was already closed;
//   readOnly / writeOnly  a write while loading, a read while storing.
// The archive borrows the file: Close() detaches it and leaves it open.
#pragma once

#include <windows.h>

#include <vector>

#include "CArchiveException.h"
#include "CFile.h"
#include "CString.h"

class CArchive {
public:
    enum Mode {
        store = 0,
        load = 1
    };
    static constexpr int kDefaultBufferSize = 4096;

    CArchive(CFile* pFile, UINT nMode, int nBufSize = kDefaultBufferSize);
    // Hands still-buffered bytes of a storing archive to the file; a failure
    // there is swallowed, so call Close() to learn about it.
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return m_bLoading; }
    BOOL IsStoring() const { return !m_bLoading; }
    CFile* GetFile() const { return m_pFile; }

    // Bytes read: fewer than nMax only at the end of the data.
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nCount);
    // Storing: hands the buffered bytes to the file. Loading: drops the
    // read-ahead and moves the file back to the archive's logical position.
    void Flush();
    // Flush() when storing, then detaches the file.
    void Close();
    // Detaches the file without writing anything still buffered.
    void Abort();

    // Loading: the bytes still to be read (buffered plus the rest of the file).
    ULONGLONG GetBytesLeft() const;

    CArchive& operator<<(int n) { return WriteLE(static_cast<DWORD>(n), 4); } // also BOOL
    CArchive& operator<<(LONG n) { return WriteLE(static_cast<DWORD>(n), 4); }
    CArchive& operator<<(UINT n) { return WriteLE(n, 4); }
    CArchive& operator<<(DWORD n) { return WriteLE(n, 4); }
    CArchive& operator<<(WORD n) { return WriteLE(n, 2); }
    CArchive& operator<<(BYTE n) { return WriteLE(n, 1); }
    CArchive& operator<<(const CString& str);

    CArchive& operator>>(int& n)
    {
        n = static_cast<int>(ReadLE(4));
        return *this;
    }
    CArchive& operator>>(LONG& n)
    {
        n = static_cast<LONG>(ReadLE(4));
        return *this;
    }
    CArchive& operator>>(UINT& n)
    {
        n = ReadLE(4);
        return *this;
    }
    CArchive& operator>>(DWORD& n)
    {
        n = ReadLE(4);
        return *this;
    }
    CArchive& operator>>(WORD& n)
    {
        n = static_cast<WORD>(ReadLE(2));
        return *this;
    }
    CArchive& operator>>(BYTE& n)
    {
        n = static_cast<BYTE>(ReadLE(1));
        return *this;
    }
    CArchive& operator>>(CString& str);

private:
    CArchive& WriteLE(DWORD value, UINT nBytes);
    DWORD ReadLE(UINT nBytes);
    void ReadExact(void* lpBuf, UINT nCount);
    bool FillBuffer();
    void WriteBuffer();

    CFile* m_pFile;
    bool m_bLoading;
    std::vector<BYTE> m_buf;
    UINT m_nPos = 0; // loading: next unread byte in m_buf
    UINT m_nEnd = 0; // loading: end of the valid bytes; storing: bytes pending
};
