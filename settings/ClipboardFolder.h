// Where the pictures pasted from the clipboard are kept: the folder
// "clipboard" inside the per-user settings folder, one PNG file per paste,
// named by the date and time of the paste. A name is never reused: a second
// paste within the same second gets "-2", then "-3" ... after the time.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "CString.h"

// GetSettingsFolder() + "\clipboard".
CString GetClipboardFolder();

// The file name of the nth paste (counted from 1) at that time:
// "clip-YYYYMMDD-HHMMSS.png" for the first, "clip-YYYYMMDD-HHMMSS-N.png" for
// n above 1.
std::string ClipboardFileName(const SYSTEMTIME& time, int n);

// Writes the bytes into a new file of the clipboard folder (made, with the
// settings folder, when missing), named for the local time now, never over
// a file that exists (another window may be pasting at the same moment).
// FALSE when the folder cannot be made or no file can be written; a file
// begun is then removed.
BOOL WriteNewClipboardFile(const void* pBytes, std::size_t cb, CString* pPath);
