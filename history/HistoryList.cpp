#include "history/HistoryList.h"

#include <algorithm>
#include <cstring>

#include "AfxFileSystem.h"
#include "CArchive.h"
#include "CFile.h"
#include "settings/SettingsFolder.h"

namespace {

const char kDamagedText[] = "ヒストリー設定のバックアップからの回復に失敗しました\r\nヒストリー設定を初期値に戻します";

// Whether the file of a stored path is still there. A wildcard would make
// FindFirstFileA report any matching file, so such a path never counts
// ('*' and '?' are below 0x40 and so never the trail byte of a double-byte
// character).
bool PathExists(const CString& path)
{
    if (path.IsEmpty() || std::strpbrk(path, "*?"))
        return false;
    return AfxFindFile(path) != FALSE;
}

int FindIn(const std::vector<CString>& paths, const char* path)
{
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (HistoryList::IsSamePath(paths[i], path))
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

HistoryList::HistoryList()
{
    ResetToDefaults();
}

HistoryList::~HistoryList() = default;

void HistoryList::ResetToDefaults()
{
    m_paths.clear();
    m_nMaxCount = kDefaultMaxCount;
    m_bShowThumbnails = TRUE;
    m_nThumbWidth = kDefaultThumbSize;
    m_nThumbHeight = kDefaultThumbSize;
}

CString HistoryList::GetFilePath()
{
    return GetSettingsFilePath(kFileName);
}

BOOL HistoryList::Load()
{
    return LoadFrom(GetFilePath());
}

BOOL HistoryList::Save()
{
    return SaveTo(GetSettingsFolder());
}

BOOL HistoryList::AddPath(const char* path)
{
    return AddPathIn(GetSettingsFolder(), path);
}

BOOL HistoryList::DeleteAll()
{
    return DeleteAllIn(GetSettingsFolder());
}

BOOL HistoryList::IsSamePath(const char* pszA, const char* pszB)
{
    return CString(pszA).CompareNoCase(pszB) == 0;
}

int HistoryList::FindPath(const char* path) const
{
    return FindIn(m_paths, path);
}

// The list never outgrows the menu's 50 identifiers, even when m_nMaxCount
// was set above that directly.
int HistoryList::EntryLimit() const
{
    return std::clamp(m_nMaxCount, 0, kHardMaxCount);
}

// The dialog refuses more than 50 and takes digits only, but a pasted minus
// sign still reaches here: values outside 0..50 are refused and change
// nothing, so the list and the stored maximum stay usable.
BOOL HistoryList::SetMaxCount(int nMaxCount)
{
    if (nMaxCount < 0 || nMaxCount > kHardMaxCount)
        return FALSE;
    if (nMaxCount < m_nMaxCount) {
        while (static_cast<int>(m_paths.size()) > nMaxCount)
            m_paths.pop_back();
    }
    m_nMaxCount = nMaxCount;
    return TRUE;
}

// Reads version, maximum, (from version 1 on) the thumbnail settings, the
// entry count and the paths. The fields change only once everything was
// read, so a failing read leaves them as they were; a version-0 file keeps
// the thumbnail settings.
//
// A negative entry count, or one larger than the bytes left (each path takes
// at least its length prefix), is damage like data that ends early. All
// counted paths are read, so a cut anywhere is noticed, but only as many as
// the maximum allows are kept, later duplicates and vanished files left out:
// a hand-made file with too many entries loads as its first ones.
// A maximum the program never stores is replaced: below 0 by the default,
// above 50 by 50. Thumbnail sizes are taken as stored, like the dialog takes
// them as typed.
void HistoryList::ReadValues(CArchive& ar)
{
    int version = 0;
    int maxCount = 0;
    BOOL bShowThumbnails = m_bShowThumbnails;
    int thumbWidth = m_nThumbWidth;
    int thumbHeight = m_nThumbHeight;
    ar >> version;
    ar >> maxCount;
    if (version >= 1) {
        ar >> bShowThumbnails;
        ar >> thumbWidth;
        ar >> thumbHeight;
    }
    int count = 0;
    ar >> count;
    if (count < 0 || static_cast<ULONGLONG>(count) > ar.GetBytesLeft())
        throw CArchiveException(CArchiveException::endOfFile);

    if (maxCount < 0)
        maxCount = kDefaultMaxCount;
    maxCount = std::min(maxCount, kHardMaxCount);

    std::vector<CString> paths;
    for (int i = 0; i < count; ++i) {
        CString path;
        ar >> path;
        if (static_cast<int>(paths.size()) < maxCount && FindIn(paths, path) < 0 && PathExists(path))
            paths.push_back(std::move(path));
    }

    m_paths = std::move(paths);
    m_nMaxCount = maxCount;
    m_bShowThumbnails = bShowThumbnails;
    m_nThumbWidth = thumbWidth;
    m_nThumbHeight = thumbHeight;
}

// Data that ends early (a damaged file) gives the defaults; the caller shows
// the message once the file is closed, so other windows are not locked out
// while it waits. Any other read error (a failing disk) leaves the list
// empty and the settings as they were, and is reported as a failed read
// rather than wiping the history.
HistoryList::ReadResult HistoryList::ReadContent(CFile& file)
{
    try {
        CArchive ar(&file, CArchive::load);
        ReadValues(ar);
        ar.Close();
        return ReadResult::read;
    } catch (const CArchiveException& e) {
        if (e.m_cause == CArchiveException::endOfFile) {
            ResetToDefaults();
            return ReadResult::damaged;
        }
        m_paths.clear();
        return ReadResult::failed;
    }
}

// Throws CArchiveException when the file cannot be written.
void HistoryList::WriteContent(CFile& file) const
{
    CArchive ar(&file, CArchive::store);
    ar << kFormatVersion;
    ar << m_nMaxCount;
    ar << m_bShowThumbnails;
    ar << m_nThumbWidth;
    ar << m_nThumbHeight;
    ar << static_cast<int>(m_paths.size());
    for (const CString& path : m_paths)
        ar << path;
    ar.Close();
}

// A path already listed moves to the front, stored as given (its letter case
// included), and nothing is trimmed; only a new entry can push the oldest
// one out.
void HistoryList::PutAtFront(const char* path)
{
    const int found = FindPath(path);
    if (found >= 0)
        m_paths.erase(m_paths.begin() + found);
    m_paths.insert(m_paths.begin(), CString(path));
    if (found >= 0)
        return;
    while (static_cast<int>(m_paths.size()) > EntryLimit())
        m_paths.pop_back();
}

BOOL HistoryList::LoadFrom(const CString& filePath)
{
    m_paths.clear();
    CFile file;
    if (!file.Open(filePath, CFile::modeRead | CFile::shareCompat))
        return FALSE;
    const ReadResult result = ReadContent(file);
    file.Close();
    if (result == ReadResult::failed)
        return FALSE;
    if (result == ReadResult::damaged)
        ShowDamagedFileMessage(kDamagedText);
    return TRUE;
}

// A write failure (a full disk) returns FALSE; the list stays in memory.
BOOL HistoryList::SaveTo(const CString& folder)
{
    if (!EnsureSettingsFolder(folder))
        return FALSE;
    CFile file;
    if (!file.Open(folder + "\\" + kFileName, CFile::modeCreate | CFile::modeWrite | CFile::shareCompat))
        return FALSE;
    try {
        WriteContent(file);
    } catch (const CArchiveException&) {
        return FALSE;
    }
    file.Close();
    return TRUE;
}

BOOL HistoryList::DeleteAllIn(const CString& folder)
{
    m_paths.clear();
    return SaveTo(folder);
}

BOOL HistoryList::ApplySettings(int nMaxCount, BOOL bShowThumbnails, int nThumbWidth, int nThumbHeight)
{
    return ApplySettingsIn(GetSettingsFolder(), nMaxCount, bShowThumbnails, nThumbWidth, nThumbHeight);
}

// A path already listed moves to the front; see PutAtFront.
BOOL HistoryList::AddPathIn(const CString& folder, const char* path)
{
    // A retry that fires while no image is shown hands an empty path: there is
    // nothing to record, and TRUE lets the retry stop.
    if (!path || !*path)
        return TRUE;
    return RewriteIn(folder, [this, path] { PutAtFront(path); });
}

// The settings dialog's list may be stale (another window added pictures
// while it was open) or empty (the file was held when it opened): the list
// written is the one read here, never the one in memory.
BOOL HistoryList::ApplySettingsIn(const CString& folder, int nMaxCount, BOOL bShowThumbnails, int nThumbWidth,
                                  int nThumbHeight)
{
    if (nMaxCount < 0 || nMaxCount > kHardMaxCount)
        return FALSE;
    return RewriteIn(folder, [=] {
        SetMaxCount(nMaxCount);
        m_bShowThumbnails = bShowThumbnails;
        m_nThumbWidth = nThumbWidth;
        m_nThumbHeight = nThumbHeight;
    });
}

// The file stays open, exclusively, from the read to the write, so two
// windows changing it at once never lose each other's entry: the second one
// fails to open (the view then retries). A file that cannot be read is not
// written. The file is opened without truncating, also when it did not exist
// yet (another window may create it in between), written in place from its
// start and cut where the new content ends, so the paths it no longer lists
// do not stay on the disk behind it.
BOOL HistoryList::RewriteIn(const CString& folder, const std::function<void()>& change)
{
    if (!EnsureSettingsFolder(folder))
        return FALSE;
    m_paths.clear();

    const CString filePath = folder + "\\" + kFileName;
    const bool bExisted = AfxGetFileAttributes(filePath) != INVALID_FILE_ATTRIBUTES;
    CFile file;
    if (!file.Open(filePath, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite | CFile::shareCompat))
        return FALSE;

    // A new file starts from the settings in memory and no entries.
    ReadResult result = ReadResult::read;
    if (bExisted || file.GetLength() > 0) {
        result = ReadContent(file);
        if (result == ReadResult::failed)
            return FALSE;
    }

    change();
    bool bWritten = file.SeekToBegin() == 0;
    if (bWritten) {
        try {
            WriteContent(file);
            bWritten = file.SetLength(file.GetPosition()) != FALSE;
        } catch (const CArchiveException&) {
            bWritten = false;
        }
    }
    file.Close();
    // After a failed write the retry reads the file again; the message waits
    // for the write that succeeds, so it is not shown once per retry.
    if (!bWritten) {
        m_paths.clear();
        return FALSE;
    }
    if (result == ReadResult::damaged)
        ShowDamagedFileMessage(kDamagedText);
    return TRUE;
}
