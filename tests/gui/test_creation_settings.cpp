// The stored look applied at creation.
#include "GuiHarness.h"
#include "SettingsFile.h"

TEST_F(FrameTest, CreationAppliesTheStoredLook)
{
    // frameless, zoom 50 in mode 1, status bar hidden, 40% opacity, topmost.
    WriteSettingsInts({5, 1, 50, 1, 0, 40, 1, 0, 1, 0});
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
    const std::string folderNamedLikeTheFile = SettingsFolderPath() + "\\wndset.def";
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
