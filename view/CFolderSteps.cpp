#include "view/CFolderSteps.h"

#include <windows.h>

#include "framework/AnsiPath.h"
#include "image/PictureTypes.h"

namespace {

// The path made absolute and spelled as the folder spells it (long names).
std::wstring FullLongPath(const std::wstring& path)
{
    DWORD cch = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (cch == 0)
        return std::wstring();
    std::wstring full(cch, L'\0');
    cch = ::GetFullPathNameW(path.c_str(), cch, full.data(), nullptr);
    full.resize(cch);
    DWORD cchLong = ::GetLongPathNameW(full.c_str(), nullptr, 0);
    if (cchLong == 0)
        return full; // the file is gone: its place is still known by name
    std::wstring longPath(cchLong, L'\0');
    cchLong = ::GetLongPathNameW(full.c_str(), longPath.data(), cchLong);
    if (cchLong == 0 || cchLong >= longPath.size())
        return full;
    longPath.resize(cchLong);
    return longPath;
}

// The pictures of a folder: files (not folders, not hidden or system files,
// as Explorer shows them) with a listed extension, in natural order.
std::vector<std::wstring> ListPictures(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    const std::wstring pattern = folder + L"\\*";
    HANDLE hFind = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                      FIND_FIRST_EX_LARGE_FETCH);
    if (hFind == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
            continue;
        if (HasListedExtension(data.cFileName, ReadablePictureExtensions()))
            names.emplace_back(data.cFileName);
    } while (::FindNextFileW(hFind, &data));
    ::FindClose(hFind);
    SortNaturally(names);
    return names;
}

} // namespace

BOOL CFolderSteps::Anchor(const CString& path)
{
    const std::wstring full = FullLongPath(AnsiToWide(path.GetString()));
    const std::size_t slash = full.rfind(L'\\');
    if (slash == std::wstring::npos)
        return FALSE;
    m_folder = full.substr(0, slash);
    m_names = ListPictures(m_folder);
    m_position = PositionInList(m_names, full.substr(slash + 1));
    m_strCurrent = path;
    return TRUE;
}

CString CFolderSteps::Step(StepKind kind, const CString& fromPath)
{
    if (fromPath.IsEmpty())
        return CString();
    if (m_strCurrent.IsEmpty() || m_strCurrent.CompareNoCase(fromPath) != 0) {
        if (!Anchor(fromPath))
            return CString();
    }
    const int target = StepTarget(m_position, static_cast<int>(m_names.size()), kind);
    if (target < 0)
        return CString();
    m_position.index = target;
    m_position.listed = true;
    m_strCurrent = AnsiPathForWide(m_folder + L"\\" + m_names[static_cast<size_t>(target)]).c_str();
    return m_strCurrent;
}

CString CFolderSteps::Neighbour(StepKind kind) const
{
    if (m_strCurrent.IsEmpty())
        return CString();
    const int target = StepTarget(m_position, static_cast<int>(m_names.size()), kind);
    if (target < 0 || (m_position.listed && target == m_position.index))
        return CString();
    return AnsiPathForWide(m_folder + L"\\" + m_names[static_cast<size_t>(target)]).c_str();
}
