#include "shell/NewInstance.h"

#include "framework/AfxFileSystem.h"
#include "framework/MbString.h"

BOOL(WINAPI* g_pfnNewInstanceShellExecuteEx)(SHELLEXECUTEINFOA*) = &::ShellExecuteExA;

std::string QuoteForNewInstance(const std::string& path)
{
    if (FindFirstByteMb(path, ' ') != std::string::npos && FindFirstByteMb(path, '"') == std::string::npos)
        return '"' + path + '"';
    return path;
}

void StartNewInstance(const char* path)
{
    const CString module = AfxGetModuleFileName();
    const std::string folder = FolderOfPath(module.GetString());
    const std::string parameters = QuoteForNewInstance(path ? path : "");

    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpFile = module;
    info.lpParameters = parameters.c_str();
    info.lpDirectory = folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    g_pfnNewInstanceShellExecuteEx(&info);
}
