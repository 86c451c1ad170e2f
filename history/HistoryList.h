// The history: the images most recently shown by any window of the user,
// newest first, with the four settings of the history menu. It lives in
// history.def in the per-user settings folder, shared by every window (each a
// process of its own); an instance is only a working copy, so every user
// reads the file again first (Load, or AddPath, which reads too).
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "CString.h"

class CArchive;
class CFile;

class HistoryList {
public:
    static constexpr const char* kFileName = "history.def";
    static constexpr int kFormatVersion = 1;
    // The history menu has one command identifier per entry, 50 in all, so
    // the list never holds more, whatever the maximum says.
    static constexpr int kHardMaxCount = 50;
    static constexpr int kDefaultMaxCount = 10;
    static constexpr int kDefaultThumbSize = 30;

    HistoryList();
    virtual ~HistoryList();

    // Empties the list; maximum 10, thumbnails on, 30 x 30.
    void ResetToDefaults();

    // Empties the list, then reads <settings folder>\history.def. FALSE when
    // the file cannot be opened or read (missing, or open in another
    // process): the list stays empty and the settings keep their values.
    // TRUE after a read, also when a damaged file gave way to the defaults.
    BOOL Load();
    // Writes the list and the settings, creating the user folder when it is
    // missing. FALSE when the folder or the file cannot be made or written.
    BOOL Save();
    // Reads the file, puts path at the front and writes the file back, all
    // under one exclusive open. FALSE when the folder cannot be made or the
    // file cannot be opened, read or written; the caller then retries.
    BOOL AddPath(const char* path);
    // Empties the list and saves; the settings stay.
    BOOL DeleteAll();
    // Sets the maximum, dropping the oldest entries when it went down. It
    // does not write the file. FALSE, with nothing changed, for a value
    // outside 0..50.
    BOOL SetMaxCount(int nMaxCount);
    // Reads the file, sets the four settings (the maximum as SetMaxCount
    // does) and writes the file back, all under one exclusive open, so the
    // entries other windows added meanwhile stay. FALSE, with the file left
    // as it was, when the maximum is outside 0..50, or when the folder cannot
    // be made or the file cannot be opened, read or written.
    BOOL ApplySettings(int nMaxCount, BOOL bShowThumbnails, int nThumbWidth, int nThumbHeight);

    // The operations above for an explicit file path or settings folder.
    BOOL LoadFrom(const CString& filePath);
    BOOL SaveTo(const CString& folder);
    BOOL AddPathIn(const CString& folder, const char* path);
    BOOL ApplySettingsIn(const CString& folder, int nMaxCount, BOOL bShowThumbnails, int nThumbWidth, int nThumbHeight);
    BOOL DeleteAllIn(const CString& folder);

    // <settings folder>\history.def.
    static CString GetFilePath();

    // Whether two paths name the same entry: _mbsicmp, so single-byte
    // letters are folded and double-byte characters compared whole.
    static BOOL IsSamePath(const char* pszA, const char* pszB);
    // The index of the entry equal to path, or -1.
    int FindPath(const char* path) const;

    std::vector<CString> m_paths; // index 0 is the most recent
    int m_nMaxCount;              // entries kept, 0..50
    BOOL m_bShowThumbnails;       // the history menu draws thumbnails
    int m_nThumbWidth;            // thumbnail size in pixels
    int m_nThumbHeight;

private:
    enum class ReadResult {
        read,
        damaged,
        failed
    };

    ReadResult ReadContent(CFile& file);
    void ReadValues(CArchive& ar);
    void WriteContent(CFile& file) const;
    // Reads the file, lets change() alter the list and the settings, and
    // writes the file back, under one exclusive open.
    BOOL RewriteIn(const CString& folder, const std::function<void()>& change);
    void PutAtFront(const char* path);
    int EntryLimit() const;
};
