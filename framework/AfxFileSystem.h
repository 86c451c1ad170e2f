// File-system calls on ANSI paths of any length. The ANSI functions stop at
// MAX_PATH (260) characters; a longer absolute path is handed to the wide
// functions with the "\\?\" prefix, which lifts that limit, so a program
// kept deep in a folder tree still finds and writes its files. Shorter paths
// go to the ANSI functions as they are.
#pragma once

#include <windows.h>

#include <string>

#include "CString.h"

// The full path of a module's file (the running executable for nullptr),
// however long (the buffer grows until the path fits); empty when it cannot
// be read.
CString AfxGetModuleFileName(HMODULE hModule = nullptr);

// The path as the wide functions take it: converted from the ANSI code page,
// with the "\\?\" (or "\\?\UNC\") prefix when it is too long for the ANSI
// functions and absolute.
std::wstring AfxWidePath(const char* path);

// TRUE when the path is too long for the ANSI functions.
bool AfxIsLongPath(const char* path);

// Whether FindFirstFile finds something of that name (a file or a folder).
BOOL AfxFindFile(const char* path);
DWORD AfxGetFileAttributes(const char* path);
BOOL AfxCreateDirectory(const char* path);
HANDLE AfxCreateFile(const char* path, DWORD dwAccess, DWORD dwShare, DWORD dwDisposition, DWORD dwFlags);
