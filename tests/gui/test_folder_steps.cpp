// Beyond the menu: the step keys and side buttons go through the pictures of
// the shown picture's folder, the wheel steps the zoom and translucency
// items, and dropped names outside the code page open by their short form.
#include <windows.h>
#include <shlobj.h>

#include <cstring>

#include "GuiHarness.h"
#include "framework/AnsiPath.h"
#include "history/HistoryList.h"
#include "support/MessageBoxCapture.h"

namespace {

uint32_t Grey(int, int)
{
    return 0x808080;
}

// A drop handle with the paths in UTF-16, as the shell makes it today.
HDROP MakeWideDrop(const std::wstring& path)
{
    const size_t size = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(h));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
    ::GlobalUnlock(h);
    return static_cast<HDROP>(h);
}

} // namespace

class StepTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(CreateFrame());
        // Names that sort wrongly as plain text; widths tell the pictures apart.
        const struct {
            const char* name;
            int width;
        } pictures[] = {{"img1.bmp", 200}, {"img2.bmp", 210}, {"img9.bmp", 220}, {"IMG10.BMP", 230}};
        for (const auto& p : pictures)
            ASSERT_TRUE(WriteBmp(m_folder.File(p.name), p.width, 160, Grey));
        ASSERT_TRUE(WriteText(m_folder.File("img3.bmp"), "not a picture"));
        // A picture, but of a type the File Open filter does not list.
        ASSERT_TRUE(WriteBmp(m_folder.File("img5.txt"), 240, 160, Grey));
    }
    // A key pressed at the picture: it goes through the message loop's
    // translation, as typed keys do.
    void Key(WPARAM vk, UINT message = WM_KEYDOWN)
    {
        View().PostMessage(message, vk, 0);
        PumpMessages();
        AwaitStep();
    }
    std::string Title() { return WindowTextOf(m_pFrame->m_hWnd); }
    std::string Shows(const std::string& name) { return "KEP - " + m_folder.File(name); }

    TempFolder m_folder{"steps"};
};

TEST_F(StepTest, KeysGoInNaturalOrderWrapAroundSkipABrokenFileAndLeaveTheHistory)
{
    OpenPath(m_folder.File("img9.bmp"));
    ASSERT_EQ(Title(), Shows("img9.bmp"));
    MessageBoxCapture capture;
    const struct {
        WPARAM vk;
        const char* shows; // null: the broken file, reported and left empty
    } steps[] = {
        {VK_RIGHT, "IMG10.BMP"}, {VK_SPACE, "img1.bmp"}, {VK_DOWN, "img2.bmp"},  {VK_NEXT, nullptr},
        {VK_RIGHT, "img9.bmp"},  {VK_END, "IMG10.BMP"},  {VK_HOME, "img1.bmp"},  {VK_LEFT, "IMG10.BMP"},
        {VK_UP, "img9.bmp"},     {VK_BACK, nullptr},     {VK_PRIOR, "img2.bmp"},
    };
    size_t boxes = 0;
    for (const auto& s : steps) {
        SCOPED_TRACE(s.shows ? s.shows : "img3.bmp (broken)");
        Key(s.vk);
        if (s.shows) {
            EXPECT_EQ(Title(), Shows(s.shows));
            EXPECT_NE(View().m_pImage, nullptr);
        } else {
            EXPECT_EQ(Title(), "KEP");
            EXPECT_EQ(View().m_pImage, nullptr);
            ASSERT_EQ(capture.Count(), ++boxes);
            EXPECT_EQ(capture.Boxes().back().text, "未対応のフォーマットです");
        }
    }
    EXPECT_EQ(capture.Count(), boxes);
    // Loaded as File Open loads: the window fits the picture.
    EXPECT_EQ(ClientSizeOf(View().m_hWnd).cx, 210);

    // The side buttons: back and forward.
    View().SendMessage(WM_XBUTTONUP, MAKEWPARAM(0, XBUTTON1), 0);
    AwaitStep();
    EXPECT_EQ(Title(), Shows("img1.bmp"));
    View().SendMessage(WM_XBUTTONUP, MAKEWPARAM(0, XBUTTON2), 0);
    AwaitStep();
    EXPECT_EQ(Title(), Shows("img2.bmp"));

    HistoryList history;
    ASSERT_TRUE(history.Load());
    ASSERT_EQ(history.m_paths.size(), 1u) << "only the picture that was opened";
    EXPECT_EQ(std::string(history.m_paths[0]), m_folder.File("img9.bmp"));
}

// A failed load empties the view and the status line before its message
// shows, and the step keys go on from the failed file's place in its folder,
// also in a window that never showed a picture.
TEST_F(StepTest, AFailedLoadEmptiesViewAndStatusAndTheStepsGoOnFromIt)
{
    const struct {
        const char* how;
        const char* from; // shown first, then Right; null: opened in a new window
        const char* name; // img3.bmp is broken; img4.bmp does not exist
        const char* text;
    } cases[] = {{"stepped to", "img2.bmp", "img3.bmp", "未対応のフォーマットです"},
                 {"opened", nullptr, "img3.bmp", "未対応のフォーマットです"},
                 {"opened", nullptr, "img4.bmp", "ファイルがオープンできません"}};
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    const uint32_t empty = (GetRValue(window) << 16) | (GetGValue(window) << 8) | GetBValue(window);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.how);
        DestroyFrame();
        ASSERT_TRUE(CreateFrame());
        MessageBoxCapture capture;
        uint32_t centreSeen = 0;
        std::string statusSeen;
        capture.SetMessageBoxObserver([&](const MessageBoxCapture::Box&) {
            const Capture shot = CaptureClient(View().m_hWnd);
            centreSeen = shot.At(shot.width / 2, shot.height / 2);
            statusSeen = m_pFrame->m_wndStatusBar.GetPaneText(0).GetString();
        });
        if (c.from) {
            OpenPath(m_folder.File(c.from));
            ASSERT_EQ(Title(), Shows(c.from));
            Key(VK_RIGHT);
        } else {
            OpenPath(m_folder.File(c.name));
        }
        EXPECT_EQ(Title(), "KEP");
        ASSERT_EQ(capture.Count(), 1u);
        EXPECT_EQ(capture.Boxes()[0].text, c.text);
        EXPECT_EQ(centreSeen, empty) << "the view was empty under the message";
        EXPECT_EQ(statusSeen, "KEP");
        EXPECT_EQ(std::string(m_pFrame->m_wndStatusBar.GetPaneText(0).GetString()), "KEP");
        EXPECT_TRUE(IsCommandEnabled(ID_STEP_NEXT));
        Key(VK_RIGHT);
        EXPECT_EQ(Title(), Shows("img9.bmp"));
    }
}

// A retry that waits for the history file adds the picture that was opened,
// not the one stepped to meanwhile.
TEST_F(StepTest, AWaitingHistoryRetryAddsTheOpenedPictureNotTheSteppedOne)
{
    HistoryList empty;
    ASSERT_TRUE(empty.Save());
    HANDLE hHeld = ::CreateFileA(HistoryList::GetFilePath(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
    OpenPath(m_folder.File("img9.bmp"));
    Key(VK_RIGHT);
    ASSERT_EQ(Title(), Shows("IMG10.BMP"));
    ::CloseHandle(hHeld);
    HistoryList history;
    EXPECT_TRUE(PumpUntil([&] { return history.Load() && !history.m_paths.empty(); }, 3000));
    ASSERT_EQ(history.m_paths.size(), 1u);
    EXPECT_EQ(std::string(history.m_paths[0]), m_folder.File("img9.bmp"));
}

TEST_F(StepTest, TheMenuBarsKeyboardModeAndModifiersKeepTheirKeys)
{
    OpenPath(m_folder.File("img9.bmp"));
    CMenuBarCtrl& bar = m_pFrame->m_wndMenuBar;
    // Alt: keyboard mode, in which Right moves the highlight and Home ends the mode.
    Key(VK_MENU, WM_SYSKEYDOWN);
    Key(VK_MENU, WM_SYSKEYUP);
    ASSERT_EQ(bar.m_iTrackingState, CMenuBarCtrl::TRACK_BUTTON);
    Key(VK_RIGHT);
    EXPECT_EQ(bar.GetHotItem(), 1);
    Key(VK_HOME);
    EXPECT_EQ(bar.m_iTrackingState, CMenuBarCtrl::TRACK_NOTHING);
    EXPECT_EQ(Title(), Shows("img9.bmp")) << "a key of the keyboard mode stepped";

    for (BYTE modifier : {VK_CONTROL, VK_SHIFT}) {
        {
            HeldKeyState held(modifier);
            Key(VK_RIGHT);
        }
        EXPECT_EQ(Title(), Shows("img9.bmp")) << "stepped with modifier " << static_cast<int>(modifier);
    }
    Key(VK_HOME);
    EXPECT_EQ(Title(), Shows("img1.bmp"));
}

TEST_F(StepTest, TheOnlyPictureOfItsFolderAndAnEmptyWindowGoNowhere)
{
    EXPECT_FALSE(IsCommandEnabled(ID_STEP_NEXT)) << "nothing shown, nothing stepped to";
    TempFolder lone{"steps_lone"};
    ASSERT_TRUE(WriteBmp(lone.File("only.png.bmp"), 200, 160, Grey));
    OpenPath(lone.File("only.png.bmp"));
    EXPECT_TRUE(IsCommandEnabled(ID_STEP_NEXT));
    MessageBoxCapture capture;
    Key(VK_RIGHT);
    Key(VK_END);
    EXPECT_EQ(Title(), "KEP - " + lone.File("only.png.bmp"));
    EXPECT_EQ(capture.Count(), 0u);
}

TEST_F(StepTest, WheelStepsTheZoomItemsOutOfTheFreeAndFixedModesAndCtrlTheTranslucency)
{
    ASSERT_TRUE(WriteBmp(m_folder.File("wide.bmp"), 400, 300, Grey));
    OpenPath(m_folder.File("wide.bmp"));
    ASSERT_EQ(View().m_settings.m_nZoomMode, ZOOM_ANY);
    auto wheel = [&](int delta, UINT keys = 0) {
        View().SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(static_cast<short>(delta))), 0);
        PumpMessages();
    };
    const struct {
        int delta;
        int percent;
    } steps[] = {{-WHEEL_DELTA, 90},     {-60, 90},         {-60, 80}, {WHEEL_DELTA, 90},
                 {2 * WHEEL_DELTA, 100}, {WHEEL_DELTA, 100}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.delta);
        wheel(s.delta);
        EXPECT_EQ(ClientSizeOf(View().m_hWnd).cy, 300 * s.percent / 100);
        std::vector<int> stored = ReadSettingsInts();
        ASSERT_EQ(stored.size(), 10u);
        EXPECT_EQ(stored[kZoomMode], ZOOM_PERCENT);
        EXPECT_EQ(stored[kZoomValue], s.percent);
    }
    EXPECT_FALSE(::GetWindowLongPtrA(m_pFrame->m_hWnd, GWL_STYLE) & WS_THICKFRAME) << "refitted as the zoom items do";

    // A fixed width of 100 pixels shows 25 %: forward goes to 30 %.
    SetZoom(ZOOM_FIX_WIDTH, 100);
    m_pFrame->RefreshFrameStyle();
    wheel(WHEEL_DELTA);
    EXPECT_EQ(ClientSizeOf(View().m_hWnd).cy, 90);
    EXPECT_EQ(View().m_settings.m_nZoomMode, ZOOM_PERCENT);

    wheel(-WHEEL_DELTA, MK_CONTROL);
    EXPECT_EQ(View().m_settings.m_nAlpha, 90);
    EXPECT_EQ(ReadSettingsInts()[kAlpha], 90);
    EXPECT_TRUE(::GetWindowLongPtrA(m_pFrame->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(View().m_settings.m_nZoomValue, 30) << "Ctrl leaves the zoom alone";
    wheel(WHEEL_DELTA, MK_CONTROL);
    EXPECT_EQ(View().m_settings.m_nAlpha, 100);
    EXPECT_FALSE(::GetWindowLongPtrA(m_pFrame->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(StepTest, ADroppedNameOutsideTheCodePageOpensByItsShortFormOrIsReported)
{
    const std::wstring folder = AnsiToWide(m_folder.Path());
    const std::wstring wide = folder + L"\\caf\u00e9.bmp";
    ASSERT_TRUE(WriteBmp(m_folder.File("plain.bmp"), 250, 160, Grey));
    ASSERT_TRUE(::MoveFileW(AnsiToWide(m_folder.File("plain.bmp")).c_str(), wide.c_str()));
    const std::string shortPath = AnsiPathForWide(wide);
    ASSERT_EQ(shortPath.find('?'), std::string::npos) << shortPath;

    View().SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeWideDrop(wide)));
    PumpMessages();
    EXPECT_EQ(Title(), "KEP - " + shortPath);
    EXPECT_EQ(ClientSizeOf(View().m_hWnd).cx, 250);

    MessageBoxCapture capture;
    View().SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeWideDrop(folder + L"\\gone\u00e9.bmp")));
    PumpMessages();
    EXPECT_EQ(Title(), "KEP");
    ASSERT_EQ(capture.Count(), 1u);
    EXPECT_EQ(capture.Boxes()[0].text, "ファイルがオープンできません");
    ::DeleteFileW(wide.c_str());
}
