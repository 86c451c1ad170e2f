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

// The part of path before its last backslash (the backslash dropped); empty
// when there is none. Double-byte characters are skipped whole, so the trail
// byte 0x5C of a character such as 表 is never taken for a separator.
CString FolderOfModulePath(const CString& path);

// Creates folder (the last level only) when nothing of that name exists.
// FALSE when it is missing and cannot be created.
BOOL EnsureSettingsFolder(const CString& folder);
