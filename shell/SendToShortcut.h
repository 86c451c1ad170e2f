// The shortcut "KEP.lnk" in the current user's Send To folder, through which
// the shell starts the program with the sent file's path. Every operation is
// silent: what it could not do shows only in SendToShortcutExists.
#pragma once

#include <windows.h>

#include <string>

// The shortcut's path; empty when the user has no Send To folder.
std::string SendToShortcutPath();

// TRUE when a file named KEP.lnk is in the Send To folder. A folder of that
// name is not the shortcut and does not count.
BOOL SendToShortcutExists();

// Writes the shortcut to this executable (no arguments), replacing a file of
// that name.
void CreateSendToShortcut();

// Deletes the shortcut file; a folder of that name is left alone.
void DeleteSendToShortcut();
