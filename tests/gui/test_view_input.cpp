// Drops, mouse gestures, the context menu, Help: what the view and the frame
// do with the user's input. New processes are recorded, not started.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "GuiHarness.h"
#include "MessageLog.h"
#include "AfxGlobals.h"
#include "CWinApp.h"
#include "support/MessageBoxCapture.h"

namespace {

// A drop handle as the shell makes it: DROPFILES and a double-NUL list.
HDROP MakeDrop(const std::vector<std::string>& paths)
{
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& p : paths)
        size += p.size() + 1;
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(h));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char* list = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
    for (const std::string& p : paths) {
        memcpy(list, p.c_str(), p.size() + 1);
        list += p.size() + 1;
    }
    ::GlobalUnlock(h);
    return static_cast<HDROP>(h);
}

uint32_t Pattern(int x, int y)
{
    return AsymmetricPixel(x, y, 300, 200);
}

// Reads the popup menu that a modal TrackPopupMenu shows, then closes it.
struct PopupProbe {
    static PopupProbe* current;
    HWND hOwner = nullptr;
    HMENU hMenu = nullptr;
    RECT rect = {};
    std::vector<std::string> texts;
    std::vector<UINT> checked;
    int ticks = 0;

    static void CALLBACK Timer(HWND, UINT, UINT_PTR id, DWORD)
    {
        PopupProbe* self = current;
        if (!self || ++self->ticks < 3)
            return;
        HWND hPopup = ::FindWindowA("#32768", nullptr);
        if (hPopup && ::IsWindowVisible(hPopup)) {
            self->hMenu = reinterpret_cast<HMENU>(::SendMessageA(hPopup, 0x01E1 /* MN_GETHMENU */, 0, 0));
            ::GetWindowRect(hPopup, &self->rect);
            for (int i = 0; self->hMenu && i < ::GetMenuItemCount(self->hMenu); ++i) {
                self->texts.push_back(MenuTextOf(self->hMenu, static_cast<UINT>(i), MF_BYPOSITION));
                if (::GetMenuState(self->hMenu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED)
                    self->checked.push_back(::GetMenuItemID(self->hMenu, i));
            }
        }
        ::PostMessageA(self->hOwner, WM_CANCELMODE, 0, 0);
        ::KillTimer(nullptr, id);
    }
};
PopupProbe* PopupProbe::current = nullptr;

bool Contains(const std::vector<std::string>& texts, const std::string& prefix)
{
    for (const std::string& t : texts)
        if (t.rfind(prefix, 0) == 0)
            return true;
    return false;
}

} // namespace

class InputTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(CreateFrame());
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
            m_images.push_back(m_folder.File(name));
            ASSERT_TRUE(WriteBmp(m_images.back(), 300, 200, Pattern));
        }
    }
    // Drops the paths on the view; returns whether the handle was freed.
    bool Drop(const std::vector<std::string>& paths)
    {
        HDROP h = MakeDrop(paths);
        View().SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(h));
        PumpMessages();
        return ::GlobalSize(h) == 0;
    }
    // Runs fn, which opens a popup menu, and reads the popup while it is up.
    PopupProbe ProbePopup(const std::function<void()>& fn)
    {
        PopupProbe probe;
        probe.hOwner = m_pFrame->m_hWnd;
        PopupProbe::current = &probe;
        UINT_PTR timer = ::SetTimer(nullptr, 0, 40, &PopupProbe::Timer);
        fn();
        ::KillTimer(nullptr, timer);
        PopupProbe::current = nullptr;
        PumpMessages();
        return probe;
    }
    LaunchRecorder m_launches;
    TempFolder m_folder{"input"};
    std::vector<std::string> m_images;
};

TEST_F(InputTest, OneDroppedFileReplacesTheImageHereAndTheDropIsReleased)
{
    OpenPath(m_images[0]);
    std::string wide = m_folder.File("wide.bmp");
    ASSERT_TRUE(WriteBmp(wide, 360, 180, Pattern));
    EXPECT_TRUE(Drop({wide}));
    EXPECT_EQ(std::string(View().m_strPath), wide);
    EXPECT_EQ(ClientSizeOf(View().m_hWnd).cx, 360) << "the frame was fitted";
    EXPECT_EQ(ClientSizeOf(View().m_hWnd).cy, 180);
    EXPECT_TRUE(m_launches.Launches().empty());
}

TEST_F(InputTest, OneFileDroppedWithShiftOpensInANewProcess)
{
    OpenPath(m_images[0]);
    {
        HeldKeyState shift(VK_SHIFT);
        EXPECT_TRUE(Drop({m_images[1]}));
    }
    EXPECT_EQ(std::string(View().m_strPath), m_images[0]);
    ASSERT_EQ(m_launches.Launches().size(), 1u);
    EXPECT_EQ(m_launches.Launches()[0].parameters, m_images[1]);
    EXPECT_EQ(m_launches.Launches()[0].file, ModuleFolder() + "\\kep_gui_tests.exe");
    EXPECT_EQ(m_launches.Launches()[0].directory, ModuleFolder());
    EXPECT_EQ(m_launches.Launches()[0].mask, static_cast<ULONG>(SEE_MASK_FLAG_NO_UI));
}

TEST_F(InputTest, SeveralFilesOnAnEmptyWindowShowTheFirstAndStartTheRest)
{
    {
        HeldKeyState shift(VK_SHIFT); // plays no part in a drop of several items
        EXPECT_TRUE(Drop(m_images));
    }
    EXPECT_EQ(std::string(View().m_strPath), m_images[0]);
    ASSERT_EQ(m_launches.Launches().size(), 2u);
    EXPECT_EQ(m_launches.Launches()[0].parameters, m_images[1]);
    EXPECT_EQ(m_launches.Launches()[1].parameters, m_images[2]);
}

TEST_F(InputTest, SeveralFilesOnAShowingWindowAllStartProcesses)
{
    std::string shown = m_folder.File("shown.bmp");
    ASSERT_TRUE(WriteBmp(shown, 300, 200, Pattern));
    OpenPath(shown);
    EXPECT_TRUE(Drop(m_images));
    EXPECT_EQ(std::string(View().m_strPath), shown);
    ASSERT_EQ(m_launches.Launches().size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(m_launches.Launches()[i].parameters, m_images[i]);
}

TEST_F(InputTest, AFolderFirstIsSkippedAndTheWindowStaysEmpty)
{
    EXPECT_TRUE(Drop({m_folder.Path(), m_images[0], m_images[1]}));
    EXPECT_EQ(View().m_pImage, nullptr);
    ASSERT_EQ(m_launches.Launches().size(), 2u);
    EXPECT_EQ(m_launches.Launches()[0].parameters, m_images[0]);
    EXPECT_EQ(m_launches.Launches()[1].parameters, m_images[1]);
}

TEST_F(InputTest, ASingleDroppedFolderIsReportedAsUnopenable)
{
    MessageBoxCapture capture;
    EXPECT_TRUE(Drop({m_folder.Path()}));
    ASSERT_EQ(capture.Count(), 1u);
    EXPECT_EQ(capture.Boxes()[0].text, "ファイルがオープンできません");
}

TEST_F(InputTest, PathsWithABlankAreQuotedForTheNewProcess)
{
    OpenPath(m_images[0]);
    std::string blank = m_folder.File("with blank.bmp");
    ASSERT_TRUE(WriteBmp(blank, 300, 200, Pattern));
    EXPECT_TRUE(Drop({blank, m_images[1]}));
    ASSERT_EQ(m_launches.Launches().size(), 2u);
    EXPECT_EQ(m_launches.Launches()[0].parameters, "\"" + blank + "\"");
    EXPECT_EQ(m_launches.Launches()[1].parameters, m_images[1]);
    View().OpenInNewInstance(("\"" + blank + "\"").c_str());
    EXPECT_EQ(m_launches.Launches().back().parameters, "\"" + blank + "\"") << "a quoted path is passed unchanged";
}

TEST_F(InputTest, LeftPressWithShiftPostsStartAndFramelessPressDragsTheWindow)
{
    OpenPath(m_images[0]);
    {
        MessageLog log;
        {
            HeldKeyState shift(VK_SHIFT);
            View().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(10, 20));
        }
        View().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 20));
        PumpMessages();
        std::vector<MessageLog::Entry> posted = log.PostedTo(m_pFrame->m_hWnd);
        ASSERT_FALSE(posted.empty());
        EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_COMMAND));
        EXPECT_EQ(posted[0].wParam, static_cast<WPARAM>(ID_START));
    }
    {
        MessageLog log;
        View().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
        View().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 20));
        PumpMessages();
        // The pulse the first press started ticks meanwhile; nothing else may come.
        size_t others = 0;
        for (const MessageLog::Entry& e : log.PostedTo(m_pFrame->m_hWnd))
            others += e.message != WM_TIMER;
        EXPECT_EQ(others, 0u) << "framed: a press does nothing";
    }
    Command(ID_HIDE_FRAME);
    {
        View().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
        // Taking the posted message off the queue before the system acts on it.
        MSG msg;
        ASSERT_TRUE(::PeekMessageA(&msg, m_pFrame->m_hWnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
        EXPECT_EQ(msg.wParam, static_cast<WPARAM>(HTCAPTION));
        EXPECT_EQ(msg.lParam, MAKELPARAM(10, 20));
    }
}

TEST_F(InputTest, DoubleClickClosesTheWindow)
{
    OpenPath(m_images[0]);
    HWND hFrame = m_pFrame->m_hWnd;
    View().SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    PumpMessages();
    EXPECT_FALSE(::IsWindow(hFrame));
    m_pFrame = nullptr;
}

TEST_F(InputTest, RightButtonOpensTheOperationsMenuWithTheMenuBarsMarks)
{
    OpenPath(m_images[0]);
    Command(ID_TOPMOST);
    RECT view = WindowRectOf(View().m_hWnd);
    ::SetCursorPos(view.left + 40, view.top + 30);
    PopupProbe probe = ProbePopup([&] { View().SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, 30)); });
    ASSERT_EQ(probe.hMenu, ::GetSubMenu(m_pFrame->m_wndMenuBar.m_menu, 0)) << "popup 0 of the menu bar's menu";
    EXPECT_FALSE(Contains(probe.texts, "開始")) << "the start item is not in it";
    EXPECT_TRUE(Contains(probe.texts, "最上位に表示"));
    EXPECT_NE(std::find(probe.checked.begin(), probe.checked.end(), static_cast<UINT>(ID_TOPMOST)),
              probe.checked.end());
    EXPECT_NEAR(probe.rect.left, view.left + 40, 2);
    EXPECT_NEAR(probe.rect.top, view.top + 30, 2);
    Command(ID_TOPMOST);
}

TEST_F(InputTest, CtrlROutsideTheWindowOpensTheMenuAtTheCentre)
{
    OpenPath(m_images[0]);
    RECT frame = WindowRectOf(m_pFrame->m_hWnd);
    ::SetCursorPos(frame.right + 50, frame.bottom + 50);
    PopupProbe probe = ProbePopup([&] {
        MSG msg = {View().m_hWnd, WM_KEYDOWN, 'R', 0x00130001, 0, {0, 0}};
        HeldKeyState ctrl(VK_CONTROL);
        AfxGetApp()->PreTranslateMessage(&msg);
    });
    ASSERT_NE(probe.hMenu, nullptr);
    EXPECT_NEAR(probe.rect.left, (frame.left + frame.right) / 2, 2);
    EXPECT_NEAR(probe.rect.top, (frame.top + frame.bottom) / 2, 2);
}

TEST_F(InputTest, ContextMenuKeyWorksOnlyWhileFrameless)
{
    OpenPath(m_images[0]);
    PopupProbe framed =
        ProbePopup([&] { m_pFrame->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_pFrame->m_hWnd), -1); });
    EXPECT_EQ(framed.hMenu, nullptr);
    Command(ID_HIDE_FRAME);
    RECT frame = WindowRectOf(m_pFrame->m_hWnd);
    PopupProbe frameless =
        ProbePopup([&] { m_pFrame->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_pFrame->m_hWnd), -1); });
    ASSERT_NE(frameless.hMenu, nullptr);
    EXPECT_NEAR(frameless.rect.left, (frame.left + frame.right) / 2, 2);
    EXPECT_NEAR(frameless.rect.top, (frame.top + frame.bottom) / 2, 2);
}

namespace {

// Passes the help command's request on to the shell with the help file made
// missing (the build lays a real one beside the program).
std::string s_missingHelp;
int s_nHelpRequests = 0;
BOOL s_bHelpOpened = TRUE;

BOOL WINAPI ShellExecuteWithoutHelpFile(SHELLEXECUTEINFOA* pInfo)
{
    ++s_nHelpRequests;
    pInfo->lpFile = s_missingHelp.c_str();
    s_bHelpOpened = ::ShellExecuteExA(pInfo);
    return s_bHelpOpened;
}

} // namespace

TEST_F(InputTest, HelpWithoutTheHelpFileShowsNothing)
{
    TempFolder folder("help");
    s_missingHelp = folder.File("kep.chm");
    s_nHelpRequests = 0;
    ASSERT_FALSE(FileExists(s_missingHelp));
    MessageBoxCapture capture;
    EXPECT_TRUE(IsCommandEnabled(ID_HELP_FILE));
    CMainFrame::s_pfnShellExecuteEx = &ShellExecuteWithoutHelpFile;
    Command(ID_HELP_FILE);
    CMainFrame::s_pfnShellExecuteEx = &::ShellExecuteExA;
    PumpMessages(300);
    EXPECT_EQ(s_nHelpRequests, 1);
    EXPECT_FALSE(s_bHelpOpened);
    EXPECT_EQ(capture.Count(), 0u);
    EXPECT_EQ(::FindWindowA("#32770", nullptr), nullptr);
}
