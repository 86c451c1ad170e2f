#include "settings/SettingsFolder.h"

#include "AfxFileSystem.h"
#include "MbString.h"

CString GetModuleFolder()
{
    return FolderOfPath(AfxGetModuleFileName().GetString()).c_str();
}

CString GetUserFolderName()
{
    char buf[256] = {};
    DWORD size = 255;
    if (!::GetUserNameA(buf, &size))
        return "defaultuser";
    return buf;
}

// Without the executable's own path (it could not be read) there is no
// settings folder: an empty path, which no open or creation accepts, rather
// than a folder somewhere else.
CString GetSettingsFolder()
{
    const CString module = GetModuleFolder();
    if (module.IsEmpty())
        return CString();
    return module + "\\" + GetUserFolderName();
}

CString GetSettingsFilePath(const char* fileName)
{
    const CString folder = GetSettingsFolder();
    return folder.IsEmpty() ? CString() : folder + "\\" + fileName;
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
    if (AfxFindFile(folder))
        return TRUE;
    if (AfxCreateDirectory(folder))
        return TRUE;
    const DWORD attributes = AfxGetFileAttributes(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
