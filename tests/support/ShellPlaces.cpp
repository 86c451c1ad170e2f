#include "support/ShellPlaces.h"

#include <windows.h>
#include <shlobj.h>

std::string SpecialFolderPath(int csidl)
{
    char folder[MAX_PATH] = {};
    return ::SHGetSpecialFolderPathA(nullptr, folder, csidl, FALSE) ? folder : "";
}

bool ClassesKeyExists(const char* key)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}
