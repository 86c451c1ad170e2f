// Paths the shell integration writes to or points at.
#pragma once

#include <windows.h>

#include <string>

// The file-system path of a special folder of the current user (CSIDL_SENDTO,
// CSIDL_STARTUP), without a trailing backslash; empty when the shell knows no
// such folder for this user. COM must be initialised on the thread.
std::string ShellFolderPath(int csidl);

// The full path of a module's file: the process's own executable for nullptr.
std::string ModuleFilePath(HMODULE hModule);
