// The entries of the history submenu. Each opening of the submenu builds them
// afresh from the history list, newest first above the fixed items, with one
// separator between. With thumbnails on they are owner-drawn: a thumbnail of
// the picture, then its full path.
//
// A picture is read and decoded at most once per opening, at the first draw
// of its entry; only the box-sized thumbnail is kept, for as long as the
// submenu stays open, so moving the highlight costs no decoding.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "CBitmap.h"
#include "CString.h"

class HistoryList;

class CHistoryMenu {
public:
    CHistoryMenu();
    ~CHistoryMenu();
    CHistoryMenu(const CHistoryMenu&) = delete;
    CHistoryMenu& operator=(const CHistoryMenu&) = delete;

    // Whether nID is the command of a history entry (40000..40049).
    static bool IsEntryCommand(UINT nID);

    // Replaces the entries of hSubMenu with those of history (as loaded by
    // the caller); the entry of pszCurrentPath, the picture shown in this
    // window, gets a check mark. The thumbnails of the last opening go.
    void Build(HMENU hSubMenu, const HistoryList& history, const char* pszCurrentPath);

    // The path of entry command nID as the last build listed it; FALSE when
    // that build had no such entry.
    BOOL GetEntryPath(UINT nID, CString& path) const;

    // Sizes the owner-drawn entry: its path measured on hdc in the menu font
    // (the DC's own font when that cannot be made). *pTextHeight receives the
    // text height, which DrawEntry centres the text with.
    BOOL MeasureEntry(MEASUREITEMSTRUCT* pMeasure, HDC hdc, const LOGFONTA& font, int* pTextHeight) const;

    // Draws the owner-drawn entry: background (highlight when selected, a
    // darker menu colour for the picture shown in this window), path,
    // thumbnail.
    BOOL DrawEntry(const DRAWITEMSTRUCT* pDraw, const char* pszCurrentPath, int nTextHeight);

    // The submenu closed: the thumbnails are let go.
    void ReleaseThumbnails();

private:
    struct Entry {
        CString path;
        std::unique_ptr<CBitmap> thumbnail; // made at the first draw
        bool bTried = false;                // made, or failed to be made, this opening
    };

    const Entry* FindEntry(UINT nID, ULONG_PTR itemData) const;
    HBITMAP GetThumbnail(Entry& entry);

    std::vector<Entry> m_entries; // as the last build listed them
    int m_nThumbWidth = 0;
    int m_nThumbHeight = 0;
};
