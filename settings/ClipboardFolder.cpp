#include "settings/ClipboardFolder.h"

#include <climits>
#include <cstdio>

#include "CFile.h"
#include "settings/SettingsFolder.h"

namespace {

// Names tried for one second before giving up: far more pastes than a
// person makes in a second.
constexpr int kMaxNamesPerSecond = 1000;

// Opens the file for writing only when nothing of that name exists;
// ERROR_FILE_EXISTS (or ERROR_ALREADY_EXISTS) tells the caller to try the
// next name.
BOOL CreateNewFile(const CString& path, CFile* pFile)
{
    pFile->Close();
    pFile->m_hFile = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return pFile->IsOpen();
}

} // namespace

CString GetClipboardFolder()
{
    return GetSettingsFolder() + "\\clipboard";
}

std::string ClipboardFileName(const SYSTEMTIME& time, int n)
{
    char name[64];
    std::snprintf(name, sizeof(name), "clip-%04u%02u%02u-%02u%02u%02u", time.wYear, time.wMonth, time.wDay, time.wHour,
                  time.wMinute, time.wSecond);
    std::string result = name;
    if (n > 1)
        result += "-" + std::to_string(n);
    return result + ".png";
}

BOOL WriteNewClipboardFile(const void* pBytes, std::size_t cb, CString* pPath)
{
    const CString folder = GetClipboardFolder();
    if (!EnsureSettingsFolder(GetSettingsFolder()) || !EnsureSettingsFolder(folder))
        return FALSE;
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    for (int n = 1; n <= kMaxNamesPerSecond; ++n) {
        const CString path = folder + "\\" + ClipboardFileName(now, n).c_str();
        CFile file;
        if (!CreateNewFile(path, &file)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                continue;
            return FALSE;
        }
        const BOOL bWritten = cb <= UINT_MAX && file.Write(pBytes, static_cast<UINT>(cb));
        file.Close();
        if (!bWritten) {
            ::DeleteFileA(path);
            return FALSE;
        }
        *pPath = path;
        return TRUE;
    }
    return FALSE;
}
