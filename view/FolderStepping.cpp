#include "view/FolderStepping.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>

namespace {

wchar_t LowerAscii(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool SameNameFolded(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

} // namespace

bool HasListedExtension(const std::wstring& name, const std::vector<std::string>& extensions)
{
    const std::size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos)
        return false;
    const std::wstring ext = name.substr(dot + 1);
    for (const std::string& listed : extensions) {
        if (listed.size() != ext.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < ext.size() && same; ++i)
            same = LowerAscii(ext[i]) == static_cast<wchar_t>(static_cast<unsigned char>(listed[i]));
        if (same)
            return true;
    }
    return false;
}

bool NaturallyBefore(const std::wstring& a, const std::wstring& b)
{
    const int order = ::StrCmpLogicalW(a.c_str(), b.c_str());
    if (order != 0)
        return order < 0;
    return a < b;
}

void SortNaturally(std::vector<std::wstring>& names)
{
    std::sort(names.begin(), names.end(), &NaturallyBefore);
}

StepPosition PositionInList(const std::vector<std::wstring>& sorted, const std::wstring& name)
{
    StepPosition pos;
    const auto at = std::lower_bound(sorted.begin(), sorted.end(), name, &NaturallyBefore);
    pos.index = static_cast<int>(at - sorted.begin());
    if (at != sorted.end() && *at == name) {
        pos.listed = true;
        return pos;
    }
    // The listing may spell the name in other letter case than the path that
    // was opened (the file systems of the system fold case).
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (SameNameFolded(sorted[i], name)) {
            pos.index = static_cast<int>(i);
            pos.listed = true;
            return pos;
        }
    }
    return pos;
}

int StepTarget(StepPosition pos, int count, StepKind kind)
{
    if (count <= 0)
        return -1;
    const int index = std::clamp(pos.index, 0, count);
    switch (kind) {
    case StepKind::First: return 0;
    case StepKind::Last: return count - 1;
    case StepKind::Next: return pos.listed ? (index + 1) % count : index % count;
    case StepKind::Previous: return (index - 1 + count) % count;
    }
    return -1;
}
