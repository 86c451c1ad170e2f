#include "history/CHistoryMenu.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>

#include "CBrush.h"
#include "CFont.h"
#include "CSelectedObject.h"
#include "CWorkerThread.h"
#include "history/HistoryList.h"
#include "history/HistoryMenuLayout.h"
#include "history/HistoryThumbnail.h"
#include "res/resource.h"

namespace {

constexpr int kEntryIds = ID_HISTORY_LAST - ID_HISTORY_FIRST + 1;
constexpr UINT kGetMenuHandle = 0x01E1; // MN_GETHMENU

// The window of this thread that shows the popup menu hMenu (class
// "#32768"), or null when that menu is not open.
HWND FindPopupWindow(HMENU hMenu)
{
    struct Search {
        HMENU hMenu;
        HWND hFound;
    } search = {hMenu, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* p = reinterpret_cast<Search*>(lParam);
            char name[16] = {};
            if (::GetClassNameA(hWnd, name, sizeof name) && std::strcmp(name, "#32768") == 0 &&
                ::IsWindowVisible(hWnd) &&
                reinterpret_cast<HMENU>(::SendMessageA(hWnd, kGetMenuHandle, 0, 0)) == p->hMenu)
                p->hFound = hWnd;
            return p->hFound == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

// A path as the text of a plain menu item: '&' doubled, so it shows as itself
// rather than marking a mnemonic ('&' is below every trail byte of the code
// page, so the bytes can be walked one by one).
CString MenuTextOf(const CString& path)
{
    CString text;
    for (int i = 0; i < path.GetLength(); ++i) {
        text += path[i];
        if (path[i] == '&')
            text += '&';
    }
    return text;
}

bool IsSeparatorAt(HMENU hMenu, int nPos)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    return ::GetMenuItemInfoA(hMenu, static_cast<UINT>(nPos), TRUE, &info) && (info.fType & MFT_SEPARATOR);
}

// Sets the DC's text and background colours for as long as it lives.
class CDrawColours {
public:
    CDrawColours(HDC hdc, COLORREF crText, COLORREF crBack)
        : m_hDC(hdc), m_crOldText(::SetTextColor(hdc, crText)), m_crOldBack(::SetBkColor(hdc, crBack))
    {
    }
    ~CDrawColours()
    {
        ::SetTextColor(m_hDC, m_crOldText);
        ::SetBkColor(m_hDC, m_crOldBack);
    }
    CDrawColours(const CDrawColours&) = delete;
    CDrawColours& operator=(const CDrawColours&) = delete;

private:
    HDC m_hDC;
    COLORREF m_crOldText;
    COLORREF m_crOldBack;
};

} // namespace

// A thumbnail made on the worker, for entry index of the opening counted
// generation.
struct CHistoryMenu::Result {
    unsigned generation = 0;
    size_t index = 0;
    CBitmap bitmap; // none when the picture could not be read or decoded
};

// The results the worker has made and the user-interface thread not yet
// taken, behind a lock of their own.
class CHistoryMenu::Outbox {
public:
    void Put(std::unique_ptr<Result> result)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_results.push_back(std::move(result));
    }
    std::vector<std::unique_ptr<Result>> TakeAll()
    {
        std::vector<std::unique_ptr<Result>> taken;
        std::lock_guard<std::mutex> lock(m_mutex);
        taken.swap(m_results);
        return taken;
    }

private:
    std::mutex m_mutex;
    std::vector<std::unique_ptr<Result>> m_results;
};

BOOL (*CHistoryMenu::s_pfnMakeThumbnail)(const char*, int, int, CBitmap&, const CancelCheck&) = &MakeThumbnail;

CHistoryMenu::CHistoryMenu() : m_outbox(std::make_shared<Outbox>())
{
}

// The worker goes first: its destructor waits for the picture in hand.
CHistoryMenu::~CHistoryMenu()
{
    m_worker.reset();
}

bool CHistoryMenu::IsEntryCommand(UINT nID)
{
    return nID >= ID_HISTORY_FIRST && nID <= ID_HISTORY_LAST;
}

void CHistoryMenu::Build(HMENU hSubMenu, const HistoryList& history, const char* pszCurrentPath)
{
    CancelThumbnails();
    m_entries.clear();
    m_hSubMenu = hSubMenu;
    m_nThumbWidth = history.m_nThumbWidth;
    m_nThumbHeight = history.m_nThumbHeight;
    for (UINT nID = ID_HISTORY_FIRST; nID <= ID_HISTORY_LAST; ++nID)
        ::RemoveMenu(hSubMenu, nID, MF_BYCOMMAND);

    // Only as many entries as there are command identifiers.
    const int nCount = std::min(static_cast<int>(history.m_paths.size()), kEntryIds);
    const bool bSeparator = IsSeparatorAt(hSubMenu, 0);
    if (nCount > 0 && !bSeparator)
        ::InsertMenuA(hSubMenu, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    else if (nCount == 0 && bSeparator)
        ::RemoveMenu(hSubMenu, 0, MF_BYPOSITION);

    m_entries.resize(static_cast<size_t>(nCount));
    for (int i = nCount - 1; i >= 0; --i) {
        const CString& path = history.m_paths[static_cast<size_t>(i)];
        m_entries[static_cast<size_t>(i)].path = path;
        const UINT_PTR nID = ID_HISTORY_FIRST + static_cast<UINT_PTR>(i);
        // An owner-drawn entry carries its index as item data.
        const auto itemData = reinterpret_cast<LPCSTR>(static_cast<UINT_PTR>(i));
        if (history.m_bShowThumbnails)
            ::InsertMenuA(hSubMenu, 0, MF_BYPOSITION | MF_OWNERDRAW, nID, itemData);
        else
            ::InsertMenuA(hSubMenu, 0, MF_BYPOSITION | MF_STRING, nID, MenuTextOf(path));
    }
    for (int i = nCount - 1; i >= 0; --i) {
        if (pszCurrentPath && HistoryList::IsSamePath(m_entries[static_cast<size_t>(i)].path, pszCurrentPath))
            ::CheckMenuItem(hSubMenu, static_cast<UINT>(i), MF_BYPOSITION | MF_CHECKED);
    }
    // The worker starts at once, top entry first, while the menu measures
    // and shows the entries.
    if (history.m_bShowThumbnails && KeptThumbnailSize(m_nThumbWidth, m_nThumbHeight).cx > 0) {
        for (size_t i = 0; i < m_entries.size(); ++i)
            RequestThumbnail(i);
    }
}

BOOL CHistoryMenu::GetEntryPath(UINT nID, CString& path) const
{
    if (!IsEntryCommand(nID) || nID - ID_HISTORY_FIRST >= m_entries.size())
        return FALSE;
    path = m_entries[nID - ID_HISTORY_FIRST].path;
    return TRUE;
}

// The item data of an entry is its index; it has to agree with the command.
const CHistoryMenu::Entry* CHistoryMenu::FindEntry(UINT nID, ULONG_PTR itemData) const
{
    if (!IsEntryCommand(nID) || itemData != nID - ID_HISTORY_FIRST || itemData >= m_entries.size())
        return nullptr;
    return &m_entries[itemData];
}

BOOL CHistoryMenu::MeasureEntry(MEASUREITEMSTRUCT* pMeasure, HDC hdc, const LOGFONTA& font, int* pTextHeight) const
{
    const Entry* pEntry = FindEntry(pMeasure->itemID, pMeasure->itemData);
    if (!pEntry || !hdc)
        return FALSE;
    CFont menuFont;
    menuFont.CreateFontIndirect(&font);
    SIZE text = {};
    {
        CSelectedObject selected(hdc, menuFont);
        ::GetTextExtentPoint32A(hdc, pEntry->path, pEntry->path.GetLength(), &text);
    }
    const SIZE size = HistoryEntrySize(m_nThumbWidth, m_nThumbHeight, text);
    pMeasure->itemWidth = static_cast<UINT>(size.cx);
    pMeasure->itemHeight = static_cast<UINT>(size.cy);
    if (pTextHeight)
        *pTextHeight = text.cy;
    return TRUE;
}

// The worker reads and decodes the picture while this thread goes on; the
// job keeps copies of everything it needs and touches no window but the
// owner it posts to.
void CHistoryMenu::RequestThumbnail(size_t nIndex)
{
    Entry& entry = m_entries[nIndex];
    entry.state = State::Done; // unless the worker takes it
    if (!m_hOwner)
        return;
    if (!m_worker)
        m_worker = std::make_unique<CWorkerThread>();
    entry.state = State::Pending;
    auto make = s_pfnMakeThumbnail;
    m_worker->Post([make, outbox = m_outbox, hOwner = m_hOwner, generation = m_nGeneration, nIndex,
                    path = std::string(entry.path.GetString()), nWidth = m_nThumbWidth,
                    nHeight = m_nThumbHeight](const CWorkerThread::Token& token) {
        auto result = std::make_unique<Result>();
        result->generation = generation;
        result->index = nIndex;
        make(path.c_str(), nWidth, nHeight, result->bitmap, [&token] { return token.Cancelled(); });
        if (token.Cancelled())
            return; // nobody wants it any more
        outbox->Put(std::move(result));
        ::PostMessageA(hOwner, WM_HISTORY_THUMBNAIL, 0, 0);
    });
}

// The entry's part of the open popup is drawn again, by the menu's own
// painting, which asks the owner to draw the entry.
void CHistoryMenu::RedrawEntry(size_t nIndex) const
{
    HWND hPopup = FindPopupWindow(m_hSubMenu);
    if (!hPopup)
        return;
    RECT rc = {};
    if (!::GetMenuItemRect(nullptr, m_hSubMenu, static_cast<UINT>(nIndex), &rc)) {
        ::InvalidateRect(hPopup, nullptr, FALSE);
        return;
    }
    ::MapWindowPoints(nullptr, hPopup, reinterpret_cast<POINT*>(&rc), 2);
    ::InvalidateRect(hPopup, &rc, FALSE);
}

BOOL CHistoryMenu::DrawEntry(const DRAWITEMSTRUCT* pDraw, const char* pszCurrentPath, int nTextHeight)
{
    if (!FindEntry(pDraw->itemID, pDraw->itemData) || !pDraw->hDC)
        return FALSE;
    Entry& entry = m_entries[pDraw->itemData];
    HDC hdc = pDraw->hDC;
    const RECT& rc = pDraw->rcItem;

    COLORREF crBack;
    COLORREF crText = ::GetSysColor(COLOR_MENUTEXT);
    if (pDraw->itemState & ODS_SELECTED) {
        crBack = ::GetSysColor(COLOR_HIGHLIGHT);
        crText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
        ::FillRect(hdc, &rc, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    } else if (pszCurrentPath && HistoryList::IsSamePath(entry.path, pszCurrentPath)) {
        crBack = DarkerMenuColour(::GetSysColor(COLOR_MENU));
        CBrush brush;
        if (brush.CreateSolidBrush(crBack))
            ::FillRect(hdc, &rc, brush);
    } else {
        crBack = ::GetSysColor(COLOR_MENU);
        ::FillRect(hdc, &rc, ::GetSysColorBrush(COLOR_MENU));
    }

    CDrawColours colours(hdc, crText, crBack);
    const POINT text = HistoryTextOrigin(rc, m_nThumbWidth, m_nThumbHeight, nTextHeight);
    ::TextOutA(hdc, text.x, text.y, entry.path, entry.path.GetLength());

    const RECT box = HistoryThumbnailRect(rc, m_nThumbWidth, m_nThumbHeight);
    if (::IsRectEmpty(&box))
        return TRUE;
    if (entry.thumbnail)
        DrawThumbnail(hdc, box, *entry.thumbnail);
    else if (entry.state == State::Idle)
        RequestThumbnail(pDraw->itemData);
    return TRUE;
}

void CHistoryMenu::TakeThumbnails()
{
    for (std::unique_ptr<Result>& result : m_outbox->TakeAll()) {
        if (result->generation != m_nGeneration || result->index >= m_entries.size())
            continue;
        Entry& entry = m_entries[result->index];
        if (entry.state != State::Pending)
            continue;
        entry.state = State::Done;
        if (!result->bitmap)
            continue;
        entry.thumbnail = std::make_unique<CBitmap>(std::move(result->bitmap));
        RedrawEntry(result->index);
    }
}

void CHistoryMenu::CancelThumbnails()
{
    ++m_nGeneration;
    if (m_worker)
        m_worker->Cancel();
    m_outbox->TakeAll(); // made for the entries as they were: let go now
    for (Entry& entry : m_entries) {
        if (entry.state == State::Pending)
            entry.state = State::Idle;
    }
}

void CHistoryMenu::ReleaseThumbnails()
{
    CancelThumbnails();
    for (Entry& entry : m_entries) {
        entry.thumbnail.reset();
        entry.state = State::Idle;
    }
}

bool CHistoryMenu::HasThumbnail(int nIndex) const
{
    return nIndex >= 0 && static_cast<size_t>(nIndex) < m_entries.size() &&
           m_entries[static_cast<size_t>(nIndex)].thumbnail != nullptr;
}

bool CHistoryMenu::IsWorkerIdle() const
{
    return !m_worker || m_worker->IsIdle();
}
