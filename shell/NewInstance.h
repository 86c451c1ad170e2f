// Starting another process of this program for a picture: the program shows
// one picture per process, so every further picture gets a window of its own.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

// The argument for a new process: a path holding a blank and no double quote
// is put in double quotes; any other path is returned unchanged.
std::string QuoteForNewInstance(const std::string& path);

// Starts this program again with the path (quoted as above) as its whole
// argument, in the program's own folder. A process that cannot be started
// is not reported (no message, no system error dialog).
void StartNewInstance(const char* path);

// How StartNewInstance starts the process: the shell's ShellExecuteExA
// (tests put a recorder here instead).
extern BOOL(WINAPI* g_pfnNewInstanceShellExecuteEx)(SHELLEXECUTEINFOA* pInfo);
