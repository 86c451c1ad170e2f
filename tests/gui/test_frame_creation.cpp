// The frame as creation leaves it: class, size, children, bars, menu.
#include <windows.h>
#include <commctrl.h>

#include "GuiHarness.h"
#include "AfxGlobals.h"
#include "CWinApp.h"
#include "res/resource.h"
#include "support/MessageBoxCapture.h"

namespace {

bool MenuHasCommand(HMENU hMenu, UINT nID)
{
    for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i) {
        if (::GetMenuItemID(hMenu, i) == nID)
            return true;
        if (HMENU hSub = ::GetSubMenu(hMenu, i))
            if (MenuHasCommand(hSub, nID))
                return true;
    }
    return false;
}

// The id of the item whose text starts with prefix in hMenu, searched deeply.
UINT FindMenuCommand(HMENU hMenu, const std::string& prefix)
{
    for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i) {
        if (HMENU hSub = ::GetSubMenu(hMenu, i)) {
            if (UINT id = FindMenuCommand(hSub, prefix))
                return id;
        } else if (MenuTextOf(hMenu, static_cast<UINT>(i), MF_BYPOSITION).rfind(prefix, 0) == 0) {
            return ::GetMenuItemID(hMenu, i);
        }
    }
    return 0;
}

} // namespace

TEST_F(FrameTest, CreatesClassSizeTitleAndChildren)
{
    ASSERT_TRUE(CreateFrame());
    HWND hFrame = m_pFrame->m_hWnd;
    EXPECT_EQ(ClassNameOf(hFrame), "KEPClass");
    EXPECT_EQ(WindowTextOf(hFrame), "KEP");
    RECT rc = WindowRectOf(hFrame);
    EXPECT_EQ(rc.right - rc.left, 300);
    EXPECT_EQ(rc.bottom - rc.top, 300);
    EXPECT_EQ(::GetMenu(hFrame), nullptr) << "the frame has no window menu of its own";
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrA(hFrame, GWL_EXSTYLE)) & WS_EX_CLIENTEDGE, 0u);
    EXPECT_NE(::SendMessageA(hFrame, WM_GETICON, ICON_SMALL, 0), 0);

    HWND hView = ::GetDlgItem(hFrame, AFX_IDW_PANE_FIRST);
    ASSERT_EQ(hView, View().m_hWnd);
    DWORD viewStyle = static_cast<DWORD>(::GetWindowLongPtrA(hView, GWL_STYLE));
    DWORD viewExStyle = static_cast<DWORD>(::GetWindowLongPtrA(hView, GWL_EXSTYLE));
    EXPECT_EQ(viewStyle & WS_BORDER, 0u);
    EXPECT_NE(viewExStyle & WS_EX_ACCEPTFILES, 0u);
    EXPECT_EQ(::GetClassLongPtrA(hView, GCL_STYLE) & 0xFFFF,
              static_cast<ULONG_PTR>(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW));

    // Rebar on top, view in the middle, status bar at the bottom, edge to edge.
    HWND hReBar = ::GetDlgItem(hFrame, AFX_IDW_REBAR);
    HWND hStatus = ::GetDlgItem(hFrame, AFX_IDW_STATUS_BAR);
    ASSERT_TRUE(hReBar && hStatus);
    EXPECT_EQ(ClassNameOf(hReBar), REBARCLASSNAMEA);
    EXPECT_EQ(ClassNameOf(hStatus), STATUSCLASSNAMEA);
    RECT rcReBar = WindowRectOf(hReBar), rcView = WindowRectOf(hView), rcStatus = WindowRectOf(hStatus);
    RECT rcClient = ClientRectOf(hFrame);
    EXPECT_GT(rcReBar.bottom, rcReBar.top);
    EXPECT_EQ(rcView.top, rcReBar.bottom);
    EXPECT_EQ(rcStatus.top, rcView.bottom);
    EXPECT_EQ(rcView.right - rcView.left, rcClient.right);
    EXPECT_EQ((rcReBar.bottom - rcReBar.top) + (rcView.bottom - rcView.top) + (rcStatus.bottom - rcStatus.top),
              rcClient.bottom);
}

TEST_F(FrameTest, MenuBarIsTheOneBandOfTheRebar)
{
    ASSERT_TRUE(CreateFrame());
    CMenuBarCtrl& bar = m_pFrame->m_wndMenuBar;
    EXPECT_EQ(bar.GetDlgCtrlID(), ID_MENUBAR);
    ASSERT_EQ(bar.GetButtonCount(), 3);
    const char* expected[] = {"操作(&O)", "表示(&V)", "ヘルプ(&H)"};
    for (int i = 0; i < 3; ++i) {
        CString text;
        ASSERT_TRUE(bar.GetButtonText(i, text));
        EXPECT_EQ(std::string(text), expected[i]) << "button " << i;
    }
    ASSERT_EQ(m_pFrame->m_wndReBar.GetBandCount(), 1u);
    EXPECT_EQ(m_pFrame->m_wndReBar.GetBandPos(&bar), 0u);
    REBARBANDINFOA band = {};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_STYLE | RBBIM_IDEALSIZE;
    ASSERT_TRUE(m_pFrame->m_wndReBar.SendMessage(RB_GETBANDINFOA, 0, reinterpret_cast<LPARAM>(&band)));
    EXPECT_EQ(band.fStyle & (RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS | RBBS_USECHEVRON | RBBS_BREAK),
              static_cast<UINT>(RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS | RBBS_USECHEVRON | RBBS_BREAK));
    RECT first, last;
    bar.GetItemRect(0, &first);
    bar.GetItemRect(2, &last);
    EXPECT_EQ(band.cxIdeal, static_cast<UINT>(last.right - first.left));
}

TEST_F(FrameTest, StartItemIsRemovedFromTheMenuButStaysACommand)
{
    ASSERT_TRUE(CreateFrame());
    HMENU hMenu = m_pFrame->m_wndMenuBar.m_menu;
    EXPECT_FALSE(MenuHasCommand(hMenu, ID_START));
    EXPECT_TRUE(MenuHasCommand(hMenu, ID_CLOSE_ALL));
    // The menu resource itself still has it.
    CMenu original;
    ASSERT_TRUE(original.LoadMenu(IDR_MAINFRAME));
    EXPECT_TRUE(MenuHasCommand(original, ID_START));
    EXPECT_EQ(FindMenuCommand(original, "開始"), static_cast<UINT>(ID_START));
}

TEST_F(FrameTest, StatusBarHasFiveIndicatorPanes)
{
    ASSERT_TRUE(CreateFrame());
    CStatusBar& bar = m_pFrame->m_wndStatusBar;
    ASSERT_EQ(bar.GetCount(), 5);
    const UINT ids[] = {ID_SEPARATOR, ID_INDICATOR_KANA, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(bar.GetItemID(i), ids[i]) << "pane " << i;
    EXPECT_EQ(bar.SendMessage(SB_GETPARTS, 0, 0), 5);
    EXPECT_TRUE(bar.IsWindowVisible());
}

TEST_F(FrameTest, CommandsWithoutHandlersAreDisabledOthersFollowTheirRules)
{
    ASSERT_TRUE(CreateFrame());
    // Exit and about have handlers (the application's); rotate needs an image.
    EXPECT_TRUE(IsCommandEnabled(ID_APP_EXIT));
    EXPECT_FALSE(IsCommandEnabled(ID_ROTATE_RIGHT));
    EXPECT_FALSE(IsCommandEnabled(ID_FLIP_VERTICAL));
    // A command no handler claims is disabled, in the popup too.
    const UINT kUnhandled = 32990;
    EXPECT_FALSE(IsCommandEnabled(kUnhandled));

    HMENU hOperations = ::GetSubMenu(m_pFrame->m_wndMenuBar.m_menu, 0);
    ASSERT_TRUE(::AppendMenuA(hOperations, MF_STRING, kUnhandled, "unhandled"));
    m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hOperations), 0);
    EXPECT_TRUE(::GetMenuState(hOperations, kUnhandled, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(::GetMenuState(hOperations, ID_APP_EXIT, MF_BYCOMMAND) & MF_GRAYED);
    ::DeleteMenu(hOperations, kUnhandled, MF_BYCOMMAND);

    // A disabled command that is posted anyway does nothing.
    m_pFrame->SendMessage(WM_COMMAND, ID_ROTATE_RIGHT);
    EXPECT_EQ(View().m_nRotation, 0);
}

TEST_F(FrameTest, AcceleratorCtrlXClosesTheFrame)
{
    ASSERT_TRUE(CreateFrame());
    HWND hFrame = m_pFrame->m_hWnd;
    ::SetForegroundWindow(hFrame);
    ::SetFocus(View().m_hWnd);
    MSG msg = {View().m_hWnd, WM_KEYDOWN, 'X', 0x002D0001, 0, {0, 0}};
    BOOL translated = FALSE;
    {
        HeldKeyState ctrl(VK_CONTROL);
        translated = AfxGetApp()->PreTranslateMessage(&msg);
    }
    EXPECT_TRUE(translated);
    PumpMessages();
    EXPECT_FALSE(::IsWindow(hFrame));
    m_pFrame = nullptr;
}

TEST_F(FrameTest, FocusGoesToTheView)
{
    ASSERT_TRUE(CreateFrame());
    ::SetFocus(m_pFrame->m_hWnd);
    PumpMessages();
    EXPECT_EQ(::GetFocus(), View().m_hWnd);
}
