// Where the per-user settings files live: a folder named after the logon name
// beside the executable, e.g. C:\Tools\Viewer\user1. Paths are rebuilt on
// every call.
#pragma once

#include "CString.h"

// The executable's folder, without a trailing backslash.
CString GetModuleFolder();

// The logon name, or "defaultuser" when it cannot be read.
CString GetUserFolderName();

// GetModuleFolder() + "\" + GetUserFolderName().
CString GetSettingsFolder();

// GetSettingsFolder() + "\" + fileName: where wndset.def and history.def live.
CString GetSettingsFilePath(const char* fileName);

// Tells the user that a settings file was damaged and its values go back to
// their defaults: a message box with no owner, the caption "エラー" and OK.
// Shown only after the file is closed, so other windows are not locked out
// while it waits.
void ShowDamagedFileMessage(const char* text);

// Creates folder (the last level only) when nothing of that name exists.
// FALSE when it is missing and cannot be created.
BOOL EnsureSettingsFolder(const CString& folder);
