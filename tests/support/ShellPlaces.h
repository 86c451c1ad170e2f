// Where the shell keeps what the program registers: special folders and
// keys of HKEY_CLASSES_ROOT.
#pragma once

#include <string>

// The path of a special folder (CSIDL_SENDTO, CSIDL_STARTUP), or empty.
std::string SpecialFolderPath(int csidl);
bool ClassesKeyExists(const char* key);
