// The history submenu (entries, thumbnails, choosing, deleting) and the
// history settings dialog, driven through the frame's real messages and the
// real menu and dialog loops.
#include <windows.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <future>
#include <thread>

#include "HistoryMenuTest.h"
#include "MenuInput.h"
#include "MessageLog.h"
#include "support/MessageBoxCapture.h"
#include "support/MetafileBytes.h"

namespace {

struct MenuItem {
    UINT id; // 0 for a separator
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
        items.push_back({info.fType & MFT_SEPARATOR ? 0 : info.wID, info.fType, info.fState, info.dwItemData, text});
    }
    return items;
}

std::vector<UINT> IdsOf(HMENU hMenu)
{
    std::vector<UINT> ids;
    for (const MenuItem& item : ItemsOf(hMenu))
        ids.push_back(item.id);
    return ids;
}

} // namespace

TEST_F(HistoryMenuTest, SubmenuListsTheHistoryNewestFirstAboveOneSeparatorAndDeleteEmptiesIt)
{
    const std::vector<UINT> fixed = {ID_HISTORY_SETTINGS, ID_HISTORY_DELETE};
    OpenHistory();
    EXPECT_EQ(IdsOf(History()), fixed) << "no file: no entries, no separator";
    EXPECT_TRUE(ItemsOf(History())[1].state & MFS_GRAYED) << "nothing to delete";

    const std::string a = Picture("a.bmp", kRed);
    const std::string b = Picture("b.bmp", kGreen);
    const std::string c = Picture("c.bmp", kBlue);
    WriteHistory({a});
    OpenHistory();
    EXPECT_EQ(IdsOf(History()), (std::vector<UINT>{40000, 0, ID_HISTORY_SETTINGS, ID_HISTORY_DELETE}));

    WriteHistory({c, b, a});
    OpenHistory();
    OpenHistory();
    std::vector<MenuItem> items = ItemsOf(History());
    ASSERT_EQ(IdsOf(History()), (std::vector<UINT>{40000, 40001, 40002, 0, ID_HISTORY_SETTINGS, ID_HISTORY_DELETE}))
        << "opened twice: no doubles";
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(items[i].type & MFT_OWNERDRAW) << i;
        EXPECT_EQ(items[i].data, static_cast<ULONG_PTR>(i));
    }
    EXPECT_FALSE(items[5].state & MFS_GRAYED);

    Command(ID_HISTORY_DELETE);
    EXPECT_TRUE(StoredHistoryPaths().empty());
    OpenHistory();
    EXPECT_EQ(IdsOf(History()), fixed);
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
    EXPECT_EQ(items[0].type & MFT_OWNERDRAW, 0u);
    EXPECT_EQ(items[0].text, a);
    EXPECT_FALSE(items[0].state & MFS_CHECKED);
    // '&' is doubled, so the path shows as itself rather than with a mnemonic.
    EXPECT_EQ(items[1].text, b.substr(0, b.find('&')) + "&&" + b.substr(b.find('&') + 1));
    EXPECT_TRUE(items[1].state & MFS_CHECKED);
}

TEST_F(HistoryMenuTest, EntryIsMeasuredInTheMenuFontAroundItsBox)
{
    const std::string a = Picture("a.bmp", kRed);
    HDC hdc = ::GetDC(nullptr);
    HFONT hFont = ::CreateFontIndirectA(&m_pFrame->m_lfMenuFont);
    HGDIOBJ hOld = ::SelectObject(hdc, hFont);
    SIZE text = {};
    ::GetTextExtentPoint32A(hdc, a.c_str(), static_cast<int>(a.size()), &text);
    ::SelectObject(hdc, hOld);
    ::DeleteObject(hFont);
    ::ReleaseDC(nullptr, hdc);
    ASSERT_GT(text.cx, 0);

    // Sizes of 0 or below take no room (never a negative or wrapped size).
    const struct {
        int size;
        int laidOut;
    } cases[] = {{30, 30}, {0, 0}, {-40, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        WriteHistory({a}, TRUE, c.size, c.size);
        OpenHistory();
        m_pFrame->m_nMenuTextHeight = 0;
        const MEASUREITEMSTRUCT measure = Measure(0);
        EXPECT_EQ(measure.itemWidth, static_cast<UINT>(c.laidOut + text.cx + 4));
        EXPECT_EQ(measure.itemHeight, static_cast<UINT>(c.laidOut + 4));
        EXPECT_EQ(m_pFrame->m_nMenuTextHeight, text.cy);
    }
}

TEST_F(HistoryMenuTest, DrawnEntryShowsTheWholePictureInItsBoxOnTheRightBackground)
{
    // Four stripes: a picture cut, framed or kept at its aspect ratio shows
    // other colours at the box's sides or edges.
    const uint32_t stripes[] = {kRed, kGreen, kBlue, kYellow};
    const std::string shown = Picture(
        "shown.bmp", [&](int x, int) { return stripes[x / 100]; }, 400, 100);
    const std::string other = Picture("other.bmp", kBlue);
    OpenPath(shown);
    WriteHistory({shown, other});
    // Another program has the picture open for writing: it is still read.
    HANDLE hHeld = ::CreateFileA(shown.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
    OpenHistory();
    const int width = static_cast<int>(Measure(0).itemWidth) + 20;
    Capture entry = DrawWhenMade(0, 0, width);
    ::CloseHandle(hHeld);
    const uint32_t darker = SysColour(COLOR_MENU, true);
    EXPECT_EQ(entry.At(1, 1), darker) << "the shown picture's entry is darker";
    EXPECT_EQ(entry.At(width - 1, 0), darker);
    EXPECT_EQ(entry.At(33, 2), darker) << "2 pixels between box and text";
    // The box at (2, 2), 30 x 30: the whole picture, squeezed to the box.
    const struct {
        int x, y;
        uint32_t colour;
    } box[] = {{2, 2, kRed}, {2, 31, kRed}, {13, 16, kGreen}, {20, 16, kBlue}, {31, 2, kYellow}, {31, 31, kYellow}};
    for (const auto& p : box)
        EXPECT_TRUE(Near(entry.At(p.x, p.y), p.colour)) << p.x << "," << p.y << ": " << std::hex << entry.At(p.x, p.y);
    EXPECT_TRUE(std::count_if(entry.pixels.begin(), entry.pixels.end(), [&](uint32_t px) { return px == darker; }) <
                width * 34 - 30 * 30 - 20)
        << "the path is drawn";

    entry = DrawWhenMade(1, 0, width);
    EXPECT_EQ(entry.At(1, 1), SysColour(COLOR_MENU));
    EXPECT_TRUE(Near(entry.At(16, 16), kBlue));

    // Later draws (each highlight change) use the thumbnail made at the first
    // one: a changed file shows only once the submenu closed or opened again.
    ASSERT_TRUE(WriteBmp(shown, 400, 100, [](int, int) { return kGreen; }));
    entry = Draw(0, ODS_SELECTED, width);
    EXPECT_EQ(entry.At(1, 1), SysColour(COLOR_HIGHLIGHT)) << "selected: highlight, also for the shown picture";
    EXPECT_TRUE(Near(entry.At(2, 2), kRed));
    CloseHistory(m_pFrame->m_wndReBar.m_hWnd); // as the chevron menu's owner passes it on
    EXPECT_TRUE(Near(DrawWhenMade(0, 0, width).At(2, 2), kGreen));
    ASSERT_TRUE(WriteBmp(shown, 400, 100, [](int, int) { return kBlue; }));
    OpenHistory();
    EXPECT_TRUE(Near(DrawWhenMade(0, 0, width).At(2, 2), kBlue));
}

TEST_F(HistoryMenuTest, PictureWhoseHeaderClaimsTooManyPixelsGetsNoThumbnail)
{
    // A JPEG header that claims 65000 x 65000 pixels: never handed to the decoder.
    const std::string huge = m_folder.File("huge.jpg");
    std::vector<unsigned char> jpeg = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0xFD, 0xE8, 0xFD, 0xE8,
                                       0x03, 0x01, 0x22, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01};
    jpeg.insert(jpeg.end(), 64, 0x00);
    ASSERT_TRUE(WriteBytes(huge, jpeg));
    WriteHistory({huge});
    OpenHistory();
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(DrawWhenMade(0, 0, 120).At(16, 16), SysColour(COLOR_MENU)) << "an empty box";
    EXPECT_LT(::GetTickCount() - start, 3000u) << "refused from its header";
    EXPECT_FALSE(Menu().HasThumbnail(0));
}

// The pixels of a thumbnail (a DIB section), premultiplied ARGB.
std::vector<uint32_t> ThumbnailPixels(HBITMAP hThumbnail, SIZE* pSize)
{
    DIBSECTION dib = {};
    if (!::GetObjectA(hThumbnail, sizeof dib, &dib) || !dib.dsBm.bmBits)
        return {};
    *pSize = SIZE{dib.dsBm.bmWidth, dib.dsBm.bmHeight};
    const auto* p = static_cast<const uint32_t*>(dib.dsBm.bmBits);
    return std::vector<uint32_t>(p, p + static_cast<size_t>(dib.dsBm.bmWidth) * dib.dsBm.bmHeight);
}

// A metafile with an ellipse millions of pixels wide is worked out over its
// whole size by the system's player: its thumbnail leaves that ellipse out,
// as the view does, instead of keeping the menu busy for minutes.
TEST_F(HistoryMenuTest, MetafileThumbnailLeavesOutAnEllipseTooLargeToDraw)
{
    std::vector<MetafileBytes> records = EmfShapes();
    // An ellipse 16 million units across, centred on the picture's corner,
    // drawn with the rectangle's brush: it would cover the whole picture.
    records.insert(records.end() - 1, EmfRecord(42, {0xFF800000, 0xFF800000, 0x800000, 0x800000}));
    const std::string path = m_folder.File("ellipse.emf");
    ASSERT_TRUE(WriteBytes(path, Emf(records)));
    // Made on a thread of its own, so that a thumbnail that takes minutes
    // fails the test at once instead of holding it up.
    std::packaged_task<std::pair<SIZE, std::vector<uint32_t>>()> make([path] {
        CBitmap thumbnail;
        SIZE size = {};
        std::vector<uint32_t> pixels;
        if (MakeThumbnail(path.c_str(), 40, 30, thumbnail))
            pixels = ThumbnailPixels(thumbnail, &size);
        return std::make_pair(size, pixels);
    });
    auto made = make.get_future();
    std::thread(std::move(make)).detach();
    ASSERT_EQ(made.wait_for(std::chrono::seconds(60)), std::future_status::ready) << "the thumbnail takes minutes";
    const auto [size, pixels] = made.get();
    ASSERT_EQ(size.cx, 40);
    ASSERT_EQ(size.cy, 30);
    EXPECT_EQ(pixels[5 * 40 + 5], 0xFFC06030u) << "the rectangle, opaque";
    EXPECT_EQ(pixels[25 * 40 + 35], 0u) << "the ellipse is left out: transparent";
}

// However large a box the settings ask for, a kept thumbnail holds at most
// 512 x 512 pixels (1 MiB), and is stretched to the box as it is drawn.
TEST_F(HistoryMenuTest, ThumbnailsOfHugeBoxesAreKeptSmallAndStretchedToTheBox)
{
    const struct {
        int w, h;
        SIZE kept;
    } sizes[] = {{30, 30, {30, 30}},    {512, 100, {512, 100}}, {4096, 4096, {512, 512}}, {4096, 16, {512, 2}},
                 {1, 100000, {1, 512}}, {INT_MAX, 1, {512, 1}}, {0, 30, {0, 0}},          {30, -1, {0, 0}}};
    for (const auto& c : sizes) {
        const SIZE kept = KeptThumbnailSize(c.w, c.h);
        EXPECT_TRUE(kept.cx == c.kept.cx && kept.cy == c.kept.cy) << c.w << " x " << c.h;
    }

    const uint32_t halves[] = {kRed, kBlue};
    const std::string path = Picture(
        "halves.bmp", [&](int x, int) { return halves[x / 100]; }, 200, 100);
    CBitmap thumbnail;
    ASSERT_TRUE(MakeThumbnail(path.c_str(), 4096, 4096, thumbnail));
    SIZE size = {};
    ASSERT_FALSE(ThumbnailPixels(thumbnail, &size).empty());
    EXPECT_EQ(size.cx, 512);
    EXPECT_EQ(size.cy, 512);
    const Capture box = CaptureDrawing(1024, 1024, [&](HDC hdc) {
        DrawThumbnail(hdc, RECT{0, 0, 1024, 1024}, thumbnail);
    });
    EXPECT_TRUE(Near(box.At(0, 0), kRed));
    EXPECT_TRUE(Near(box.At(500, 1023), kRed));
    EXPECT_TRUE(Near(box.At(530, 0), kBlue));
    EXPECT_TRUE(Near(box.At(1023, 1023), kBlue)) << "stretched to the whole box";
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
        HeldKeyState shift(VK_SHIFT);
        Command(ID_HISTORY_FIRST + 1);
    }
    EXPECT_EQ(launches.Parameters(), std::vector<std::string>{b}) << "Shift: a new window";
    EXPECT_EQ(std::string(View().m_strPath), a) << "this window is left as it was";

    // The view's history retry may rewrite the list while the menu is open:
    // the entry still opens the picture it showed.
    ASSERT_TRUE(View().m_history.AddPath(c.c_str()));
    Command(ID_HISTORY_FIRST + 1);
    EXPECT_EQ(WindowTextOf(m_pFrame->m_hWnd), "KEP - " + b);
    EXPECT_EQ(ClientSizeOf(View().m_hWnd).cx, 240) << "the frame fits the new picture";
    EXPECT_EQ(StoredHistoryPaths(), (std::vector<std::string>{b, c, a})) << "the entry moved to the top";

    // Positions the submenu did not list do nothing.
    Command(ID_HISTORY_FIRST + 2);
    Command(ID_HISTORY_LAST);
    EXPECT_EQ(std::string(View().m_strPath), b);
    EXPECT_EQ(launches.Parameters().size(), 1u);
}

// The submenu in the real menu loop, opened from the context menu: the
// highlight moves without reading the files again, and the next opening
// reads them afresh.
TEST_F(HistoryMenuTest, RealSubmenuMovesItsHighlightFromTheThumbnailsAndRereadsWhenReopened)
{
    const std::string older = Picture("older.bmp", kRed);
    const std::string shown = Picture("shown.bmp", kBlue);
    OpenPath(older);
    OpenPath(shown); // the history is now: shown, older
    PrepareForInput(m_pFrame->m_hWnd, View().m_hWnd);
    MoveMouseTo(POINT{::GetSystemMetrics(SM_CXSCREEN) - 5, 5}); // clear of the popups
    HMENU hOperations = m_pFrame->m_wndMenuBar.m_menu.GetSubMenu(0);
    HMENU hHistory = History();
    const DWORD thread = ::GetCurrentThreadId();

    // Per entry: the middle of its box and its margin, from the screen, once
    // ready holds for them (the menu draws in its own time, and thumbnails
    // fill in as the worker makes them).
    const uint32_t highlight = SysColour(COLOR_HIGHLIGHT);
    auto look = [&](std::vector<uint32_t>& colours, const std::function<bool()>& ready) {
        PollUntil(
            [&] {
                colours.clear();
                HWND hPopup = PopupWindowOf(thread, hHistory);
                Capture capture = CaptureClient(hPopup);
                for (UINT i = 0; i < 2; ++i) {
                    RECT rc = {};
                    ::GetMenuItemRect(nullptr, hHistory, i, &rc);
                    POINT points[] = {{rc.left + 17, rc.top + 17}, {rc.left + 1, rc.top + 1}};
                    ::MapWindowPoints(nullptr, hPopup, points, 2);
                    colours.push_back(capture.At(points[0].x, points[0].y));
                    colours.push_back(capture.At(points[1].x, points[1].y));
                }
                return ready();
            },
            5000);
    };
    // Both boxes show a picture: neither the background nor the highlight.
    auto filled = [](const std::vector<uint32_t>& colours) {
        return [&colours] {
            for (size_t i : {0u, 2u})
                if (colours[i] == SysColour(COLOR_MENU) || colours[i] == SysColour(COLOR_HIGHLIGHT) ||
                    colours[i] == SysColour(COLOR_MENU, true))
                    return false;
            return true;
        };
    };
    std::vector<uint32_t> first, moved, reopened;
    MessageLog log;
    m_pFrame->PostMessage(WM_COMMAND, ID_SHOW_CONTEXT_MENU);
    InputScript script(thread);
    script.WaitForPopups("operations popup", {hOperations})
        .Key(VK_DOWN)
        .Key(VK_DOWN)
        .Key(VK_DOWN)
        .Key(VK_DOWN)
        .Key(VK_RIGHT)
        .WaitForPopups("history submenu", {hOperations, hHistory})
        .Do([&] {
            look(first, filled(first));
            for (const std::string& path : {shown, older})
                WriteBmp(path, 200, 150, [](int, int) { return kGreen; });
        })
        .Key(VK_DOWN)
        .Do([&] { look(moved, [&] { return moved[3] == highlight; }); })
        .Key(VK_LEFT)
        .WaitForPopups("history submenu closed", {hOperations})
        .Key(VK_RIGHT)
        .WaitForPopups("history submenu again", {hOperations, hHistory})
        .Do([&] { look(reopened, filled(reopened)); })
        .Key(VK_ESCAPE)
        .Key(VK_ESCAPE)
        .WaitForNoPopup("menus closed");
    ASSERT_TRUE(script.Run(10000)) << script.Failure();

    ASSERT_EQ(first.size(), 4u);
    EXPECT_TRUE(Near(first[0], kBlue) && Near(first[2], kRed)) << std::hex << first[0] << " " << first[2];
    EXPECT_EQ(first[1], highlight) << "the first entry is selected as the submenu opens";
    EXPECT_EQ(first[3], SysColour(COLOR_MENU));
    ASSERT_EQ(moved.size(), 4u);
    EXPECT_TRUE(Near(moved[0], kBlue) && Near(moved[2], kRed)) << "drawn from the thumbnails, not the changed files";
    EXPECT_EQ(moved[1], SysColour(COLOR_MENU, true)) << "the shown picture's entry, no longer selected";
    EXPECT_EQ(moved[3], highlight);
    ASSERT_EQ(reopened.size(), 4u);
    EXPECT_TRUE(Near(reopened[0], kGreen) && Near(reopened[2], kGreen)) << "read afresh";

    // Wine's menu loop told the frame each time the submenu closed.
    int closings = 0;
    for (const MessageLog::Entry& e : log.Sent(WM_UNINITMENUPOPUP))
        closings += e.hwnd == m_pFrame->m_hWnd && reinterpret_cast<HMENU>(e.wParam) == hHistory;
    EXPECT_EQ(closings, 2);
}

// The dialog runs modally from its command while a helper thread works its
// controls; each step returns once the dialog has handled it.
class HistorySettingsTest : public HistoryMenuTest {
protected:
    void RunDialog(const std::function<void()>& steps)
    {
        m_pFrame->PostMessage(WM_COMMAND, ID_HISTORY_SETTINGS);
        const DWORD thread = ::GetCurrentThreadId();
        InputScript script(thread);
        script
            .WaitFor("the settings dialog",
                     [this, thread] {
                         ::EnumThreadWindows(
                             thread,
                             [](HWND h, LPARAM p) -> BOOL {
                                 if (WindowTextOf(h) == "履歴表示の設定" && ::IsWindowVisible(h))
                                     *reinterpret_cast<HWND*>(p) = h;
                                 return TRUE;
                             },
                             reinterpret_cast<LPARAM>(&m_hDlg));
                         return m_hDlg != nullptr;
                     })
            .Do(steps)
            .WaitFor("the dialog closed", [this] { return !::IsWindow(m_hDlg); });
        EXPECT_TRUE(script.Run(10000)) << script.Failure();
    }

    std::string Text(int nID) { return WindowTextOf(::GetDlgItem(m_hDlg, nID)); }
    bool Enabled(int nID) { return ::IsWindowEnabled(::GetDlgItem(m_hDlg, nID)) != FALSE; }
    // Replaces the field's text by typing, as the keyboard would deliver it.
    void Type(int nID, const std::string& chars)
    {
        ::SendMessageA(::GetDlgItem(m_hDlg, nID), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        for (char ch : chars)
            ::SendMessageA(::GetDlgItem(m_hDlg, nID), WM_CHAR, static_cast<unsigned char>(ch), 1);
    }
    void Press(int nID)
    {
        HWND hButton = ::GetDlgItem(m_hDlg, nID);
        ::SendMessageA(m_hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(hButton));
    }

    HWND m_hDlg = nullptr;
};

TEST_F(HistorySettingsTest, DialogFiltersTheMaximumRefuses51AndStoresWhatOKConfirms)
{
    const std::string a = Picture("a.bmp", kRed);
    WriteHistory({a});
    MessageBoxCapture boxes;
    std::vector<std::string> texts;
    std::vector<bool> states;
    RunDialog([&] {
        texts = {Text(IDC_MAX_COUNT), Text(IDC_THUMB_WIDTH), Text(IDC_THUMB_HEIGHT)};
        states = {::IsDlgButtonChecked(m_hDlg, IDC_SHOW_THUMBNAILS) == BST_CHECKED, Enabled(IDC_THUMB_WIDTH),
                  Enabled(IDC_THUMB_HEIGHT)};
        Type(IDC_MAX_COUNT, "1a-x.5");
        texts.push_back(Text(IDC_MAX_COUNT));
        ::SendMessageA(::GetDlgItem(m_hDlg, IDC_SHOW_THUMBNAILS), BM_CLICK, 0, 0);
        states.push_back(Enabled(IDC_THUMB_WIDTH) || Enabled(IDC_THUMB_HEIGHT));
        Type(IDC_THUMB_WIDTH, "40px");
        Type(IDC_MAX_COUNT, "51");
        Press(IDOK); // returns once the message box is answered
        states.push_back(::IsWindowVisible(m_hDlg) != FALSE);
        texts.push_back(Text(IDC_MAX_COUNT));
        Type(IDC_MAX_COUNT, "50");
        Press(IDOK);
    });
    EXPECT_EQ(texts, (std::vector<std::string>{"10", "30", "30", "1.5", "51"})) << "no letters, no minus sign";
    EXPECT_EQ(states, (std::vector<bool>{true, true, true, false, true}))
        << "checked, sizes enabled; unchecked: disabled; 51: still open";
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
    EXPECT_EQ(StoredHistoryPaths(), std::vector<std::string>{a});
}

TEST_F(HistorySettingsTest, PastedNegativeMaximumIsRefusedAndCancelLeavesTheFileAsItWas)
{
    WriteHistory({Picture("a.bmp", kRed), Picture("b.bmp", kBlue)}, FALSE, 50, 60);
    const Bytes before = ReadBytes(SettingsFilePath("history.def"));
    MessageBoxCapture boxes;
    std::string pasted;
    std::vector<bool> states;
    RunDialog([&] {
        states.push_back(Enabled(IDC_THUMB_WIDTH) || Enabled(IDC_THUMB_HEIGHT));
        // Pasted text passes the field's filter.
        HGLOBAL hText = ::GlobalAlloc(GMEM_MOVEABLE, 3);
        std::memcpy(::GlobalLock(hText), "-3", 3);
        ::GlobalUnlock(hText);
        if (::OpenClipboard(nullptr)) {
            ::EmptyClipboard();
            ::SetClipboardData(CF_TEXT, hText);
            ::CloseClipboard();
        }
        ::SendMessageA(::GetDlgItem(m_hDlg, IDC_MAX_COUNT), EM_SETSEL, 0, -1);
        ::SendMessageA(::GetDlgItem(m_hDlg, IDC_MAX_COUNT), WM_PASTE, 0, 0);
        pasted = Text(IDC_MAX_COUNT);
        Press(IDOK);
        states.push_back(::IsWindowVisible(m_hDlg) != FALSE);
        Type(IDC_MAX_COUNT, "1");
        Press(IDCANCEL);
    });
    EXPECT_EQ(pasted, "-3");
    EXPECT_EQ(states, (std::vector<bool>{false, true})) << "thumbnails off: sizes disabled; -3 refused, still open";
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(ReadBytes(SettingsFilePath("history.def")), before);
}
