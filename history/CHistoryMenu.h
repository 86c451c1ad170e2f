// The entries of the history submenu. Each opening of the submenu builds them
// afresh from the history list, newest first above the fixed items, with one
// separator between. With thumbnails on they are owner-drawn: a thumbnail of
// the picture, then its full path.
//
// Thumbnails are made on a worker thread, so the submenu opens at once and
// the window never waits for a picture: building the entries asks for their
// thumbnails (so does the draw of an entry whose thumbnail went with an
// earlier closing), and an entry shows an empty box until its thumbnail is
// there; the worker reads and decodes the picture
// (a camera photo's own small thumbnail when it fits), leaves the result in
// a box shared with this thread and posts WM_HISTORY_THUMBNAIL to the owner
// window, which calls TakeThumbnails; the entry is then drawn again. Only
// the box-sized thumbnails are kept, for as long as the submenu stays open,
// so moving the highlight costs no decoding, and the worker holds at most
// one picture at a time. Closing the submenu, choosing an entry or building
// it anew drops what is pending; a result of an earlier opening is let go
// unread.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "CBitmap.h"
#include "CString.h"
#include "image/CPicture.h"

class CWorkerThread;
class HistoryList;

class CHistoryMenu {
public:
    // What the worker posts to the owner window when a thumbnail is made (no
    // parameters: the results wait in a box of their own, so a message
    // another program posts carries nothing that could be taken for one).
    static constexpr UINT WM_HISTORY_THUMBNAIL = WM_APP + 0x100;
    // How the worker makes a thumbnail: MakeThumbnail (tests put a maker
    // they hold up here). Called on the worker thread.
    static BOOL (*s_pfnMakeThumbnail)(const char* path, int nWidth, int nHeight, CBitmap& bitmap,
                                      const CancelCheck& cancelled);

    CHistoryMenu();
    ~CHistoryMenu();
    CHistoryMenu(const CHistoryMenu&) = delete;
    CHistoryMenu& operator=(const CHistoryMenu&) = delete;

    // Whether nID is the command of a history entry (40000..40049).
    static bool IsEntryCommand(UINT nID);

    // The window finished thumbnails are posted to.
    void SetOwner(HWND hOwner) { m_hOwner = hOwner; }

    // Replaces the entries of hSubMenu with those of history (as loaded by
    // the caller); the entry of pszCurrentPath, the picture shown in this
    // window, gets a check mark. The thumbnails of the last opening go, and
    // what was pending for it; with thumbnails on, the worker is asked for
    // the new entries' ones.
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
    // thumbnail, or an empty box until the worker has made it.
    BOOL DrawEntry(const DRAWITEMSTRUCT* pDraw, const char* pszCurrentPath, int nTextHeight);

    // Takes the thumbnails the worker has made: one of an entry listed now
    // is kept and its entry drawn again (when the submenu is open); one of
    // an earlier opening is let go.
    void TakeThumbnails();

    // Drops the thumbnails not made yet: the submenu closed or an entry was
    // chosen. The worker finishes the picture in hand and throws it away.
    void CancelThumbnails();
    // The submenu closed: what is pending is dropped and the thumbnails are
    // let go.
    void ReleaseThumbnails();

    // Whether entry nIndex has its thumbnail now.
    bool HasThumbnail(int nIndex) const;
    // Whether the worker has nothing in hand and nothing waiting.
    bool IsWorkerIdle() const;

private:
    enum class State {
        Idle,    // not asked for this opening
        Pending, // asked for; the worker has it
        Done,    // made, or failed to be made, this opening
    };
    struct Entry {
        CString path;
        std::unique_ptr<CBitmap> thumbnail;
        State state = State::Idle;
    };
    struct Result;
    class Outbox;

    const Entry* FindEntry(UINT nID, ULONG_PTR itemData) const;
    void RequestThumbnail(size_t nIndex);
    void RedrawEntry(size_t nIndex) const;

    std::vector<Entry> m_entries; // as the last build listed them
    HMENU m_hSubMenu = nullptr;
    HWND m_hOwner = nullptr;
    int m_nThumbWidth = 0;
    int m_nThumbHeight = 0;
    // Counts the openings and cancellations; a result carries the one it was
    // asked for in.
    unsigned m_nGeneration = 0;
    // Where the worker leaves its results; each job holds it too.
    std::shared_ptr<Outbox> m_outbox;
    std::unique_ptr<CWorkerThread> m_worker; // made at the first request
};
