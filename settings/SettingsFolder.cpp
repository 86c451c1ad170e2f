#include "settings/SettingsFolder.h"

CString FolderOfModulePath(const CString& path)
{
    const int backslash = path.ReverseFind('\\');
    return backslash < 0 ? CString() : path.Left(backslash);
}

CString GetModuleFolder()
{
    char buf[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, buf, MAX_PATH);
    return FolderOfModulePath(buf);
}

CString GetUserFolderName()
{
    char buf[256] = {};
    DWORD size = 255;
    if (!::GetUserNameA(buf, &size))
        return "defaultuser";
    return buf;
}

CString GetSettingsFolder()
{
    return GetModuleFolder() + "\\" + GetUserFolderName();
}

BOOL EnsureSettingsFolder(const CString& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE hFind = ::FindFirstFileA(folder, &found);
    if (hFind != INVALID_HANDLE_VALUE) {
        ::FindClose(hFind);
        return TRUE;
    }
    return ::CreateDirectoryA(folder, nullptr);
}
