// The history submenu (entries, thumbnails, choosing, deleting) and the
// history settings dialog, driven through the frame's real messages and the
// real menu and dialog loops.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "GuiHarness.h"
#include "MenuInput.h"
#include "history/HistoryList.h"
#include "support/MessageBoxCapture.h"

namespace {

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kYellow = 0xFFFF00;

uint32_t Rgb(COLORREF c)
{
    return (static_cast<uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

uint32_t SysColour(int nIndex)
{
    return Rgb(::GetSysColor(nIndex));
}

// Three quarters of each component, rounded down per quarter.
uint32_t Darker(uint32_t c)
{
    auto part = [c](int shift) { return (((c >> shift) & 0xFF) / 4 * 3) << shift; };
    return part(16) | part(8) | part(0);
}

bool Near(uint32_t a, uint32_t b)
{
    for (int shift : {16, 8, 0}) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 8)
            return false;
    }
    return true;
}

// Four vertical stripes: a picture cut, framed or kept at its aspect ratio
// in the box shows other colours at the box's sides or edges.
uint32_t Stripes(int x, int, int width)
{
    static const uint32_t colours[] = {kRed, kGreen, kBlue, kYellow};
    return colours[x * 4 / width];
}

struct MenuItem {
    UINT id;
    UINT type;
    UINT state;
    ULONG_PTR data;
    std::string text;
};

std::vector<MenuItem> ItemsOf(HMENU hMenu)
{
    std::vector<MenuItem> items;
    for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i) {
        char text[512] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_DATA | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof(text);
        ::GetMenuItemInfoA(hMenu, static_cast<UINT>(i), TRUE, &info);
        items.push_back({info.wID, info.fType, info.fState, info.dwItemData, text});
    }
    return items;
}

std::vector<UINT> IdsOf(const std::vector<MenuItem>& items)
{
    std::vector<UINT> ids;
    for (const MenuItem& item : items)
        ids.push_back(item.type & MFT_SEPARATOR ? 0 : item.id);
    return ids;
}

// A 32-bit top-down bitmap selected into a memory DC, with the menu font in
// it as a menu's DC would have, for drawing one entry.
class EntryCanvas {
public:
    EntryCanvas(int width, int height, const LOGFONTA& font) : m_width(width), m_height(height)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        m_hdc = ::CreateCompatibleDC(nullptr);
        m_hBitmap = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_pBits), nullptr, 0);
        m_hOldBitmap = ::SelectObject(m_hdc, m_hBitmap);
        m_hFont = ::CreateFontIndirectA(&font);
        m_hOldFont = ::SelectObject(m_hdc, m_hFont);
    }
    ~EntryCanvas()
    {
        ::SelectObject(m_hdc, m_hOldFont);
        ::SelectObject(m_hdc, m_hOldBitmap);
        ::DeleteObject(m_hFont);
        ::DeleteObject(m_hBitmap);
        ::DeleteDC(m_hdc);
    }
    EntryCanvas(const EntryCanvas&) = delete;
    EntryCanvas& operator=(const EntryCanvas&) = delete;

    HDC Dc() const { return m_hdc; }
    RECT Rect() const { return RECT{0, 0, m_width, m_height}; }
    // Fills with a colour no drawing uses, so untouched pixels show.
    void Clear() { std::fill(m_pBits, m_pBits + m_width * m_height, 0x00FF00FFu); }
    uint32_t At(int x, int y) const
    {
        ::GdiFlush();
        return m_pBits[y * m_width + x] & 0x00FFFFFF;
    }

private:
    int m_width;
    int m_height;
    HDC m_hdc = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
    HFONT m_hFont = nullptr;
    HGDIOBJ m_hOldFont = nullptr;
    uint32_t* m_pBits = nullptr;
};

// The history settings dialog of thread threadId while it is shown.
HWND SettingsDialogOf(DWORD threadId)
{
    HWND hFound = nullptr;
    ::EnumThreadWindows(
        threadId,
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            if (ClassNameOf(hWnd) == "#32770" && WindowTextOf(hWnd) == "履歴表示の設定" &&
                ::IsWindowVisible(hWnd))
                *reinterpret_cast<HWND*>(lParam) = hWnd;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&hFound));
    return hFound;
}

std::string FieldText(HWND hDlg, int nID)
{
    return WindowTextOf(::GetDlgItem(hDlg, nID));
}

// Types the characters into the field, as the keyboard would deliver them.
void Type(HWND hDlg, int nID, const std::string& chars)
{
    HWND hEdit = ::GetDlgItem(hDlg, nID);
    for (char ch : chars)
        ::SendMessageA(hEdit, WM_CHAR, static_cast<unsigned char>(ch), 1);
}

void Clear(HWND hDlg, int nID)
{
    ::SendMessageA(::GetDlgItem(hDlg, nID), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
}

// Pastes text through the clipboard into the field (replacing its text).
bool Paste(HWND hDlg, int nID, const std::string& text)
{
    HWND hEdit = ::GetDlgItem(hDlg, nID);
    HGLOBAL hData = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(::GlobalLock(hData), text.c_str(), text.size() + 1);
    ::GlobalUnlock(hData);
    if (!::OpenClipboard(nullptr)) {
        ::GlobalFree(hData);
        return false;
    }
    ::EmptyClipboard();
    bool bSet = ::SetClipboardData(CF_TEXT, hData) != nullptr;
    ::CloseClipboard();
    if (!bSet) {
        ::GlobalFree(hData);
        return false;
    }
    ::SendMessageA(hEdit, EM_SETSEL, 0, -1);
    ::SendMessageA(hEdit, WM_PASTE, 0, 0);
    return true;
}

void PressButton(HWND hDlg, int nID)
{
    ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, nID)));
}

bool IsChecked(HWND hDlg, int nID)
{
    return ::SendMessageA(::GetDlgItem(hDlg, nID), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsEnabled(HWND hDlg, int nID)
{
    return ::IsWindowEnabled(::GetDlgItem(hDlg, nID)) != FALSE;
}

// New processes are recorded instead of started, while the object lives.
class LaunchRecorder {
public:
    LaunchRecorder()
    {
        s_parameters.clear();
        CImageView::s_pfnShellExecuteEx = &Record;
    }
    ~LaunchRecorder() { CImageView::s_pfnShellExecuteEx = &::ShellExecuteExA; }
    const std::vector<std::string>& Parameters() const { return s_parameters; }

private:
    static BOOL WINAPI Record(SHELLEXECUTEINFOA* info)
    {
        s_parameters.push_back(info->lpParameters ? info->lpParameters : "");
        return TRUE;
    }
    static std::vector<std::string> s_parameters;
};
std::vector<std::string> LaunchRecorder::s_parameters;

// Holds Shift down for this thread's key state while the object lives.
class ShiftHeld {
public:
    ShiftHeld() { Set(0x80); }
    ~ShiftHeld() { Set(0); }

private:
    static void Set(BYTE state)
    {
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[VK_SHIFT] = state;
        ::SetKeyboardState(keys);
    }
};

} // namespace

class HistoryMenuTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(CreateFrame());
    }

    HMENU History() { return m_pFrame->GetHistorySubMenu(); }
    DWORD Thread() { return ::GetCurrentThreadId(); }

    std::string Picture(const std::string& name, uint32_t colour, int width = 200, int height = 150)
    {
        std::string path = m_folder.File(name);
        EXPECT_TRUE(WriteBmp(path, width, height, [colour](int, int) { return colour; }));
        return path;
    }

    void WriteHistory(const std::vector<std::string>& paths, BOOL bShowThumbnails = TRUE, int nThumbWidth = 30,
                      int nThumbHeight = 30)
    {
        HistoryList history;
        for (const std::string& path : paths)
            history.m_paths.push_back(path.c_str());
        history.m_bShowThumbnails = bShowThumbnails;
        history.m_nThumbWidth = nThumbWidth;
        history.m_nThumbHeight = nThumbHeight;
        ASSERT_TRUE(history.Save());
    }

    std::vector<std::string> StoredPaths()
    {
        HistoryList history;
        history.Load();
        std::vector<std::string> paths;
        for (const CString& path : history.m_paths)
            paths.push_back(path.GetString());
        return paths;
    }

    // What the menu loop sends when the history submenu opens and closes.
    void OpenHistory() { m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(History()), 3); }
    void CloseHistory(HWND hTo) { ::SendMessageA(hTo, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(History()), 0); }

    MEASUREITEMSTRUCT Measure(int nIndex)
    {
        MEASUREITEMSTRUCT measure = {};
        measure.CtlType = ODT_MENU;
        measure.itemID = ID_HISTORY_FIRST + static_cast<UINT>(nIndex);
        measure.itemData = static_cast<ULONG_PTR>(nIndex);
        m_pFrame->SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
        return measure;
    }

    void Draw(EntryCanvas& canvas, int nIndex, UINT nState)
    {
        canvas.Clear();
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_MENU;
        draw.itemID = ID_HISTORY_FIRST + static_cast<UINT>(nIndex);
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = nState;
        draw.hwndItem = reinterpret_cast<HWND>(History());
        draw.hDC = canvas.Dc();
        draw.rcItem = canvas.Rect();
        draw.itemData = static_cast<ULONG_PTR>(nIndex);
        m_pFrame->SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    }

    TempFolder m_folder{"histmenu"};
};

TEST_F(HistoryMenuTest, SubmenuListsTheHistoryNewestFirstAboveOneSeparatorAndDeleteEmptiesIt)
{
    const std::vector<UINT> fixed = {ID_HISTORY_SETTINGS, ID_HISTORY_DELETE};
    OpenHistory();
    EXPECT_EQ(IdsOf(ItemsOf(History())), fixed) << "no file: no entries, no separator";
    EXPECT_TRUE(ItemsOf(History())[1].state & MFS_GRAYED) << "nothing to delete";

    const std::string a = Picture("a.bmp", kRed);
    const std::string b = Picture("b.bmp", kGreen);
    const std::string c = Picture("c.bmp", kBlue);
    WriteHistory({a});
    OpenHistory();
    EXPECT_EQ(IdsOf(ItemsOf(History())), (std::vector<UINT>{40000, 0, ID_HISTORY_SETTINGS, ID_HISTORY_DELETE}));

    WriteHistory({c, b, a});
    OpenHistory();
    OpenHistory();
    std::vector<MenuItem> items = ItemsOf(History());
    ASSERT_EQ(IdsOf(items), (std::vector<UINT>{40000, 40001, 40002, 0, ID_HISTORY_SETTINGS, ID_HISTORY_DELETE}))
        << "opened twice: no doubles";
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(items[i].type & MFT_OWNERDRAW) << i;
        EXPECT_EQ(items[i].data, static_cast<ULONG_PTR>(i));
    }
    EXPECT_FALSE(items[5].state & MFS_GRAYED);

    Command(ID_HISTORY_DELETE);
    EXPECT_TRUE(StoredPaths().empty());
    OpenHistory();
    EXPECT_EQ(IdsOf(ItemsOf(History())), fixed);
    EXPECT_TRUE(ItemsOf(History())[1].state & MFS_GRAYED);
}

TEST_F(HistoryMenuTest, WithoutThumbnailsEntriesArePlainPathsAndTheShownOneIsChecked)
{
    const std::string a = Picture("a.bmp", kRed);
    const std::string b = Picture("b & c.bmp", kGreen);
    OpenPath(b);
    WriteHistory({a, b}, FALSE);
    OpenHistory();
    std::vector<MenuItem> items = ItemsOf(History());
    ASSERT_EQ(items.size(), 5u);
    EXPECT_FALSE(items[0].type & MFT_OWNERDRAW);
    EXPECT_EQ(items[0].text, a);
    EXPECT_FALSE(items[0].state & MFS_CHECKED);
    // '&' is doubled so that the path shows as itself, not with a mnemonic.
    std::string shown = b;
    shown.replace(shown.find('&'), 1, "&&");
    EXPECT_EQ(items[1].text, shown);
    EXPECT_TRUE(items[1].state & MFS_CHECKED);
}

TEST_F(HistoryMenuTest, EntryIsMeasuredInTheMenuFontAroundItsBox)
{
    const std::string a = Picture("a.bmp", kRed);
    struct Case {
        int width;
        int height;
        int boxWidth; // as laid out
        int boxHeight;
    } cases[] = {{30, 30, 30, 30}, {64, 20, 64, 20}, {0, 0, 0, 0}, {-40, -7, 0, 0}};

    HDC hdc = ::GetDC(m_pFrame->m_hWnd);
    HFONT hFont = ::CreateFontIndirectA(&m_pFrame->m_lfMenuFont);
    HGDIOBJ hOld = ::SelectObject(hdc, hFont);
    SIZE text = {};
    ::GetTextExtentPoint32A(hdc, a.c_str(), static_cast<int>(a.size()), &text);
    ::SelectObject(hdc, hOld);
    ::DeleteObject(hFont);
    ::ReleaseDC(m_pFrame->m_hWnd, hdc);
    ASSERT_GT(text.cx, 0);

    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        WriteHistory({a}, TRUE, c.width, c.height);
        OpenHistory();
        m_pFrame->m_nMenuTextHeight = 0;
        MEASUREITEMSTRUCT measure = Measure(0);
        EXPECT_EQ(measure.itemWidth, static_cast<UINT>(c.boxWidth + text.cx + 4));
        EXPECT_EQ(measure.itemHeight, static_cast<UINT>(c.boxHeight + 4));
        EXPECT_EQ(m_pFrame->m_nMenuTextHeight, text.cy);
    }
}

TEST_F(HistoryMenuTest, DrawnEntryShowsTheWholePictureInItsBoxOnTheRightBackground)
{
    const std::string shown = m_folder.File("shown.bmp");
    ASSERT_TRUE(WriteBmp(shown, 400, 100, [](int x, int y) { return Stripes(x, y, 400); }));
    const std::string other = Picture("other.bmp", kBlue);
    OpenPath(shown);
    WriteHistory({shown, other});
    OpenHistory();
    const MEASUREITEMSTRUCT measure = Measure(0);
    ASSERT_EQ(measure.itemHeight, 34u);
    EntryCanvas canvas(static_cast<int>(measure.itemWidth) + 20, 34, m_pFrame->m_lfMenuFont);
    const int right = static_cast<int>(measure.itemWidth) + 19;

    // Another program has the picture open for writing: it is still read.
    HANDLE hHeld = ::CreateFileA(shown.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
    Draw(canvas, 0, 0);
    ::CloseHandle(hHeld);
    const uint32_t darker = Darker(SysColour(COLOR_MENU));
    EXPECT_EQ(canvas.At(1, 1), darker) << "the shown picture's entry is darker";
    EXPECT_EQ(canvas.At(right, 0), darker);
    EXPECT_EQ(canvas.At(33, 2), darker) << "2 pixels between box and text";
    // The box at (2, 2), 30 x 30: the whole picture, squeezed to the box.
    const struct {
        int x;
        int y;
        uint32_t colour;
    } box[] = {{2, 2, kRed}, {2, 31, kRed}, {13, 16, kGreen}, {20, 16, kBlue}, {31, 2, kYellow}, {31, 31, kYellow}};
    for (const auto& p : box)
        EXPECT_TRUE(Near(canvas.At(p.x, p.y), p.colour))
            << p.x << "," << p.y << ": " << std::hex << canvas.At(p.x, p.y);
    bool bText = false;
    for (int x = 36; x < right && !bText; ++x)
        for (int y = 0; y < 34 && !bText; ++y)
            bText = canvas.At(x, y) != darker;
    EXPECT_TRUE(bText) << "the path is drawn";

    Draw(canvas, 1, 0);
    EXPECT_EQ(canvas.At(1, 1), SysColour(COLOR_MENU));
    EXPECT_TRUE(Near(canvas.At(16, 16), kBlue));

    // Later draws (each highlight change) use the thumbnail made at the first
    // one: a changed file shows only at the next opening.
    ASSERT_TRUE(WriteBmp(shown, 400, 100, [](int, int) { return kGreen; }));
    Draw(canvas, 0, ODS_SELECTED);
    EXPECT_EQ(canvas.At(1, 1), SysColour(COLOR_HIGHLIGHT)) << "selected: highlight, also for the shown picture";
    EXPECT_TRUE(Near(canvas.At(2, 2), kRed));
    // Closing the submenu (here through the rebar, as the chevron menu's
    // owner) lets the thumbnails go.
    CloseHistory(m_pFrame->m_wndReBar.m_hWnd);
    Draw(canvas, 0, 0);
    EXPECT_TRUE(Near(canvas.At(2, 2), kGreen));
    ASSERT_TRUE(WriteBmp(shown, 400, 100, [](int, int) { return kBlue; }));
    OpenHistory();
    Draw(canvas, 0, 0);
    EXPECT_TRUE(Near(canvas.At(2, 2), kBlue)) << "every opening reads the files afresh";
}

TEST_F(HistoryMenuTest, UnreadablePicturesAndEmptyBoxesDrawNoPicture)
{
    const std::string held = Picture("held.bmp", kRed);
    // A header that claims 65000 x 65000 pixels is never decoded.
    const std::string huge = m_folder.File("huge.jpg");
    std::vector<unsigned char> jpeg = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0xFD, 0xE8, 0xFD, 0xE8, 0x03,
                                       0x01, 0x22, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01};
    jpeg.insert(jpeg.end(), 64, 0x00);
    ASSERT_TRUE(WriteBytes(huge, jpeg));
    const std::string text = m_folder.File("notes.png");
    ASSERT_TRUE(WriteText(text, "no picture"));
    WriteHistory({held, huge, text});
    OpenHistory();
    EntryCanvas canvas(120, 34, m_pFrame->m_lfMenuFont);
    const uint32_t menu = SysColour(COLOR_MENU);

    HANDLE hHeld = ::CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
    DWORD start = ::GetTickCount();
    for (int i = 0; i < 3; ++i) {
        Draw(canvas, i, 0);
        EXPECT_EQ(canvas.At(16, 16), menu) << "entry " << i << ": an empty box";
    }
    EXPECT_LT(::GetTickCount() - start, 3000u) << "nothing was decoded";
    ::CloseHandle(hHeld);

    // Boxes of 0 or below take no room and get no picture.
    for (int size : {0, -30}) {
        WriteHistory({held}, TRUE, size, size);
        OpenHistory();
        Draw(canvas, 0, 0);
        EXPECT_EQ(canvas.At(1, 1), menu);
        EXPECT_EQ(canvas.At(2, 2), menu);
    }
}

TEST_F(HistoryMenuTest, ChoosingAnEntryOpensItHereOrWithShiftInANewWindow)
{
    LaunchRecorder launches;
    const std::string a = Picture("a.bmp", kRed, 300, 200);
    const std::string b = Picture("b.bmp", kGreen, 240, 160);
    const std::string c = Picture("c.bmp", kBlue);
    OpenPath(a);
    WriteHistory({a, b});
    OpenHistory();

    {
        ShiftHeld shift;
        Command(ID_HISTORY_FIRST + 1);
    }
    EXPECT_EQ(launches.Parameters(), std::vector<std::string>{b}) << "Shift: a new window";
    EXPECT_EQ(std::string(View().m_strPath), a) << "this window is left as it was";

    // The view's history retry may rewrite the list while the menu is open:
    // the entry still opens the picture it showed.
    ASSERT_TRUE(View().m_history.AddPath(c.c_str()));
    Command(ID_HISTORY_FIRST + 1);
    EXPECT_EQ(std::string(View().m_strPath), b);
    EXPECT_EQ(WindowTextOf(m_pFrame->m_hWnd), "KEP - " + b);
    EXPECT_EQ(ClientSizeOf(View().m_hWnd).cx, 240) << "the frame fits the new picture";
    EXPECT_EQ(ClientSizeOf(View().m_hWnd).cy, 160);
    EXPECT_EQ(StoredPaths(), (std::vector<std::string>{b, c, a})) << "the entry moved to the top";

    // Positions the submenu did not list do nothing.
    Command(ID_HISTORY_FIRST + 2);
    Command(ID_HISTORY_LAST);
    EXPECT_EQ(std::string(View().m_strPath), b);
    EXPECT_EQ(launches.Parameters().size(), 1u);
}

// The submenu opened by the real menu loop, from the context menu: the
// entries drawn with their thumbnails, the highlight moved with the keyboard
// without reading the files again, and a fresh read at the next opening.
TEST_F(HistoryMenuTest, RealSubmenuMovesItsHighlightFromTheThumbnailsAndRereadsWhenReopened)
{
    const std::string older = Picture("older.bmp", kRed);
    const std::string shown = Picture("shown.bmp", kBlue);
    OpenPath(older);
    OpenPath(shown); // the history is now shown, older
    PrepareForInput(m_pFrame->m_hWnd, View().m_hWnd);
    // The popups open at the window's middle; the pointer stays clear of them.
    MoveMouseTo(POINT{::GetSystemMetrics(SM_CXSCREEN) - 5, 5});
    HMENU hOperations = m_pFrame->m_wndMenuBar.m_menu.GetSubMenu(0);
    HMENU hHistory = History();
    const DWORD thread = Thread();

    // The middle of each entry's box, in the popup's client coordinates.
    auto boxColours = [&]() {
        HWND hPopup = PopupWindowOf(thread, hHistory);
        Capture capture = CaptureClient(hPopup);
        std::vector<uint32_t> colours;
        for (UINT i = 0; i < 2; ++i) {
            RECT rc = {};
            ::GetMenuItemRect(nullptr, hHistory, i, &rc);
            POINT pt = {rc.left + 17, rc.top + 17};
            ::ScreenToClient(hPopup, &pt);
            POINT margin = {rc.left + 1, rc.top + 1};
            ::ScreenToClient(hPopup, &margin);
            colours.push_back(capture.At(pt.x, pt.y));
            colours.push_back(capture.At(margin.x, margin.y));
        }
        return colours;
    };
    std::vector<uint32_t> first, moved, reopened;
    MessageLog log;
    m_pFrame->PostMessage(WM_COMMAND, ID_SHOW_CONTEXT_MENU);
    InputScript script(thread);
    script.WaitForPopups("operations popup", {hOperations})
        .Key(VK_DOWN).Key(VK_DOWN).Key(VK_DOWN).Key(VK_DOWN)
        .Key(VK_RIGHT)
        .WaitForPopups("history submenu", {hOperations, hHistory})
        .Do([&] { ::Sleep(200); first = boxColours(); })
        .Do([&] {
            WriteBmp(shown, 200, 150, [](int, int) { return kGreen; });
            WriteBmp(older, 200, 150, [](int, int) { return kGreen; });
        })
        .Key(VK_DOWN)
        .Do([&] { ::Sleep(200); moved = boxColours(); })
        .Key(VK_LEFT)
        .WaitForPopups("history submenu closed", {hOperations})
        .Key(VK_RIGHT)
        .WaitForPopups("history submenu again", {hOperations, hHistory})
        .Do([&] { ::Sleep(200); reopened = boxColours(); })
        .Key(VK_ESCAPE)
        .Key(VK_ESCAPE)
        .WaitForNoPopup("menus closed");
    ASSERT_TRUE(script.Run(10000)) << script.Failure();

    const uint32_t highlight = SysColour(COLOR_HIGHLIGHT);
    const uint32_t darker = Darker(SysColour(COLOR_MENU));
    const uint32_t menu = SysColour(COLOR_MENU);
    ASSERT_EQ(first.size(), 4u);
    EXPECT_TRUE(Near(first[0], kBlue)) << std::hex << first[0];
    EXPECT_EQ(first[1], highlight) << "the first entry is selected as the submenu opens";
    EXPECT_TRUE(Near(first[2], kRed)) << std::hex << first[2];
    EXPECT_EQ(first[3], menu);
    ASSERT_EQ(moved.size(), 4u);
    EXPECT_TRUE(Near(moved[0], kBlue)) << "drawn from the thumbnail, not the changed file";
    EXPECT_EQ(moved[1], darker) << "the shown picture's entry, no longer selected";
    EXPECT_TRUE(Near(moved[2], kRed));
    EXPECT_EQ(moved[3], highlight);
    ASSERT_EQ(reopened.size(), 4u);
    EXPECT_TRUE(Near(reopened[0], kGreen)) << "read afresh";
    EXPECT_TRUE(Near(reopened[2], kGreen));

    // The menu loop told the frame each time the submenu closed.
    int closings = 0;
    for (const MessageLog::Entry& e : log.Sent(WM_UNINITMENUPOPUP))
        closings += e.hwnd == m_pFrame->m_hWnd && reinterpret_cast<HMENU>(e.wParam) == hHistory;
    EXPECT_EQ(closings, 2);
}

class HistorySettingsTest : public HistoryMenuTest {
protected:
    // Opens the dialog through its command and runs script steps on it.
    bool RunDialog(const std::function<void(InputScript&, HWND&)>& steps)
    {
        m_pFrame->PostMessage(WM_COMMAND, ID_HISTORY_SETTINGS);
        InputScript script(Thread());
        DWORD thread = Thread();
        m_hDlg = nullptr;
        script.WaitFor("the settings dialog",
                       [this, thread] { return (m_hDlg = SettingsDialogOf(thread)) != nullptr; });
        steps(script, m_hDlg);
        HWND* phDlg = &m_hDlg;
        script.WaitFor("the dialog closed", [phDlg] { return !::IsWindow(*phDlg); });
        bool bRun = script.Run(10000);
        EXPECT_TRUE(bRun) << script.Failure();
        return bRun;
    }

    HWND m_hDlg = nullptr;
};

TEST_F(HistorySettingsTest, DialogFiltersTheMaximumRefuses51AndStoresWhatOKConfirms)
{
    const std::string a = Picture("a.bmp", kRed);
    WriteHistory({a});
    MessageBoxCapture boxes;
    struct {
        std::string max, width, height, typed, afterRefusal;
        bool checked = false, sizesEnabled = false, sizesDisabledAfterClick = false, openAfterRefusal = false;
    } seen;
    ASSERT_TRUE(RunDialog([&](InputScript& script, HWND& hDlg) {
        script.Do([&] {
            seen.max = FieldText(hDlg, IDC_MAX_COUNT);
            seen.width = FieldText(hDlg, IDC_THUMB_WIDTH);
            seen.height = FieldText(hDlg, IDC_THUMB_HEIGHT);
            seen.checked = IsChecked(hDlg, IDC_SHOW_THUMBNAILS);
            seen.sizesEnabled = IsEnabled(hDlg, IDC_THUMB_WIDTH) && IsEnabled(hDlg, IDC_THUMB_HEIGHT);
            Clear(hDlg, IDC_MAX_COUNT);
            Type(hDlg, IDC_MAX_COUNT, "1a-x.5");
            seen.typed = FieldText(hDlg, IDC_MAX_COUNT);
            ::SendMessageA(::GetDlgItem(hDlg, IDC_SHOW_THUMBNAILS), BM_CLICK, 0, 0);
            seen.sizesDisabledAfterClick = !IsEnabled(hDlg, IDC_THUMB_WIDTH) && !IsEnabled(hDlg, IDC_THUMB_HEIGHT);
            Clear(hDlg, IDC_THUMB_WIDTH);
            Type(hDlg, IDC_THUMB_WIDTH, "40px");
            Clear(hDlg, IDC_MAX_COUNT);
            Type(hDlg, IDC_MAX_COUNT, "51");
            PressButton(hDlg, IDOK); // returns once the message box is answered
            seen.openAfterRefusal = ::IsWindowVisible(hDlg) != FALSE;
            seen.afterRefusal = FieldText(hDlg, IDC_MAX_COUNT);
            Clear(hDlg, IDC_MAX_COUNT);
            Type(hDlg, IDC_MAX_COUNT, "50");
            PressButton(hDlg, IDOK);
        });
    }));
    EXPECT_EQ(seen.max, "10");
    EXPECT_EQ(seen.width, "30");
    EXPECT_EQ(seen.height, "30");
    EXPECT_TRUE(seen.checked);
    EXPECT_TRUE(seen.sizesEnabled);
    EXPECT_EQ(seen.typed, "1.5") << "letters and the minus sign are not taken";
    EXPECT_TRUE(seen.sizesDisabledAfterClick);
    EXPECT_TRUE(seen.openAfterRefusal);
    EXPECT_EQ(seen.afterRefusal, "51");
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "設定できる最大数は50です");
    EXPECT_EQ(boxes.Boxes()[0].caption, "確認");
    EXPECT_EQ(boxes.Boxes()[0].hOwner, m_hDlg) << "owned by the dialog";

    HistoryList stored;
    ASSERT_TRUE(stored.Load());
    EXPECT_EQ(stored.m_nMaxCount, 50);
    EXPECT_FALSE(stored.m_bShowThumbnails);
    EXPECT_EQ(stored.m_nThumbWidth, 40) << "read as atoi reads, also while disabled";
    EXPECT_EQ(stored.m_nThumbHeight, 30);
    EXPECT_EQ(StoredPaths(), std::vector<std::string>{a});
}

TEST_F(HistorySettingsTest, PastedNegativeMaximumIsRefusedAndCancelLeavesTheFileAsItWas)
{
    const std::string a = Picture("a.bmp", kRed);
    const std::string b = Picture("b.bmp", kBlue);
    WriteHistory({a, b}, FALSE, 50, 60);
    const std::vector<unsigned char> before = ReadBytes(SettingsFolderPath() + "\\history.def");
    MessageBoxCapture boxes;
    std::string pasted;
    bool bPasted = false;
    bool bOpenAfterOK = false;
    bool bSizesEnabled = true;
    ASSERT_TRUE(RunDialog([&](InputScript& script, HWND& hDlg) {
        script.Do([&] {
            bSizesEnabled = IsEnabled(hDlg, IDC_THUMB_WIDTH) || IsEnabled(hDlg, IDC_THUMB_HEIGHT);
            bPasted = Paste(hDlg, IDC_MAX_COUNT, "-3");
            pasted = FieldText(hDlg, IDC_MAX_COUNT);
            PressButton(hDlg, IDOK);
            bOpenAfterOK = ::IsWindowVisible(hDlg) != FALSE;
            Clear(hDlg, IDC_MAX_COUNT);
            Type(hDlg, IDC_MAX_COUNT, "1");
            PressButton(hDlg, IDCANCEL);
        });
    }));
    EXPECT_FALSE(bSizesEnabled) << "thumbnails off: the size fields start disabled";
    ASSERT_TRUE(bPasted);
    EXPECT_EQ(pasted, "-3") << "pasted text is not filtered";
    EXPECT_TRUE(bOpenAfterOK) << "a negative maximum is refused";
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(ReadBytes(SettingsFolderPath() + "\\history.def"), before);
}
