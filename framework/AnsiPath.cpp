#include "AnsiPath.h"

#include <windows.h>

#include <vector>

bool WideToAnsiExact(const std::wstring& wide, std::string* pAnsi)
{
    pAnsi->clear();
    if (wide.empty())
        return true;
    const int cchWide = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    const int cb =
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), cchWide, nullptr, 0, "?", &usedDefault);
    if (cb <= 0)
        return false;
    std::vector<char> buffer(static_cast<size_t>(cb));
    usedDefault = FALSE;
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), cchWide, buffer.data(), cb, "?", &usedDefault);
    pAnsi->assign(buffer.data(), buffer.size());
    return !usedDefault;
}

std::wstring AnsiToWide(const std::string& ansi)
{
    if (ansi.empty())
        return std::wstring();
    const int cch = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    if (cch <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(cch), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), cch);
    return wide;
}

namespace {

// The short form of the path, empty when the file has none (it does not
// exist, or the volume makes no short names).
std::wstring ShortPath(const std::wstring& path)
{
    DWORD cch = ::GetShortPathNameW(path.c_str(), nullptr, 0);
    while (cch > 0) {
        std::wstring buffer(cch, L'\0');
        const DWORD got = ::GetShortPathNameW(path.c_str(), buffer.data(), cch);
        if (got == 0)
            break;
        if (got < cch) {
            buffer.resize(got);
            return buffer;
        }
        cch = got; // grew meanwhile
    }
    return std::wstring();
}

std::vector<std::wstring> SplitAtBackslashes(const std::wstring& path)
{
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    for (std::size_t slash; (slash = path.find(L'\\', start)) != std::wstring::npos; start = slash + 1)
        parts.push_back(path.substr(start, slash - start));
    parts.push_back(path.substr(start));
    return parts;
}

} // namespace

std::wstring ShortenWhereNeeded(const std::wstring& longPath, const std::wstring& shortPath)
{
    const std::vector<std::wstring> longParts = SplitAtBackslashes(longPath);
    const std::vector<std::wstring> shortParts = SplitAtBackslashes(shortPath);
    if (longParts.size() != shortParts.size())
        return shortPath;
    std::wstring merged;
    for (std::size_t i = 0; i < longParts.size(); ++i) {
        if (i > 0)
            merged += L'\\';
        std::string ansi;
        merged += WideToAnsiExact(longParts[i], &ansi) ? longParts[i] : shortParts[i];
    }
    return merged;
}

std::string AnsiPathForWide(const std::wstring& path)
{
    std::string ansi;
    if (WideToAnsiExact(path, &ansi))
        return ansi;
    const std::wstring shortPath = ShortPath(path);
    if (shortPath.empty())
        return ansi;
    std::string shortAnsi;
    if (WideToAnsiExact(ShortenWhereNeeded(path, shortPath), &shortAnsi) || WideToAnsiExact(shortPath, &shortAnsi))
        return shortAnsi;
    return ansi;
}
