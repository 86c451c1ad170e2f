#include "history/CHistoryMenu.h"

#include <algorithm>

#include "CBrush.h"
#include "CFont.h"
#include "CSelectedObject.h"
#include "history/HistoryList.h"
#include "history/HistoryMenuLayout.h"
#include "history/HistoryThumbnail.h"
#include "res/resource.h"

namespace {

constexpr int kEntryIds = ID_HISTORY_LAST - ID_HISTORY_FIRST + 1;

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

CHistoryMenu::CHistoryMenu() = default;

CHistoryMenu::~CHistoryMenu() = default;

bool CHistoryMenu::IsEntryCommand(UINT nID)
{
    return nID >= ID_HISTORY_FIRST && nID <= ID_HISTORY_LAST;
}

void CHistoryMenu::Build(HMENU hSubMenu, const HistoryList& history, const char* pszCurrentPath)
{
    m_entries.clear();
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

HBITMAP CHistoryMenu::GetThumbnail(Entry& entry)
{
    if (!entry.bTried) {
        entry.bTried = true;
        auto thumbnail = std::make_unique<CBitmap>();
        if (MakeThumbnail(entry.path, m_nThumbWidth, m_nThumbHeight, *thumbnail))
            entry.thumbnail = std::move(thumbnail);
    }
    return entry.thumbnail ? entry.thumbnail->Get() : nullptr;
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
    if (!::IsRectEmpty(&box)) {
        if (HBITMAP hThumbnail = GetThumbnail(entry))
            DrawThumbnail(hdc, box, hThumbnail);
    }
    return TRUE;
}

void CHistoryMenu::ReleaseThumbnails()
{
    for (Entry& entry : m_entries) {
        entry.thumbnail.reset();
        entry.bTried = false;
    }
}
