#include "AfxFileSystem.h"

#include <cstring>
#include <vector>

namespace {

// CreateDirectory leaves room for an 8.3 file name below the folder.
constexpr std::size_t kShortPathLimit = MAX_PATH - 12;

std::wstring Widen(const char* path)
{
    const int n = ::MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, path, -1, &wide[0], n);
    wide.resize(static_cast<std::size_t>(n - 1));
    return wide;
}

} // namespace

CString AfxGetModuleFileName(HMODULE hModule)
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameA(hModule, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return CString();
        // A path that filled the buffer may have been cut short.
        if (n < buffer.size() - 1)
            return CString(buffer.data());
        if (buffer.size() >= 32768 * 3)
            return CString();
        buffer.resize(buffer.size() * 2);
    }
}

bool AfxIsLongPath(const char* path)
{
    return path && std::strlen(path) >= kShortPathLimit;
}

std::wstring AfxWidePath(const char* path)
{
    if (!path)
        return std::wstring();
    std::wstring wide = Widen(path);
    if (!AfxIsLongPath(path) || wide.compare(0, 4, L"\\\\?\\") == 0)
        return wide;
    if (wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\')
        return L"\\\\?\\" + wide;
    if (wide.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + wide.substr(2);
    return wide; // a relative path cannot take the prefix
}

BOOL AfxFindFile(const char* path)
{
    HANDLE hFind;
    if (AfxIsLongPath(path)) {
        WIN32_FIND_DATAW found;
        hFind = ::FindFirstFileW(AfxWidePath(path).c_str(), &found);
    } else {
        WIN32_FIND_DATAA found;
        hFind = ::FindFirstFileA(path, &found);
    }
    if (hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    ::FindClose(hFind);
    return TRUE;
}

DWORD AfxGetFileAttributes(const char* path)
{
    return AfxIsLongPath(path) ? ::GetFileAttributesW(AfxWidePath(path).c_str()) : ::GetFileAttributesA(path);
}

BOOL AfxCreateDirectory(const char* path)
{
    return AfxIsLongPath(path) ? ::CreateDirectoryW(AfxWidePath(path).c_str(), nullptr)
                               : ::CreateDirectoryA(path, nullptr);
}

HANDLE AfxCreateFile(const char* path, DWORD dwAccess, DWORD dwShare, DWORD dwDisposition, DWORD dwFlags)
{
    if (AfxIsLongPath(path))
        return ::CreateFileW(AfxWidePath(path).c_str(), dwAccess, dwShare, nullptr, dwDisposition, dwFlags, nullptr);
    return ::CreateFileA(path, dwAccess, dwShare, nullptr, dwDisposition, dwFlags, nullptr);
}
