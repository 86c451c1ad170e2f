#include "shell/ContextMenuEntry.h"

#include "framework/AfxGlobals.h"
#include "framework/CRegKey.h"
#include "shell/ShellFolders.h"

const char kContextMenuVerbText[] = "KEPで画像を開く";

namespace {

const char kShellKey[] = "*\\shell";
const char kVerbKey[] = "KEP";
const char kCommandKey[] = "command";
const char kVerbPath[] = "*\\shell\\KEP";
const char kCommandPath[] = "*\\shell\\KEP\\command";

} // namespace

std::string ContextMenuCommandText(const std::string& exePath)
{
    return "\"" + exePath + "\" \"%1\"";
}

BOOL ContextMenuEntryExists()
{
    CRegKey verb;
    return verb.Open(HKEY_CLASSES_ROOT, kVerbPath, KEY_READ) == ERROR_SUCCESS;
}

int CreateContextMenuEntry()
{
    const std::string exePath = ModuleFilePath(AfxGetInstanceHandle());
    if (exePath.empty())
        return 0;
    CRegKey shell;
    CRegKey verb;
    CRegKey command;
    bool bShellCreated = false;
    bool bVerbCreated = false;
    bool bCommandCreated = false;
    const bool bWritten = shell.Create(HKEY_CLASSES_ROOT, kShellKey, KEY_ALL_ACCESS, &bShellCreated) == ERROR_SUCCESS &&
                          verb.Create(shell, kVerbKey, KEY_ALL_ACCESS, &bVerbCreated) == ERROR_SUCCESS &&
                          command.Create(verb, kCommandKey, KEY_ALL_ACCESS, &bCommandCreated) == ERROR_SUCCESS &&
                          verb.SetStringValue(nullptr, kContextMenuVerbText) == ERROR_SUCCESS &&
                          command.SetStringValue(nullptr, ContextMenuCommandText(exePath)) == ERROR_SUCCESS;
    if (bWritten)
        return 0;
    // Half an entry would put a verb on the menu that starts nothing: what
    // this call made goes again, innermost first.
    command.Close();
    if (bCommandCreated)
        ::RegDeleteKeyA(verb, kCommandKey);
    verb.Close();
    if (bVerbCreated)
        ::RegDeleteKeyA(shell, kVerbKey);
    shell.Close();
    if (bShellCreated)
        ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kShellKey);
    return 0;
}

int DeleteContextMenuEntry()
{
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kCommandPath);
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kVerbPath);
    return 0;
}
