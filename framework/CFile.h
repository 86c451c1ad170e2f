// An open Win32 file. Owns its handle: non-copyable, closed by the destructor.
// Failures are reported through results, never by exceptions.
#pragma once

#include <windows.h>

class CFile {
public:
    // Access (the low two bits).
    static constexpr UINT modeRead = 0x0000;
    static constexpr UINT modeWrite = 0x0001;
    static constexpr UINT modeReadWrite = 0x0002;
    // Sharing. shareCompat and shareExclusive both deny every other opener any
    // access, readers included.
    static constexpr UINT shareCompat = 0x0000;
    static constexpr UINT shareExclusive = 0x0010;
    static constexpr UINT shareDenyWrite = 0x0020;
    static constexpr UINT shareDenyRead = 0x0030;
    static constexpr UINT shareDenyNone = 0x0040;
    // Handles are never inherited and files are always binary; both flags are
    // accepted and have no further effect.
    static constexpr UINT modeNoInherit = 0x0080;
    static constexpr UINT typeBinary = 0x8000;
    // Creation: modeCreate truncates an existing file unless modeNoTruncate is
    // given too; without modeCreate the file must exist.
    static constexpr UINT modeCreate = 0x1000;
    static constexpr UINT modeNoTruncate = 0x2000;

    enum SeekPosition {
        begin = FILE_BEGIN,
        current = FILE_CURRENT,
        end = FILE_END
    };

    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens path with CreateFileA; an open file is closed first. When pError
    // is not null it receives the Win32 error code (a DWORD), 0 on success.
    BOOL Open(const char* path, UINT nOpenFlags, void* pError = nullptr);
    BOOL IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
    void Close();

    // Bytes read; fewer than nCount at the end of the file, 0 on an error.
    UINT Read(void* lpBuf, UINT nCount);
    // The same, telling an I/O error (FALSE) from the end of the file.
    BOOL ReadChecked(void* lpBuf, UINT nCount, UINT& nRead);
    // TRUE when all nCount bytes were written.
    BOOL Write(const void* lpBuf, UINT nCount);
    BOOL Flush();

    // The new position, or ULONGLONG(-1) when the move failed.
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    ULONGLONG SeekToBegin() { return Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    // The current position; 0 when the file is not open.
    ULONGLONG GetPosition() const;
    // The size in bytes; 0 when the file is not open.
    ULONGLONG GetLength() const;
    // Cuts or extends the file; the position ends up at the new length.
    BOOL SetLength(ULONGLONG dwNewLen);

    HANDLE m_hFile = INVALID_HANDLE_VALUE;
};
