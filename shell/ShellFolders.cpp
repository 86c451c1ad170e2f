#include "shell/ShellFolders.h"

#include <objbase.h>
#include <shlobj.h>

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
    char path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(hModule, path, MAX_PATH);
    // A path cut off at the buffer's end names no file.
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    return std::string(path, length);
}
