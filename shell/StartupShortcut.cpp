#include "shell/StartupShortcut.h"

#include <shlobj.h>

#include <cstdio>

#include "framework/MbString.h"
#include "shell/CShellLinkWriter.h"
#include "shell/ShellFolders.h"

namespace {

const char kDescription[] = "KEP";

} // namespace

std::string StartupShortcutArguments(const std::string& imagePath, int left, int top, int zoom)
{
    char suffix[48];
    std::snprintf(suffix, sizeof(suffix), "%d:%d:%d", left, top, zoom);
    return "\"" + imagePath + "/" + suffix + "\"";
}

std::string StartupShortcutFileName(const std::string& imagePath)
{
    const std::size_t slash = FindLastByteMb(imagePath, '\\');
    const std::string name = slash == std::string::npos ? imagePath : imagePath.substr(slash + 1);
    return "KEP" + name + ".lnk";
}

void RegisterStartupShortcut(const std::string& imagePath, const RECT& rcFrame, int nZoom)
{
    CShellLinkWriter writer;
    const std::string exePath = ModuleFilePath(nullptr);
    if (!writer.IsReady() || exePath.empty())
        return;
    writer.SetProgram(exePath, kDescription, StartupShortcutArguments(imagePath, rcFrame.left, rcFrame.top, nZoom));
    const std::string folder = ShellFolderPath(CSIDL_STARTUP);
    if (folder.empty())
        return;
    writer.Save(folder + "\\" + StartupShortcutFileName(imagePath));
}
