#include "settings/SettingsFolder.h"

#include "MbString.h"

CString GetModuleFolder()
{
    char buf[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, buf, MAX_PATH);
    return FolderOfPath(buf).c_str();
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

CString GetSettingsFilePath(const char* fileName)
{
    return GetSettingsFolder() + "\\" + fileName;
}

void ShowDamagedFileMessage(const char* text)
{
    ::MessageBoxA(nullptr, text, "エラー", MB_OK);
}

// Another window may create the folder between the look and the creation
// (two windows starting at once): a folder that exists by then is as good as
// one made here.
BOOL EnsureSettingsFolder(const CString& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE hFind = ::FindFirstFileA(folder, &found);
    if (hFind != INVALID_HANDLE_VALUE) {
        ::FindClose(hFind);
        return TRUE;
    }
    if (::CreateDirectoryA(folder, nullptr))
        return TRUE;
    const DWORD attributes = ::GetFileAttributesA(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
