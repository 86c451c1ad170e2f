// The stored look applied at creation.
#include "GuiHarness.h"

TEST_F(FrameTest, CreationAppliesTheStoredLook)
{
    // frameless, zoom 50 percent, status bar hidden, 40% opacity, topmost.
    WriteSettingsInts({5, 1, 50, ZOOM_PERCENT, 0, 40, 1, 0, 1, 0});
    ASSERT_TRUE(CreateFrame());
    HWND h = m_pFrame->m_hWnd;
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(h, GWL_STYLE));
    DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrA(h, GWL_EXSTYLE));
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    ASSERT_TRUE(exStyle & WS_EX_LAYERED);
    BYTE alpha = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(h, nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 102);
    EXPECT_TRUE(::IsWindowVisible(h));
    EXPECT_FALSE(m_pFrame->m_wndStatusBar.GetStyle() & WS_VISIBLE);

    // Topmost takes effect at the first fit.
    TempFolder folder("created");
    std::string path = folder.File("p.bmp");
    ASSERT_TRUE(WriteBmp(path, 300, 200, [](int x, int y) { return AsymmetricPixel(x, y, 300, 200); }));
    OpenPath(path);
    EXPECT_TRUE(::GetWindowLongPtrA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SIZE view = ClientSizeOf(View().m_hWnd);
    EXPECT_EQ(view.cx, 150);
    EXPECT_EQ(view.cy, 100);
    RECT frame = WindowRectOf(h), viewRect = WindowRectOf(View().m_hWnd);
    EXPECT_EQ(frame.left, viewRect.left);
    EXPECT_EQ(frame.bottom, viewRect.bottom);
}

TEST_F(FrameTest, WithoutASettingsFileTheDefaultsApply)
{
    ASSERT_TRUE(CreateFrame());
    const WindowSettings& s = View().m_settings;
    EXPECT_EQ(s.m_nAlpha, 100);
    EXPECT_EQ(s.m_nZoomMode, ZOOM_ANY);
    EXPECT_FALSE(s.m_bFrameless);
    EXPECT_TRUE(s.m_bStatusBar);
    EXPECT_FALSE(s.m_bTopMost);
    EXPECT_FALSE(::GetWindowLongPtrA(m_pFrame->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(::GetWindowLongPtrA(m_pFrame->m_hWnd, GWL_STYLE) & WS_CAPTION);
}

// The retry at creation is for a file another window holds for a moment; a
// settings file that can never be opened (here a folder of that name) must
// not hold the window back for the ten seconds of the retry.
TEST_F(FrameTest, AnUnopenableSettingsFileIsNotWaitedFor)
{
    const std::string folderNamedLikeTheFile = SettingsFilePath("wndset.def");
    ::CreateDirectoryA(SettingsFolderPath().c_str(), nullptr);
    ASSERT_TRUE(::CreateDirectoryA(folderNamedLikeTheFile.c_str(), nullptr));
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(CreateFrame());
    const DWORD elapsed = ::GetTickCount() - start;
    ::RemoveDirectoryA(folderNamedLikeTheFile.c_str());
    // The retry would take 101 x 100 ms; a creation takes well under half of it.
    EXPECT_LT(elapsed, 5000u);
    EXPECT_EQ(View().m_settings.m_nAlpha, 100);
}

// However odd the stored values or the command line, the window stays big
// enough to find and right-click, and on the screen.
TEST_F(FrameTest, OddValuesNeverHideTheWindow)
{
    TempFolder folder("odd");
    const std::string path = folder.File("p.bmp");
    ASSERT_TRUE(WriteBmp(path, 200, 150, [](int x, int y) { return AsymmetricPixel(x, y, 200, 150); }));
    const struct {
        const char* name;
        Bytes settings;
        std::string suffix;
    } cases[] = {
        {"frameless 50 %, suffix zoom 0", LittleEndianInts({5, 1, 50, ZOOM_PERCENT, 0, 100, 0, 0, 1, 0}), "/10:10:0"},
        {"frameless, 1 %", LittleEndianInts({5, 1, 1, ZOOM_PERCENT, 0, 100, 0, 0, 1, 0}), ""},
        {"frameless, 5-pixel limit", LittleEndianInts({5, 1, 5, ZOOM_FIX_BOTH, 0, 100, 0, 0, 1, 0}), ""},
        {"40 bytes of 0xFF", Bytes(40, 0xFF), ""},
        {"far off the screen", LittleEndianInts({5, 0, 50, ZOOM_PERCENT, 1, 100, 0, 0, 1, 0}), "/30000:30000:50"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteSettingsFile("wndset.def", c.settings));
        ASSERT_TRUE(CreateFrame());
        OpenPath(path + c.suffix);
        const RECT rc = WindowRectOf(m_pFrame->m_hWnd);
        EXPECT_GE(rc.right - rc.left, 16);
        EXPECT_GE(rc.bottom - rc.top, 16);
        RECT screen = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        RECT shown = {};
        EXPECT_TRUE(::IntersectRect(&shown, &rc, &screen));
        EXPECT_GE(shown.right - shown.left, 16);
        EXPECT_GE(shown.bottom - shown.top, 16);
        DestroyFrame();
    }
}
