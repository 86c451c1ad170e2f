// The menu bar driven with real keys and mouse: buttons, keyboard mode,
// mnemonics, popups following the mouse and the arrow keys, cascades.
#include <windows.h>
#include <commctrl.h>

#include "GuiHarness.h"
#include "MenuInput.h"
#include "MessageLog.h"

namespace {

constexpr int kOperations = 0; // "操作(&O)"
constexpr int kView = 1;       // "表示(&V)"
constexpr int kHelp = 2;       // "ヘルプ(&H)"

// Counts MessageBeep calls of the program by redirecting its import of the
// function for as long as the object lives.
class BeepCounter {
public:
    BeepCounter()
    {
        FARPROC real = ::GetProcAddress(::GetModuleHandleA("user32.dll"), "MessageBeep");
        auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
        auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
            for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk); thunk->u1.Function;
                 ++thunk) {
                if (reinterpret_cast<FARPROC>(thunk->u1.Function) == real)
                    m_pSlot = reinterpret_cast<FARPROC*>(&thunk->u1.Function);
            }
        }
        s_nBeeps = 0;
        if (m_pSlot)
            Write(reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&CountingBeep)));
        m_real = real;
    }
    ~BeepCounter()
    {
        if (m_pSlot)
            Write(m_real);
    }
    bool Installed() const { return m_pSlot != nullptr; }
    int Count() const { return s_nBeeps; }

private:
    static BOOL WINAPI CountingBeep(UINT) { return ++s_nBeeps, TRUE; }
    void Write(FARPROC proc)
    {
        DWORD old = 0;
        ::VirtualProtect(m_pSlot, sizeof(*m_pSlot), PAGE_READWRITE, &old);
        *m_pSlot = proc;
        ::VirtualProtect(m_pSlot, sizeof(*m_pSlot), old, &old);
    }
    FARPROC* m_pSlot = nullptr;
    FARPROC m_real = nullptr;
    static int s_nBeeps;
};
int BeepCounter::s_nBeeps = 0;

} // namespace

class MenuBarTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(CreateFrame());
        PrepareForInput(m_pFrame->m_hWnd, View().m_hWnd);
    }

    CMenuBarCtrl& Bar() { return m_pFrame->m_wndMenuBar; }
    HMENU Popup(int i) { return ::GetSubMenu(Bar().m_menu, i); }
    InputScript Script() { return InputScript(::GetCurrentThreadId()); }
    POINT ButtonCentre(int i)
    {
        RECT rc = {};
        Bar().GetItemRect(i, &rc);
        return ScreenCentre(Bar().m_hWnd, rc);
    }
    std::function<bool()> HotIs(int i)
    {
        HWND hBar = Bar().m_hWnd;
        return [hBar, i] { return HotItemOf(hBar) == i; };
    }
    int State() { return Bar().m_iTrackingState; }
    // The highlighted item of an open popup, or -1.
    static int Highlighted(HMENU hMenu)
    {
        for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i)
            if (::GetMenuState(hMenu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE)
                return i;
        return -1;
    }
    static std::function<bool()> HighlightIs(HMENU hMenu, int i)
    {
        return [hMenu, i] { return Highlighted(hMenu) == i; };
    }
    int Hot() { return Bar().GetHotItem(); }
    // How often the release of vk has been taken from the queue.
    static size_t ReleasesOf(const MessageLog& log, WORD vk)
    {
        size_t n = 0;
        for (UINT message : {WM_KEYUP, WM_SYSKEYUP})
            for (const MessageLog::Entry& e : log.Posted(message))
                n += e.wParam == vk;
        return n;
    }
    // Pumps until vk has been released once more than before times, so that
    // the keys typed up to that release have all been handled.
    static bool PumpUntilReleased(const MessageLog& log, WORD vk, size_t before)
    {
        bool released = PumpUntil([&] { return ReleasesOf(log, vk) > before; }, kInputStepBudgetMs);
        PumpMessages();
        return released;
    }
    // The characters that TranslateMessage made from keys the bar let pass.
    static std::string CharsOf(const MessageLog& log, UINT message)
    {
        std::string chars;
        for (const MessageLog::Entry& e : log.Posted(message))
            chars += static_cast<char>(e.wParam);
        return chars;
    }
};

TEST_F(MenuBarTest, ButtonsAreTheTopLevelItemsByPosition)
{
    CMenuBarCtrl& bar = Bar();
    ASSERT_EQ(bar.m_nButtons, 3);
    ASSERT_EQ(bar.GetButtonCount(), 3);
    for (int i = 0; i < 3; ++i) {
        TBBUTTON button = {};
        ASSERT_TRUE(bar.GetButton(i, &button));
        EXPECT_EQ(button.idCommand, i);
        EXPECT_EQ(button.iBitmap, -1);
        EXPECT_TRUE(button.fsStyle & TBSTYLE_AUTOSIZE);
        EXPECT_TRUE(button.fsState & TBSTATE_ENABLED);
        EXPECT_NE(Popup(i), nullptr) << "button " << i;
    }
    EXPECT_EQ(State(), CMenuBarCtrl::TRACK_NOTHING);
    EXPECT_EQ(Hot(), -1);
}

TEST_F(MenuBarTest, AltHighlightsFirstButtonDownOpensItsPopupEscapeTwiceLeaves)
{
    // The popup belongs to the frame: its update handlers set the items' states
    // as it opens (Send To is always enabled).
    ::EnableMenuItem(Popup(kOperations), ID_SENDTO, MF_BYCOMMAND | MF_GRAYED);
    UINT sendToState = 0;
    RECT rcPopup = {};
    DWORD thread = ::GetCurrentThreadId();
    HMENU hOperations = Popup(kOperations);
    InputScript script = Script();
    script.Key(VK_MENU)
        .WaitFor("first button hot", HotIs(kOperations))
        .Key(VK_DOWN)
        .WaitForPopups("operations popup", {hOperations})
        .WaitFor("its first item highlighted, as the keyboard opened it", HighlightIs(hOperations, 0))
        .Do([&] {
            sendToState = ::GetMenuState(hOperations, ID_SENDTO, MF_BYCOMMAND);
            ::GetWindowRect(PopupWindowOf(thread, hOperations), &rcPopup);
        })
        .Key(VK_ESCAPE)
        .WaitForNoPopup("popup closed by Escape");
    ASSERT_TRUE(script.Run()) << script.Failure();
    EXPECT_FALSE(sendToState & MF_GRAYED);
    RECT rcButton = {};
    Bar().GetItemRect(kOperations, &rcButton);
    POINT bottomLeft = {rcButton.left, rcButton.bottom};
    Bar().ClientToScreen(&bottomLeft);
    EXPECT_EQ(rcPopup.left, bottomLeft.x);
    EXPECT_EQ(rcPopup.top, bottomLeft.y);

    EXPECT_EQ(State(), CMenuBarCtrl::TRACK_BUTTON) << "Escape leaves the keyboard mode on";
    EXPECT_EQ(Hot(), kOperations);
    EXPECT_FALSE(Bar().SendMessage(TB_ISBUTTONPRESSED, kOperations)) << "the button is released";
    TapKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([&] { return State() == CMenuBarCtrl::TRACK_NOTHING; }, kInputStepBudgetMs));
    EXPECT_EQ(Hot(), -1);
}

TEST_F(MenuBarTest, F10TogglesKeyboardModeButNotWithShift)
{
    TapKey(VK_F10);
    EXPECT_TRUE(PumpUntil([&] { return State() == CMenuBarCtrl::TRACK_BUTTON && Hot() == 0; }, kInputStepBudgetMs));
    TapKey(VK_F10);
    EXPECT_TRUE(PumpUntil([&] { return State() == CMenuBarCtrl::TRACK_NOTHING && Hot() == -1; }, kInputStepBudgetMs));
    // Shift+F10 goes on to the window, whose default handling may start a
    // keyboard menu of its own: Escape ends that.
    MessageLog log;
    TapChord(VK_SHIFT, VK_F10);
    TapKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntilReleased(log, VK_ESCAPE, 0));
    EXPECT_EQ(State(), CMenuBarCtrl::TRACK_NOTHING);
}

TEST_F(MenuBarTest, KeyboardModeArrowsWrapSpaceOpensClickElsewhereLeaves)
{
    InputScript script = Script();
    script.Key(VK_MENU)
        .WaitFor("first button hot", HotIs(kOperations))
        .Key(VK_LEFT)
        .WaitFor("Left wraps to the last button", HotIs(kHelp))
        .Key(VK_RIGHT)
        .WaitFor("Right wraps to the first button", HotIs(kOperations))
        .Key(VK_RIGHT)
        .WaitFor("second button hot", HotIs(kView))
        .Key(VK_SPACE)
        .WaitForPopups("view popup", {Popup(kView)})
        .WaitFor("its first item highlighted", HighlightIs(Popup(kView), 0))
        .Key(VK_ESCAPE)
        .WaitForNoPopup("popup closed");
    ASSERT_TRUE(script.Run()) << script.Failure();
    EXPECT_EQ(State(), CMenuBarCtrl::TRACK_BUTTON);
    EXPECT_EQ(Hot(), kView);

    ASSERT_TRUE(ClickAt(ScreenCentre(View().m_hWnd, ClientRectOf(View().m_hWnd))));
    EXPECT_TRUE(PumpUntil([&] { return State() == CMenuBarCtrl::TRACK_NOTHING; }, kInputStepBudgetMs));
    EXPECT_EQ(Hot(), -1);
}

TEST_F(MenuBarTest, MnemonicsOpenTheirPopupWithAltOrInKeyboardMode)
{
    MessageLog log;
    InputScript script = Script();
    script.Do([] { TapChord(VK_MENU, 'V'); })
        .WaitForPopups("Alt+V opens the view popup", {Popup(kView)})
        .WaitFor("its first item highlighted", HighlightIs(Popup(kView), 0))
        .Key(VK_ESCAPE)
        .WaitForNoPopup("view popup closed")
        .Key(VK_ESCAPE)
        .Key(VK_MENU)
        .Key('H')
        .WaitForPopups("H in keyboard mode opens the help popup", {Popup(kHelp)})
        .Key(VK_ESCAPE)
        .WaitForNoPopup("help popup closed");
    ASSERT_TRUE(script.Run()) << script.Failure();
    EXPECT_EQ(State(), CMenuBarCtrl::TRACK_BUTTON);
    EXPECT_EQ(Hot(), kHelp);
    EXPECT_EQ(CharsOf(log, WM_SYSCHAR) + CharsOf(log, WM_CHAR), "") << "the bar consumed the mnemonics";

    // No button has Q: keyboard mode ends and the key goes on to the window.
    const size_t altReleases = ReleasesOf(log, VK_MENU);
    TapKey(VK_ESCAPE);
    TapChord(VK_MENU, 'Q');
    EXPECT_TRUE(PumpUntilReleased(log, VK_MENU, altReleases));
    EXPECT_EQ(State(), CMenuBarCtrl::TRACK_NOTHING);
    EXPECT_EQ(CharsOf(log, WM_SYSCHAR), "q");
}

TEST_F(MenuBarTest, LetterWithoutMnemonicBeepsOnceInKeyboardMode)
{
    BeepCounter beeps;
    ASSERT_TRUE(beeps.Installed());
    MessageLog log;
    TapKey(VK_MENU);
    ASSERT_TRUE(PumpUntil([&] { return State() == CMenuBarCtrl::TRACK_BUTTON; }, kInputStepBudgetMs));
    TapKey('Q');
    EXPECT_TRUE(PumpUntilReleased(log, 'Q', 0));
    EXPECT_EQ(beeps.Count(), 1);
    EXPECT_EQ(State(), CMenuBarCtrl::TRACK_BUTTON);
    EXPECT_EQ(Hot(), kOperations);
}

TEST_F(MenuBarTest, HoverSwitchesPopupsAndClickOnTheOpenButtonClosesIt)
{
    HWND hBar = Bar().m_hWnd;
    BOOL pressedWhileOpen = FALSE;
    int highlightedByClick = 0;
    int highlightedByHover = 0;
    InputScript script = Script();
    script.Click(ButtonCentre(kOperations))
        .WaitForPopups("operations popup", {Popup(kOperations)})
        .Do([&] {
            pressedWhileOpen = ::SendMessageA(hBar, TB_ISBUTTONPRESSED, kOperations, 0) != 0;
            highlightedByClick = Highlighted(Popup(kOperations));
        })
        .MoveTo(ButtonCentre(kHelp))
        .WaitForPopups("hovering help switches to its popup", {Popup(kHelp)})
        .Do([&] { highlightedByHover = Highlighted(Popup(kHelp)); })
        .MoveTo(ButtonCentre(kView))
        .WaitForPopups("hovering view switches to its popup", {Popup(kView)})
        .Click(ButtonCentre(kView))
        .WaitForNoPopup("click on the open button closes it");
    ASSERT_TRUE(script.Run()) << script.Failure();
    EXPECT_TRUE(pressedWhileOpen);
    EXPECT_EQ(highlightedByClick, -1) << "a popup the mouse opens keeps no highlight";
    EXPECT_EQ(highlightedByHover, -1);
    PumpMessages(200);
    EXPECT_TRUE(OpenPopupMenus(::GetCurrentThreadId()).empty()) << "no popup opens again";
    EXPECT_EQ(State(), CMenuBarCtrl::TRACK_NOTHING);
}

TEST_F(MenuBarTest, LeftAndRightMoveBetweenPopupsWithWrapAroundUnderTheRestingPointer)
{
    // The pointer stays on the first button: the menu's repeated mouse
    // position must not pull the popup back there.
    InputScript script = Script();
    script.Click(ButtonCentre(kOperations))
        .WaitForPopups("operations popup", {Popup(kOperations)})
        .Key(VK_RIGHT)
        .WaitForPopups("Right opens view", {Popup(kView)})
        .WaitFor("with its first item highlighted", HighlightIs(Popup(kView), 0))
        .Do([] { ::Sleep(150); })
        .WaitForPopups("view stays open", {Popup(kView)})
        .Key(VK_RIGHT)
        .WaitForPopups("Right opens help", {Popup(kHelp)})
        .Key(VK_RIGHT)
        .WaitForPopups("Right wraps to operations", {Popup(kOperations)})
        .Key(VK_LEFT)
        .WaitForPopups("Left wraps to help", {Popup(kHelp)})
        .Key(VK_ESCAPE)
        .WaitForNoPopup("closed");
    ASSERT_TRUE(script.Run()) << script.Failure();
    EXPECT_EQ(State(), CMenuBarCtrl::TRACK_BUTTON);
    EXPECT_EQ(Hot(), kHelp);
}

TEST_F(MenuBarTest, RightOpensTheZoomCascadeAndLeftClosesIt)
{
    HMENU hOperations = Popup(kOperations);
    HMENU hZoom = ::GetSubMenu(hOperations, 0); // "倍率"
    ASSERT_NE(hZoom, nullptr);
    auto zoomItemSelected = [hOperations] { return (::GetMenuState(hOperations, 0, MF_BYPOSITION) & MF_HILITE) != 0; };
    InputScript script = Script();
    script.Do([] { TapChord(VK_MENU, 'O'); })
        .WaitForPopups("operations popup", {hOperations})
        .WaitFor("zoom item selected as the popup opens", zoomItemSelected)
        .Key(VK_RIGHT)
        .WaitForPopups("Right on a cascade item opens the cascade", {hOperations, hZoom})
        .Key(VK_LEFT)
        .WaitForPopups("Left in the cascade closes only the cascade", {hOperations})
        .Key(VK_RIGHT)
        .WaitForPopups("Right on the cascade item again", {hOperations, hZoom})
        .Key(VK_LEFT)
        .WaitForPopups("cascade closed again", {hOperations})
        .Key(VK_LEFT)
        .WaitForPopups("Left outside the cascade moves to the previous menu", {Popup(kHelp)})
        .Key(VK_RIGHT)
        .WaitForPopups("Right wraps back", {hOperations})
        .WaitFor("zoom item selected again", zoomItemSelected)
        .Key(VK_RIGHT)
        .WaitForPopups("cascade open", {hOperations, hZoom})
        .Key(VK_RIGHT)
        .WaitForPopups("Right on a plain item of the cascade moves on", {Popup(kView)})
        .Key(VK_ESCAPE)
        .WaitForNoPopup("closed");
    ASSERT_TRUE(script.Run()) << script.Failure();
}

// As on the system's own menu bar: Alt+O highlights 倍率, Right opens its
// cascade on its first item, Enter chooses that.
TEST_F(MenuBarTest, AltORightEnterChoosesTheFirstZoomItem)
{
    SetZoom(ZOOM_PERCENT, 50);
    HMENU hOperations = Popup(kOperations);
    HMENU hZoom = ::GetSubMenu(hOperations, 0);
    InputScript script = Script();
    script.Do([] { TapChord(VK_MENU, 'O'); })
        .WaitForPopups("operations popup", {hOperations})
        .Key(VK_RIGHT)
        .WaitForPopups("zoom cascade", {hOperations, hZoom})
        .WaitFor("its first item highlighted", HighlightIs(hZoom, 0))
        .Key(VK_RETURN)
        .WaitForNoPopup("command chosen");
    ASSERT_TRUE(script.Run()) << script.Failure();
    EXPECT_TRUE(PumpUntil([&] { return View().m_settings.m_nZoomMode == ZOOM_ANY; }, kInputStepBudgetMs))
        << "任意 was chosen";
    EXPECT_EQ(State(), CMenuBarCtrl::TRACK_NOTHING);
}

// Wine sends no WM_MENUSELECT when Escape or Left closes a cascade: the bar
// must still know that the highlight is back on the item that opens it.
TEST_F(MenuBarTest, AfterEscapeClosesTheHistoryCascadeRightReopensItAndLeftMovesOn)
{
    HMENU hOperations = Popup(kOperations);
    HMENU hHistory = ::GetSubMenu(hOperations, 3); // "履歴(&H)"
    ASSERT_NE(hHistory, nullptr);
    auto highlighted = [hOperations](UINT pos) {
        return [hOperations, pos] { return (::GetMenuState(hOperations, pos, MF_BYPOSITION) & MF_HILITE) != 0; };
    };
    auto historyItem = [&](InputScript& script) -> InputScript& {
        // From the first item, highlighted as the keyboard opened the popup.
        return script.WaitFor("first item", highlighted(0))
            .Key(VK_DOWN)
            .Key(VK_DOWN)
            .Key(VK_DOWN)
            .WaitFor("history item", highlighted(3));
    };
    InputScript script = Script();
    script.Key(VK_MENU).WaitFor("first button hot", HotIs(kOperations)).Key(VK_DOWN);
    historyItem(script.WaitForPopups("operations popup", {hOperations}))
        .Key(VK_RIGHT)
        .WaitForPopups("Right opens the history cascade", {hOperations, hHistory})
        .Key(VK_ESCAPE)
        .WaitForPopups("Escape closes only the cascade", {hOperations})
        .Key(VK_RIGHT)
        .WaitForPopups("Right after Escape opens the cascade again", {hOperations, hHistory})
        .Key(VK_LEFT)
        .WaitForPopups("Left in the cascade closes it", {hOperations})
        .Key(VK_LEFT)
        .WaitForPopups("Left after the cascade closed by Left moves to the previous menu", {Popup(kHelp)})
        .Key(VK_RIGHT);
    historyItem(script.WaitForPopups("back on operations", {hOperations}))
        .Key(VK_RIGHT)
        .WaitForPopups("history cascade", {hOperations, hHistory})
        .Key(VK_ESCAPE)
        .WaitForPopups("cascade closed by Escape", {hOperations})
        .Key(VK_LEFT)
        .WaitForPopups("Left after the cascade closed by Escape moves to the previous menu", {Popup(kHelp)})
        .Key(VK_ESCAPE)
        .WaitForNoPopup("closed");
    ASSERT_TRUE(script.Run()) << script.Failure();
    EXPECT_EQ(State(), CMenuBarCtrl::TRACK_BUTTON);
    EXPECT_EQ(Hot(), kHelp);

    // An Escape that closed only a cascade is no Escape out of the menu: a
    // command chosen afterwards ends the tracking as any chosen command does.
    TapKey(VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([&] { return State() == CMenuBarCtrl::TRACK_NOTHING; }, kInputStepBudgetMs));
    InputScript choose = Script();
    choose.Do([] { TapChord(VK_MENU, 'O'); });
    historyItem(choose.WaitForPopups("operations popup", {hOperations}))
        .Key(VK_RIGHT)
        .WaitForPopups("history cascade", {hOperations, hHistory})
        .Key(VK_ESCAPE)
        .WaitForPopups("cascade closed by Escape", {hOperations})
        .Key(VK_DOWN)
        .WaitFor("topmost item", highlighted(5)) // "最上位に表示(&T)"
        .Key(VK_RETURN)
        .WaitForNoPopup("command chosen");
    ASSERT_TRUE(choose.Run()) << choose.Failure();
    EXPECT_TRUE(PumpUntil([&] { return View().m_settings.m_bTopMost != FALSE; }, kInputStepBudgetMs))
        << "the command ran";
    EXPECT_EQ(State(), CMenuBarCtrl::TRACK_NOTHING);
    EXPECT_EQ(Hot(), -1);
}

TEST_F(MenuBarTest, ChosenCommandRunsInTheFrameAndEndsTracking)
{
    TempFolder folder("menubar");
    std::string path = folder.File("wide.bmp");
    ASSERT_TRUE(WriteBmp(path, 40, 20, [](int x, int y) { return AsymmetricPixel(x, y, 40, 20); }));
    OpenPath(path);
    ASSERT_NE(View().m_pImage, nullptr);
    PrepareForInput(m_pFrame->m_hWnd, View().m_hWnd);

    HMENU hOperations = Popup(kOperations);
    HMENU hRotate = ::GetSubMenu(hOperations, 2); // "回転／反転(R)"
    InputScript script = Script();
    script.Do([] { TapChord(VK_MENU, 'O'); })
        .WaitForPopups("operations popup", {hOperations})
        .Key(VK_DOWN)
        .Key(VK_DOWN)
        .Key(VK_RIGHT)
        .WaitForPopups("rotate cascade", {hOperations, hRotate})
        .Key('R')
        .WaitForNoPopup("command chosen");
    ASSERT_TRUE(script.Run()) << script.Failure();
    EXPECT_TRUE(PumpUntil([&] { return View().m_nRotation != 0; }, kInputStepBudgetMs)) << "rotate right ran";
    EXPECT_EQ(State(), CMenuBarCtrl::TRACK_NOTHING);
    EXPECT_EQ(Hot(), -1);
}

TEST_F(MenuBarTest, HitTestCountsCutOffButtonsOnlyWhenFirst)
{
    CMenuBarCtrl& bar = Bar();
    RECT rc0 = {}, rc1 = {};
    bar.GetItemRect(0, &rc0);
    bar.GetItemRect(1, &rc1);
    int y = (rc0.top + rc0.bottom) / 2;
    EXPECT_EQ(bar.HitTest(POINT{rc1.left + 2, y}), 1);
    EXPECT_LT(bar.HitTest(POINT{rc0.left + 2, rc0.bottom + 20}), 0) << "below the buttons";

    // Make the bar end inside the first button, then inside the second.
    RECT rcBar = WindowRectOf(bar.m_hWnd);
    POINT origin = {rcBar.left, rcBar.top};
    ::ScreenToClient(::GetParent(bar.m_hWnd), &origin);
    int height = rcBar.bottom - rcBar.top;
    bar.MoveWindow(origin.x, origin.y, (rc1.left + rc1.right) / 2, height);
    EXPECT_EQ(bar.HitTest(POINT{rc1.left + 2, y}), 1) << "the visible part of a cut button";
    EXPECT_EQ(bar.HitTest(POINT{rc1.right - 2, y}), -1) << "the hidden part of a cut button";
    bar.MoveWindow(origin.x, origin.y, (rc0.left + rc0.right) / 2, height);
    EXPECT_EQ(bar.HitTest(POINT{rc0.right - 2, y}), 0) << "the first button counts beyond the edge";
    EXPECT_EQ(bar.HitTest(POINT{rc1.left + 2, y}), -1);
}
