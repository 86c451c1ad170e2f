#include "shell/ShellFolders.h"

#include <objbase.h>
#include <shlobj.h>

#include "AfxFileSystem.h"

std::string ShellFolderPath(int csidl)
{
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) || !pidl)
        return std::string();
    char path[MAX_PATH] = {};
    BOOL found = ::SHGetPathFromIDListA(pidl, path);
    ::CoTaskMemFree(pidl);
    return found ? std::string(path) : std::string();
}

std::string ModuleFilePath(HMODULE hModule)
{
    return AfxGetModuleFileName(hModule).GetString();
}
