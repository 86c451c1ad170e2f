// The rebar around the menu bar: the chevron menu of hidden menus pushed with
// a real click in a narrowed window, its commands, the band lookup, the
// right click and the layout notifications.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "GuiHarness.h"
#include "MenuInput.h"
#include "MessageLog.h"

class ReBarTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(CreateFrame());
        PrepareForInput(m_pFrame->m_hWnd, View().m_hWnd);
    }

    CMyReBar& ReBar() { return m_pFrame->m_wndReBar; }
    CMenuBarCtrl& Bar() { return m_pFrame->m_wndMenuBar; }
    HMENU Popup(int i) { return ::GetSubMenu(Bar().m_menu, i); }
    DWORD Thread() { return ::GetCurrentThreadId(); }
    RECT ButtonRect(int i)
    {
        RECT rc = {};
        Bar().GetItemRect(i, &rc);
        return rc;
    }

    // Sizes the frame so that the band shows the menu bar up to x (its client
    // coordinates); returns the width reached.
    int NarrowBarTo(int x)
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            int shown = ClientRectOf(Bar().m_hWnd).right;
            if (shown == x)
                break;
            RECT rc = WindowRectOf(m_pFrame->m_hWnd);
            ::SetWindowPos(m_pFrame->m_hWnd, nullptr, 0, 0, rc.right - rc.left + x - shown, rc.bottom - rc.top,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            PumpMessages(30);
        }
        return ClientRectOf(Bar().m_hWnd).right;
    }
    // Between the menu bar's end and the band's end, where the chevron sits.
    POINT ChevronPoint()
    {
        RECT rcBand = {};
        ReBar().SendMessage(RB_GETRECT, 0, reinterpret_cast<LPARAM>(&rcBand));
        RECT rcBar = WindowRectOf(Bar().m_hWnd);
        ::MapWindowPoints(nullptr, ReBar().m_hWnd, reinterpret_cast<POINT*>(&rcBar), 2);
        POINT pt = {(rcBar.right + rcBand.right) / 2, (rcBand.top + rcBand.bottom) / 2};
        ReBar().ClientToScreen(&pt);
        return pt;
    }

    struct Item {
        std::string text;
        HMENU hSubMenu;
        bool operator==(const Item& o) const { return text == o.text && hSubMenu == o.hSubMenu; }
        friend void PrintTo(const Item& item, std::ostream* os) { *os << item.text << " -> " << item.hSubMenu; }
    };
    static std::vector<Item> ItemsOf(HMENU hMenu)
    {
        std::vector<Item> items;
        for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i) {
            items.push_back(Item{MenuTextOf(hMenu, static_cast<UINT>(i), MF_BYPOSITION), ::GetSubMenu(hMenu, i)});
        }
        return items;
    }
    // Pushes the chevron and returns the items of the menu it drops down.
    std::vector<Item> ChevronMenuItems()
    {
        std::vector<Item> items;
        DWORD thread = Thread();
        InputScript script(thread);
        script.Click(ChevronPoint())
            .WaitFor("chevron menu", [thread] { return OpenPopupMenus(thread).size() == 1; })
            .Do([&] { items = ItemsOf(OpenPopupMenus(thread)[0]); })
            .Key(VK_ESCAPE)
            .WaitForNoPopup("chevron menu closed");
        EXPECT_TRUE(script.Run()) << script.Failure();
        return items;
    }
};

TEST_F(ReBarTest, ChevronListsExactlyTheHiddenAndCutOffMenus)
{
    // Wide enough for all buttons: nothing drops down at the band's end.
    ASSERT_TRUE(ClickAt(ChevronPoint()));
    PumpMessages(300);
    EXPECT_TRUE(OpenPopupMenus(Thread()).empty());

    RECT rcView = ButtonRect(1);
    RECT rcHelp = ButtonRect(2);
    int middleOfHelp = (rcHelp.left + rcHelp.right) / 2;
    ASSERT_EQ(NarrowBarTo(middleOfHelp), middleOfHelp);
    EXPECT_EQ(ChevronMenuItems(), (std::vector<Item>{{"ヘルプ(&H)", Popup(2)}})) << "help cut in half";

    int middleOfView = (rcView.left + rcView.right) / 2;
    ASSERT_EQ(NarrowBarTo(middleOfView), middleOfView);
    EXPECT_EQ(ChevronMenuItems(), (std::vector<Item>{{"表示(&V)", Popup(1)}, {"ヘルプ(&H)", Popup(2)}}))
        << "view cut in half, help hidden";

    // The bar's popups were lent, not given away: all there and still working.
    ASSERT_EQ(::GetMenuItemCount(Bar().m_menu), 3);
    EXPECT_EQ(::GetMenuItemCount(Popup(1)), 1);
    EXPECT_EQ(::GetMenuItemCount(Popup(2)), 3);
    InputScript script(Thread());
    script.Do([] { TapChord(VK_MENU, 'H'); })
        .WaitForPopups("help popup from the bar", {Popup(2)})
        .Key(VK_ESCAPE)
        .WaitForNoPopup("closed");
    EXPECT_TRUE(script.Run()) << script.Failure();
}

TEST_F(ReBarTest, ChevronItemOpensTheButtonsPopupAndItsCommandRunsInTheFrame)
{
    RECT rcView = ButtonRect(1);
    ASSERT_EQ(NarrowBarTo((rcView.left + rcView.right) / 2), (rcView.left + rcView.right) / 2);
    ASSERT_TRUE(m_pFrame->m_wndStatusBar.IsWindowVisible());
    // The frame's update handler marks the item again as the popup opens.
    ::CheckMenuItem(Popup(1), ID_VIEW_STATUS_BAR, MF_BYCOMMAND | MF_UNCHECKED);

    MessageLog log;
    UINT checkWhileOpen = 0;
    DWORD thread = Thread();
    HMENU hView = Popup(1);
    InputScript script(thread);
    script.Click(ChevronPoint())
        .WaitFor("chevron menu", [thread] { return OpenPopupMenus(thread).size() == 1; })
        .Key(VK_DOWN)
        .Key(VK_RIGHT)
        .WaitFor("view popup cascading from the chevron menu",
                 [thread, hView] {
                     std::vector<HMENU> menus = OpenPopupMenus(thread);
                     return menus.size() == 2 && std::count(menus.begin(), menus.end(), hView) == 1;
                 })
        .Do([&] { checkWhileOpen = ::GetMenuState(hView, ID_VIEW_STATUS_BAR, MF_BYCOMMAND); })
        .Key(VK_RETURN)
        .WaitForNoPopup("command chosen");
    ASSERT_TRUE(script.Run()) << script.Failure();
    EXPECT_TRUE(checkWhileOpen & MF_CHECKED);

    EXPECT_TRUE(PumpUntil([&] { return !m_pFrame->m_wndStatusBar.IsWindowVisible(); }, kInputStepBudgetMs));
    int atFrame = 0;
    for (const MessageLog::Entry& e : log.Sent(WM_COMMAND))
        atFrame += e.hwnd == m_pFrame->m_hWnd && LOWORD(e.wParam) == ID_VIEW_STATUS_BAR;
    EXPECT_EQ(atFrame, 1);
}

TEST_F(ReBarTest, BandPositionOfAWindowInNoBandIsTheBandCount)
{
    EXPECT_EQ(ReBar().GetBandPos(&Bar()), 0u);
    EXPECT_EQ(ReBar().GetBandPos(&View()), 1u);
}

TEST_F(ReBarTest, RightClickBesideTheBandGoesToTheMainWindow)
{
    // The band's gripper: on the rebar, outside the menu bar.
    RECT rcBar = WindowRectOf(Bar().m_hWnd);
    RECT rcReBar = WindowRectOf(ReBar().m_hWnd);
    POINT pt = {(rcReBar.left + rcBar.left) / 2, (rcBar.top + rcBar.bottom) / 2};
    ASSERT_EQ(::WindowFromPoint(pt), ReBar().m_hWnd);

    MessageLog log;
    HWND hFrame = m_pFrame->m_hWnd;
    volatile LONG contextMenus = 0;
    log.WatchPosted([&](const MessageLog::Entry& e) {
        if (e.message == WM_CONTEXTMENU && e.hwnd == hFrame)
            ::InterlockedIncrement(&contextMenus);
    });
    InputScript script(Thread());
    script.Click(pt, 3).WaitFor("the context-menu message", [&] { return contextMenus != 0; });
    ASSERT_TRUE(script.Run()) << script.Failure();
    for (int i = 0; i < 5 && !OpenPopupMenus(Thread()).empty(); ++i) {
        // Whatever the frame shows for it is not this test's business.
        TapKey(VK_ESCAPE);
        PumpMessages(50);
    }
    std::vector<MessageLog::Entry> posted;
    for (const MessageLog::Entry& e : log.Posted(WM_CONTEXTMENU))
        if (e.hwnd == m_pFrame->m_hWnd)
            posted.push_back(e);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(reinterpret_cast<HWND>(posted[0].wParam), ReBar().m_hWnd);
    EXPECT_EQ(static_cast<short>(LOWORD(posted[0].lParam)), pt.x);
    EXPECT_EQ(static_cast<short>(HIWORD(posted[0].lParam)), pt.y);
}

TEST_F(ReBarTest, BandLayoutMakesTheFrameLayOutAgain)
{
    MessageLog log;
    RECT rc = WindowRectOf(m_pFrame->m_hWnd);
    ::SetWindowPos(m_pFrame->m_hWnd, nullptr, 0, 0, rc.right - rc.left - 40, rc.bottom - rc.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessages(30);
    int relayouts = 0;
    for (const MessageLog::Entry& e : log.Sent(WM_SIZE))
        relayouts += e.hwnd == m_pFrame->m_hWnd && e.wParam == SIZE_RESTORED && e.lParam == 0;
    EXPECT_GE(relayouts, 1) << "the child-size notification asks the frame for a layout";
    // The layout ignores the meaningless size: bars and view still fill the client area.
    EXPECT_EQ(WindowRectOf(View().m_hWnd).top, WindowRectOf(ReBar().m_hWnd).bottom);
    EXPECT_EQ(ClientSizeOf(ReBar().m_hWnd).cx, ClientSizeOf(m_pFrame->m_hWnd).cx);
}
