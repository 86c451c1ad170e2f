#include "shell/SendToShortcut.h"

#include <windows.h>
#include <shlobj.h>

#include "framework/COleInit.h"
#include "shell/CShellLinkWriter.h"
#include "shell/ShellFolders.h"

namespace {

const char kShortcutFile[] = "\\KEP.lnk";
const char kDescription[] = "KEP";

// Only the folder path may be empty; the file name is appended to a found one.
std::string ShortcutPathIn(const std::string& folder)
{
    return folder.empty() ? std::string() : folder + kShortcutFile;
}

bool IsFile(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

std::string SendToShortcutPath()
{
    COleInit ole;
    return ShortcutPathIn(ShellFolderPath(CSIDL_SENDTO));
}

BOOL SendToShortcutExists()
{
    const std::string path = SendToShortcutPath();
    return !path.empty() && IsFile(path);
}

void CreateSendToShortcut()
{
    CShellLinkWriter writer;
    const std::string path = ShortcutPathIn(ShellFolderPath(CSIDL_SENDTO));
    const std::string exePath = ModuleFilePath(nullptr);
    if (!writer.IsReady() || path.empty() || exePath.empty())
        return;
    writer.SetProgram(exePath, kDescription, std::string());
    writer.Save(path);
}

void DeleteSendToShortcut()
{
    const std::string path = SendToShortcutPath();
    if (!path.empty())
        ::DeleteFileA(path.c_str()); // fails on a folder, which is not ours
}
