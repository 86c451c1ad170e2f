// The zoom commands: view sizes, the fixed-size dialog driven for real, the
// menu texts, resizability, the free mode and the saved settings.
#include <climits>

#include "GuiHarness.h"
#include "support/MessageBoxCapture.h"

namespace {

uint32_t Pattern(int x, int y)
{
    return AsymmetricPixel(x % 97, y % 89, 97, 89);
}

bool IsResizable(HWND hWnd)
{
    return (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_THICKFRAME) != 0;
}

// Answers dialog 133 with text (or Cancel when text is null), and records the
// value it was opened with.
struct FixedSizeAnswer {
    const char* text;
    std::string initial;
    int opened = 0;
    void operator()(HWND hDlg)
    {
        ++opened;
        char buffer[64] = {};
        ::GetDlgItemTextA(hDlg, 1005, buffer, sizeof(buffer));
        initial = buffer;
        if (text) {
            ::SetDlgItemTextA(hDlg, 1005, text);
            ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, IDOK)));
        } else {
            ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, IDCANCEL)));
        }
    }
};

} // namespace

class ZoomTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(CreateFrame());
    }
    void Open(int width, int height)
    {
        std::string path = m_folder.File("img" + std::to_string(width) + "x" + std::to_string(height) + ".bmp");
        ASSERT_TRUE(WriteBmp(path, width, height, Pattern));
        OpenPath(path);
        ASSERT_NE(View().m_pImage, nullptr);
    }
    SIZE ViewSize() { return ClientSizeOf(View().m_hWnd); }
    // Runs a fixed-size command, answering its dialog.
    FixedSizeAnswer FixedSize(UINT nID, const char* text)
    {
        FixedSizeAnswer answer{text, std::string(), 0};
        MessageBoxCapture capture;
        capture.SetDialogHandler([&](HWND h) { answer(h); });
        Command(nID);
        EXPECT_EQ(capture.Count(), 0u);
        return answer;
    }
    // The zoom submenu as the framework updates it when it opens.
    HMENU OpenZoomMenu()
    {
        HMENU hZoom = ::GetSubMenu(::GetSubMenu(m_pFrame->m_wndMenuBar.m_menu, 0), 0);
        m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hZoom), 0);
        return hZoom;
    }
    std::string ItemText(HMENU hMenu, UINT nID) { return MenuTextOf(hMenu, nID, MF_BYCOMMAND); }
    bool Checked(HMENU hMenu, UINT nID) { return (::GetMenuState(hMenu, nID, MF_BYCOMMAND) & MF_CHECKED) != 0; }

    TempFolder m_folder{"zoom"};
};

TEST_F(ZoomTest, PercentStepsScaleTheViewFixTheBorderAndSave)
{
    Open(400, 300);
    EXPECT_TRUE(IsResizable(m_pFrame->m_hWnd)) << "the free mode is resizable";
    const struct {
        UINT id;
        int cx, cy;
    } cases[] = {{ID_ZOOM_50, 200, 150}, {ID_ZOOM_10, 40, 30}, {ID_ZOOM_100, 400, 300}, {ID_ZOOM_70, 280, 210}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        Command(c.id);
        SIZE size = ViewSize();
        // The smallest captioned window may be wider than a tiny picture.
        if (c.cx >= 150) {
            EXPECT_EQ(size.cx, c.cx);
        }
        EXPECT_EQ(size.cy, c.cy);
        EXPECT_FALSE(IsResizable(m_pFrame->m_hWnd));
        std::vector<int> stored = ReadSettingsInts();
        ASSERT_EQ(stored.size(), 10u);
        EXPECT_EQ(stored[kVersion], 5);
        EXPECT_EQ(stored[kZoomMode], ZOOM_PERCENT);
        EXPECT_EQ(stored[kZoomValue], static_cast<int>(c.id - ID_ZOOM_ANY) * 10);
    }
    EXPECT_EQ(std::string(m_pFrame->m_wndStatusBar.GetPaneText(0)), "KEP - 400 x 300 : 70 % ");
    HMENU hZoom = OpenZoomMenu();
    EXPECT_TRUE(Checked(hZoom, ID_ZOOM_70));
    EXPECT_FALSE(Checked(hZoom, ID_ZOOM_50));
    EXPECT_FALSE(Checked(hZoom, ID_ZOOM_ANY));
}

TEST_F(ZoomTest, RotatedPictureSwapsTheZoomedSize)
{
    Open(400, 300);
    Command(ID_ZOOM_50);
    Command(ID_ROTATE_LEFT);
    SIZE size = ViewSize();
    EXPECT_EQ(size.cx, 150);
    EXPECT_EQ(size.cy, 200);
}

TEST_F(ZoomTest, FixedWidthDialogStartsFromTheDisplayedWidthAndStoresTheValue)
{
    Open(640, 480);
    FixedSizeAnswer answer = FixedSize(ID_ZOOM_FIX_WIDTH, "1000");
    EXPECT_EQ(answer.opened, 1);
    EXPECT_EQ(answer.initial, "640");
    EXPECT_EQ(View().m_settings.m_nZoomMode, ZOOM_FIX_WIDTH);
    EXPECT_EQ(View().m_settings.m_nZoomValue, 1000);
    SIZE size = ViewSize();
    EXPECT_EQ(size.cx, 640) << "a limit above the width does not enlarge";
    EXPECT_EQ(size.cy, 480);
    HMENU hZoom = OpenZoomMenu();
    EXPECT_EQ(ItemText(hZoom, ID_ZOOM_FIX_WIDTH), "最大幅を固定 1000 ピクセル");
    EXPECT_TRUE(Checked(hZoom, ID_ZOOM_FIX_WIDTH));
    EXPECT_EQ(ItemText(hZoom, ID_ZOOM_FIX_BOTH), "最大(高幅)を固定");
    std::vector<int> stored = ReadSettingsInts();
    ASSERT_EQ(stored.size(), 10u);
    EXPECT_EQ(stored[kZoomMode], ZOOM_FIX_WIDTH);
    EXPECT_EQ(stored[kZoomValue], 1000);

    FixedSize(ID_ZOOM_FIX_WIDTH, "300");
    size = ViewSize();
    EXPECT_EQ(size.cx, 300);
    EXPECT_EQ(size.cy, 225);
    EXPECT_EQ(View().m_nZoomPercent, 46);
}

TEST_F(ZoomTest, FixedHeightAndBothFollowTheirRules)
{
    Open(400, 1000);
    FixedSizeAnswer answer = FixedSize(ID_ZOOM_FIX_HEIGHT, "500");
    EXPECT_EQ(answer.initial, "1000");
    EXPECT_EQ(View().m_settings.m_nZoomMode, ZOOM_FIX_HEIGHT);
    EXPECT_EQ(ViewSize().cx, 200);
    EXPECT_EQ(ViewSize().cy, 500);

    answer = FixedSize(ID_ZOOM_FIX_BOTH, "300");
    EXPECT_EQ(answer.initial, "500") << "both starts from the stored value";
    EXPECT_EQ(View().m_settings.m_nZoomMode, ZOOM_FIX_BOTH);
    // 400 x 1000: the height limit gives 120 x 300, already narrow enough;
    // a captioned window cannot be 120 wide, so only the height is exact.
    EXPECT_EQ(ViewSize().cy, 300);
    RECT rc;
    ASSERT_TRUE(View().GetImageRect(&rc));
    EXPECT_EQ(rc.right - rc.left, 120);

    Open(1000, 400);
    EXPECT_EQ(ViewSize().cx, 300);
    EXPECT_EQ(ViewSize().cy, 120);
    HMENU hZoom = OpenZoomMenu();
    EXPECT_EQ(ItemText(hZoom, ID_ZOOM_FIX_BOTH), "最大(高幅)を固定 300 ピクセル");
    EXPECT_TRUE(Checked(hZoom, ID_ZOOM_FIX_BOTH));
}

// In the free mode a picture larger than the screen opens whole: the zoom
// shrinks until the whole window fits the work area, and the window moves
// inside it. A picture that fits opens at its own size where the window is.
TEST_F(ZoomTest, FreeModeFitsPicturesLargerThanTheScreenIntoTheWorkArea)
{
    ASSERT_EQ(View().m_settings.m_nZoomMode, ZOOM_ANY);
    const RECT before = WindowRectOf(m_pFrame->m_hWnd);
    Open(400, 300);
    EXPECT_EQ(ViewSize().cx, 400);
    EXPECT_EQ(ViewSize().cy, 300);
    EXPECT_EQ(View().m_dFreeZoom, 1.0);
    EXPECT_EQ(WindowRectOf(m_pFrame->m_hWnd).left, before.left);
    EXPECT_EQ(WindowRectOf(m_pFrame->m_hWnd).top, before.top);

    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ASSERT_TRUE(::GetMonitorInfoA(::MonitorFromWindow(m_pFrame->m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT work = monitor.rcWork;
    const struct {
        int width;
        int height;
        int rotation;
    } cases[] = {{4000, 3000, 0}, {6000, 800, 0}, {6000, 800, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " turned " +
                     std::to_string(c.rotation));
        // Start from the place and zoom of the small picture, partly off the
        // work area's bottom right.
        m_pFrame->SetWindowPos(nullptr, work.right - 300, work.bottom - 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        View().m_dFreeZoom = 1.0;
        View().m_nRotation = c.rotation;
        const std::string path = m_folder.File("big.bmp");
        ASSERT_TRUE(WriteSolidRle8Bmp(path, c.width, c.height, 0x3366CC));
        OpenPath(path);
        ASSERT_NE(View().m_pImage, nullptr);
        const RECT frame = WindowRectOf(m_pFrame->m_hWnd);
        EXPECT_GE(frame.left, work.left);
        EXPECT_GE(frame.top, work.top);
        EXPECT_LE(frame.right, work.right);
        EXPECT_LE(frame.bottom, work.bottom);
        // The whole picture, scaled alike both ways, fills the view; the
        // window reaches across the work area in one direction.
        const double zoom = View().m_dFreeZoom;
        const int shownWidth = c.rotation ? c.height : c.width;
        const int shownHeight = c.rotation ? c.width : c.height;
        EXPECT_LT(zoom, 1.0);
        EXPECT_EQ(ViewSize().cx, static_cast<int>(shownWidth * zoom));
        EXPECT_EQ(ViewSize().cy, static_cast<int>(shownHeight * zoom));
        EXPECT_TRUE(frame.right - frame.left >= work.right - work.left - 1 ||
                    frame.bottom - frame.top >= work.bottom - work.top - 1);
        EXPECT_LT(View().m_nZoomPercent, 100);
    }
    View().m_nRotation = 0;

    // The percent modes show what the user chose, screen or not.
    Command(ID_ZOOM_100);
    RECT rc;
    ASSERT_TRUE(View().GetImageRect(&rc));
    EXPECT_EQ(rc.right - rc.left, 6000);
    EXPECT_EQ(rc.bottom - rc.top, 800);
}

TEST_F(ZoomTest, CancelChangesNothing)
{
    Open(400, 300);
    Command(ID_ZOOM_50);
    Bytes before = ReadBytes(SettingsFilePath("wndset.def"));
    FixedSizeAnswer answer = FixedSize(ID_ZOOM_FIX_HEIGHT, nullptr);
    EXPECT_EQ(answer.opened, 1);
    EXPECT_EQ(answer.initial, "150");
    EXPECT_EQ(View().m_settings.m_nZoomMode, ZOOM_PERCENT);
    EXPECT_EQ(View().m_settings.m_nZoomValue, 50);
    EXPECT_EQ(ReadBytes(SettingsFilePath("wndset.def")), before);
    EXPECT_EQ(ViewSize().cx, 200);
}

TEST_F(ZoomTest, TextWithoutDigitsStoresZeroAndMakesTheFrameResizable)
{
    Open(400, 300);
    Command(ID_ZOOM_50);
    FixedSize(ID_ZOOM_FIX_WIDTH, "abc");
    EXPECT_EQ(View().m_settings.m_nZoomMode, ZOOM_FIX_WIDTH);
    EXPECT_EQ(View().m_settings.m_nZoomValue, 0);
    EXPECT_TRUE(IsResizable(m_pFrame->m_hWnd));
    EXPECT_TRUE(::IsWindowVisible(m_pFrame->m_hWnd));
    RECT rc;
    ASSERT_TRUE(View().GetImageRect(&rc));
    EXPECT_EQ(rc.right - rc.left, 0);
    EXPECT_EQ(ItemText(OpenZoomMenu(), ID_ZOOM_FIX_WIDTH), "最大幅を固定 0 ピクセル");
    // Painting an empty display creates nothing and does not fail.
    RepaintView();
}

TEST_F(ZoomTest, NegativeValuesShowAsStoredOrAsTheirAmount)
{
    Open(400, 300);
    FixedSize(ID_ZOOM_FIX_WIDTH, "-50");
    EXPECT_EQ(View().m_settings.m_nZoomValue, -50);
    EXPECT_FALSE(IsResizable(m_pFrame->m_hWnd));
    EXPECT_TRUE(::IsWindowVisible(m_pFrame->m_hWnd));
    EXPECT_EQ(ItemText(OpenZoomMenu(), ID_ZOOM_FIX_WIDTH), "最大幅を固定 -50 ピクセル");
    FixedSize(ID_ZOOM_FIX_HEIGHT, "-50");
    EXPECT_EQ(ItemText(OpenZoomMenu(), ID_ZOOM_FIX_HEIGHT), "最大高さを固定 50 ピクセル");
    FixedSize(ID_ZOOM_FIX_BOTH, "-50");
    EXPECT_EQ(ItemText(OpenZoomMenu(), ID_ZOOM_FIX_BOTH), "最大(高幅)を固定 50 ピクセル");
    RepaintView();
}

TEST_F(ZoomTest, FirstOpeningOfTheZoomMenuReplacesTheBothText)
{
    HMENU hZoom = OpenZoomMenu();
    EXPECT_EQ(ItemText(hZoom, ID_ZOOM_FIX_BOTH), "最大(高幅)を固定");
    EXPECT_TRUE(Checked(hZoom, ID_ZOOM_ANY));
    for (UINT id = ID_ZOOM_ANY; id <= ID_ZOOM_100; ++id)
        EXPECT_FALSE(::GetMenuState(hZoom, id, MF_BYCOMMAND) & MF_GRAYED) << id;
}

TEST_F(ZoomTest, FreeModeFollowsABorderDragAndAnyKeepsTheDisplayedSize)
{
    Open(600, 300);
    RECT frame = WindowRectOf(m_pFrame->m_hWnd);
    SIZE view = ViewSize();
    // Drag the border so the view becomes 300 x 150.
    ::SetWindowPos(m_pFrame->m_hWnd, nullptr, 0, 0, (frame.right - frame.left) - (view.cx - 300),
                   (frame.bottom - frame.top) - (view.cy - 150), SWP_NOMOVE | SWP_NOZORDER);
    RepaintView();
    EXPECT_DOUBLE_EQ(View().m_dFreeZoom, 0.5);
    EXPECT_EQ(View().m_nZoomPercent, 50);

    Command(ID_ZOOM_70);
    EXPECT_EQ(ViewSize().cx, 420);
    Command(ID_ZOOM_ANY);
    EXPECT_TRUE(IsResizable(m_pFrame->m_hWnd));
    EXPECT_EQ(ViewSize().cx, 420);
    EXPECT_EQ(ViewSize().cy, 210);
    std::vector<int> stored = ReadSettingsInts();
    ASSERT_EQ(stored.size(), 10u);
    EXPECT_EQ(stored[kZoomMode], ZOOM_ANY);
    EXPECT_EQ(stored[kZoomValue], 0);
}

TEST_F(ZoomTest, ZoomOnAnEmptyWindowLeavesItShown)
{
    Command(ID_ZOOM_50);
    EXPECT_TRUE(::IsWindowVisible(m_pFrame->m_hWnd));
    EXPECT_EQ(View().m_settings.m_nZoomValue, 50);
    FixedSizeAnswer answer = FixedSize(ID_ZOOM_FIX_WIDTH, "250");
    EXPECT_EQ(answer.initial, "50") << "without an image the dialog starts from the stored value";
    EXPECT_TRUE(::IsWindowVisible(m_pFrame->m_hWnd));
}
