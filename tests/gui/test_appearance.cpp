// Translucency, the frameless look, always on top, the status bar and the
// status text, with the settings each change saves.
#include "GuiHarness.h"

namespace {

uint32_t Pattern(int x, int y)
{
    return AsymmetricPixel(x, y, 400, 300);
}

DWORD ExStyle(HWND h)
{
    return static_cast<DWORD>(::GetWindowLongPtrA(h, GWL_EXSTYLE));
}
DWORD Style(HWND h)
{
    return static_cast<DWORD>(::GetWindowLongPtrA(h, GWL_STYLE));
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

} // namespace

class AppearanceTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(CreateFrame());
        m_path = m_folder.File("pic.bmp");
        ASSERT_TRUE(WriteBmp(m_path, 400, 300, Pattern));
        OpenPath(m_path);
        ASSERT_NE(View().m_pImage, nullptr);
    }
    HWND Frame() { return m_pFrame->m_hWnd; }
    TempFolder m_folder{"look"};
    std::string m_path;
};

TEST_F(AppearanceTest, TranslucencyStepsSetTheLayeredStyleAndAlpha)
{
    for (UINT id = ID_ALPHA_10; id <= ID_ALPHA_90; ++id) {
        int percent = static_cast<int>(id - ID_ALPHA_BASE) * 10;
        SCOPED_TRACE(percent);
        EXPECT_TRUE(IsCommandEnabled(id));
        Command(id);
        ASSERT_TRUE(ExStyle(Frame()) & WS_EX_LAYERED);
        BYTE alpha = 0;
        DWORD flags = 0;
        ASSERT_TRUE(::GetLayeredWindowAttributes(Frame(), nullptr, &alpha, &flags));
        EXPECT_EQ(alpha, percent * 255 / 100);
        EXPECT_TRUE(flags & LWA_ALPHA);
        EXPECT_EQ(ReadSettingsInts().at(kAlpha), percent);
    }
    Command(ID_ALPHA_NONE);
    EXPECT_FALSE(ExStyle(Frame()) & WS_EX_LAYERED);
    EXPECT_EQ(ReadSettingsInts().at(kAlpha), 100);
    EXPECT_EQ(View().m_settings.m_nAlpha, 100);
}

TEST_F(AppearanceTest, FramelessKeepsTheImageInPlaceAndComesBackWithTheStatusBar)
{
    // A fixed zoom: no sizing border either, so only the picture is left.
    Command(ID_ZOOM_100);
    RECT viewBefore = WindowRectOf(View().m_hWnd);
    Command(ID_HIDE_FRAME);
    RECT viewFrameless = WindowRectOf(View().m_hWnd);
    EXPECT_TRUE(SameRect(viewBefore, viewFrameless)) << Describe(viewBefore) << " became " << Describe(viewFrameless);
    EXPECT_FALSE(Style(Frame()) & WS_CAPTION);
    EXPECT_FALSE(Style(Frame()) & WS_THICKFRAME);
    EXPECT_TRUE(ExStyle(Frame()) & WS_EX_TOOLWINDOW) << "no taskbar button";
    EXPECT_FALSE(ExStyle(Frame()) & WS_EX_WINDOWEDGE);
    EXPECT_FALSE(m_pFrame->m_wndStatusBar.GetStyle() & WS_VISIBLE);
    EXPECT_FALSE(m_pFrame->m_wndMenuBar.GetStyle() & WS_VISIBLE) << "the menu-bar band is hidden";
    EXPECT_TRUE(SameRect(WindowRectOf(Frame()), viewFrameless)) << "only the picture is left";
    EXPECT_TRUE(::IsWindowVisible(Frame()));
    EXPECT_EQ(ReadSettingsInts().at(kFrameless), 1);
    // The bar's visibility was kept as its WS_VISIBLE bit.
    EXPECT_EQ(View().m_settings.m_bStatusBar, static_cast<BOOL>(WS_VISIBLE));

    Command(ID_HIDE_FRAME);
    RECT viewFramed = WindowRectOf(View().m_hWnd);
    EXPECT_TRUE(SameRect(viewBefore, viewFramed)) << Describe(viewBefore) << " became " << Describe(viewFramed);
    EXPECT_TRUE(Style(Frame()) & WS_CAPTION);
    EXPECT_FALSE(ExStyle(Frame()) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(m_pFrame->m_wndStatusBar.GetStyle() & WS_VISIBLE);
    EXPECT_TRUE(m_pFrame->m_wndMenuBar.IsWindowVisible());
    EXPECT_EQ(ReadSettingsInts().at(kFrameless), 0);
}

TEST_F(AppearanceTest, FramelessInTheFreeModeKeepsOnlyASizingBorder)
{
    RECT viewBefore = WindowRectOf(View().m_hWnd);
    Command(ID_HIDE_FRAME);
    EXPECT_TRUE(SameRect(viewBefore, WindowRectOf(View().m_hWnd)));
    EXPECT_FALSE(Style(Frame()) & WS_CAPTION);
    EXPECT_TRUE(Style(Frame()) & WS_THICKFRAME) << "the free mode stays resizable";
    RECT frame = WindowRectOf(Frame());
    RECT view = WindowRectOf(View().m_hWnd);
    EXPECT_EQ(view.left - frame.left, frame.right - view.right);
    EXPECT_EQ(view.top - frame.top, frame.bottom - view.bottom) << "no bars, just the border";
}

TEST_F(AppearanceTest, StatusBarHiddenBeforeStaysHiddenAfterTheFrameReturns)
{
    Command(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(m_pFrame->m_wndStatusBar.GetStyle() & WS_VISIBLE);
    Command(ID_HIDE_FRAME);
    Command(ID_HIDE_FRAME);
    EXPECT_FALSE(m_pFrame->m_wndStatusBar.GetStyle() & WS_VISIBLE);
    SIZE view = ClientSizeOf(View().m_hWnd);
    EXPECT_EQ(view.cx, 400);
    EXPECT_EQ(view.cy, 300);
}

TEST_F(AppearanceTest, StatusBarToggleGrowsAndShrinksTheFrameByItsHeight)
{
    RECT frameBefore = WindowRectOf(Frame());
    int barHeight = ClientSizeOf(m_pFrame->m_wndStatusBar.m_hWnd).cy;
    ASSERT_GT(barHeight, 0);
    Command(ID_VIEW_STATUS_BAR);
    RECT frameAfter = WindowRectOf(Frame());
    EXPECT_EQ((frameBefore.bottom - frameBefore.top) - (frameAfter.bottom - frameAfter.top), barHeight);
    EXPECT_EQ(ClientSizeOf(View().m_hWnd).cy, 300);
    EXPECT_EQ(ReadSettingsInts().at(kStatusBar), 0);
    Command(ID_VIEW_STATUS_BAR);
    EXPECT_EQ(WindowRectOf(Frame()).bottom - WindowRectOf(Frame()).top, frameBefore.bottom - frameBefore.top);
    EXPECT_EQ(ReadSettingsInts().at(kStatusBar), 1);
}

TEST_F(AppearanceTest, StatusBarShowsUnderTheImageWhileFrameless)
{
    Command(ID_VIEW_STATUS_BAR); // hidden before the frame goes
    Command(ID_HIDE_FRAME);
    EXPECT_FALSE(m_pFrame->m_wndStatusBar.GetStyle() & WS_VISIBLE);
    Command(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(m_pFrame->m_wndStatusBar.GetStyle() & WS_VISIBLE);
    RECT view = WindowRectOf(View().m_hWnd);
    RECT bar = WindowRectOf(m_pFrame->m_wndStatusBar.m_hWnd);
    EXPECT_EQ(bar.top, view.bottom);
    EXPECT_EQ(ClientSizeOf(View().m_hWnd).cy, 300);
}

TEST_F(AppearanceTest, TopmostSurvivesZoomChangesAndFits)
{
    Command(ID_TOPMOST);
    EXPECT_TRUE(ExStyle(Frame()) & WS_EX_TOPMOST);
    EXPECT_EQ(ReadSettingsInts().at(kTopMost), 1);
    for (UINT id : {static_cast<UINT>(ID_ZOOM_50), static_cast<UINT>(ID_ZOOM_ANY), static_cast<UINT>(ID_ROTATE_RIGHT),
                    static_cast<UINT>(ID_HIDE_FRAME), static_cast<UINT>(ID_HIDE_FRAME)}) {
        Command(id);
        EXPECT_TRUE(ExStyle(Frame()) & WS_EX_TOPMOST) << "after command " << id;
    }
    Command(ID_TOPMOST);
    EXPECT_FALSE(ExStyle(Frame()) & WS_EX_TOPMOST);
    EXPECT_EQ(ReadSettingsInts().at(kTopMost), 0);
}

// A refit hides and shows the frame: a frame in the background stays there,
// the window in front keeps the keyboard. (That the frame in front keeps it
// is shown with real keys end to end.)
TEST_F(AppearanceTest, RefitsOfAWindowInTheBackgroundLeaveTheOneInFrontActive)
{
    HWND hOther = ::CreateWindowExA(0, "STATIC", "in front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 400, 200, 100,
                                    nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hOther, nullptr);
    ::SetForegroundWindow(hOther);
    ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == hOther; }, 2000));
    for (UINT id : {static_cast<UINT>(ID_ZOOM_50), static_cast<UINT>(ID_ROTATE_RIGHT), static_cast<UINT>(ID_HIDE_FRAME),
                    static_cast<UINT>(ID_HIDE_FRAME)}) {
        Command(id);
        EXPECT_EQ(::GetForegroundWindow(), hOther) << "after command " << id;
        EXPECT_TRUE(::IsWindowVisible(Frame()));
    }
    ::DestroyWindow(hOther);
}

TEST_F(AppearanceTest, StatusTextFollowsLoadPaintAndZoom)
{
    EXPECT_EQ(std::string(m_pFrame->m_wndStatusBar.GetPaneText(0)), "KEP - 400 x 300 : 100 % ");
    Command(ID_ZOOM_50);
    EXPECT_EQ(std::string(m_pFrame->m_wndStatusBar.GetPaneText(0)), "KEP - 400 x 300 : 50 % ");
    Command(ID_ROTATE_RIGHT);
    EXPECT_EQ(std::string(m_pFrame->m_wndStatusBar.GetPaneText(0)), "KEP - 400 x 300 : 50 % ")
        << "the size is the image's own, not turned";
}

namespace {
// While the popup runs its own loop, this timer highlights the first item,
// reads the first pane, then closes the popup.
HWND g_frame = nullptr;
HWND g_statusBar = nullptr;
std::string g_promptSeen;
int g_tick = 0;

void CALLBACK MenuTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    ++g_tick;
    if (g_tick == 2) {
        ::PostMessageA(g_frame, WM_KEYDOWN, VK_DOWN, 0);
    } else if (g_tick == 5) {
        char text[256] = {};
        ::SendMessageA(g_statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
        g_promptSeen = text;
        ::PostMessageA(g_frame, WM_CANCELMODE, 0, 0);
        ::KillTimer(nullptr, id);
    }
}
} // namespace

TEST_F(AppearanceTest, MenuPromptWhileHighlightedThenTheIdleTextReturns)
{
    g_frame = Frame();
    g_statusBar = m_pFrame->m_wndStatusBar.m_hWnd;
    g_promptSeen.clear();
    g_tick = 0;
    ::SetForegroundWindow(Frame());
    HMENU hView = ::GetSubMenu(m_pFrame->m_wndMenuBar.m_menu, 1); // 表示(&V): the status bar item
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &MenuTimer);
    RECT rc = WindowRectOf(Frame());
    ::TrackPopupMenu(hView, TPM_LEFTALIGN | TPM_TOPALIGN, rc.left + 20, rc.top + 40, 0, Frame(), nullptr);
    ::KillTimer(nullptr, timer);
    PumpMessages();
    EXPECT_EQ(g_promptSeen, "ステータスバー");
    EXPECT_EQ(std::string(m_pFrame->m_wndStatusBar.GetPaneText(0)), "KEP - 400 x 300 : 100 % ");
}
