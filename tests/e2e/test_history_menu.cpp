// The history submenu and the settings dialog across real processes: what one
// window shows, another offers at its next opening; Shift opens an entry in a
// new window; OK in the settings dialog loses no entry added meanwhile.
#include <algorithm>

#include "ProcessHarness.h"
#include "history/HistoryList.h"
#include "res/resource.h"
#include "support/KeyInput.h"

namespace {

uint32_t Pattern(int x, int y)
{
    return AsymmetricPixel(x, y, 200, 150);
}

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

HWND WaitForFrame(const std::string& path)
{
    return WaitForFrameTitled("KEP - " + path, 20000);
}

bool Stored(const std::string& path)
{
    std::vector<std::string> paths = StoredHistoryPaths();
    return std::find(paths.begin(), paths.end(), path) != paths.end();
}

// The visible windows of class className in the process of hWnd, with the
// given title when one is given.
std::vector<HWND> WindowsOf(HWND hWnd, const char* className, const char* title = nullptr)
{
    struct Search {
        DWORD pid;
        const char* className;
        const char* title;
        std::vector<HWND> found;
    } search = {0, className, title, {}};
    ::GetWindowThreadProcessId(hWnd, &search.pid);
    ::EnumWindows(
        [](HWND h, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(h, &pid);
            if (pid == s->pid && ::IsWindowVisible(h) && ClassNameOf(h) == s->className &&
                (!s->title || WindowTextOf(h) == s->title))
                s->found.push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

size_t OpenPopups(HWND hFrame)
{
    return WindowsOf(hFrame, "#32768").size();
}

// Opens the history submenu of hFrame from its context menu with the keys,
// with its first entry selected; the step that failed, or nothing.
std::string OpenHistorySubmenu(HWND hFrame)
{
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 5, 5); // clear of the popups
    ::SetForegroundWindow(hFrame);
    if (!WaitUntil([&] { return ::GetForegroundWindow() == hFrame; }, 3000))
        return "the window did not come to the front";
    ::PostMessageA(hFrame, WM_COMMAND, ID_SHOW_CONTEXT_MENU, 0);
    if (!WaitUntil([&] { return OpenPopups(hFrame) == 1; }, 5000))
        return "no context menu";
    for (int i = 0; i < 4; ++i)
        TapKey(VK_DOWN); // zoom, translucency, rotation, history
    TapKey(VK_RIGHT);
    if (!WaitUntil([&] { return OpenPopups(hFrame) == 2; }, 5000))
        return "no history submenu (" + std::to_string(OpenPopups(hFrame)) + " popups; the front window is " +
               (::GetForegroundWindow() == hFrame ? "this one)" : "another)");
    return std::string();
}

} // namespace

TEST_F(ProcessTest, PictureShownElsewhereIsOfferedAtTheNextOpeningAndShiftOpensItInANewWindow)
{
    TempFolder folder("histmenu_e2e");
    const std::string mine = folder.File("mine.bmp");
    const std::string theirs = folder.File("theirs.bmp");
    ASSERT_TRUE(WriteBmp(mine, 200, 150, Pattern));
    ASSERT_TRUE(WriteBmp(theirs, 200, 150, Pattern));

    KepProcess a(Quoted(mine));
    HWND hA = WaitForFrame(mine);
    ASSERT_NE(hA, nullptr);
    KepProcess b(Quoted(theirs));
    ASSERT_NE(WaitForFrame(theirs), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return StoredHistoryPaths() == std::vector<std::string>{theirs, mine}; }, 5000));

    // The newest entry, the other window's picture, is at the top: Shift and
    // Enter start a new window for it and leave this one as it is.
    ASSERT_EQ(OpenHistorySubmenu(hA), "");
    PressKey(VK_SHIFT);
    TapKey(VK_RETURN);
    bool bStarted = WaitUntil([&] { return FindKepFrames(true).size() == 3; }, 20000);
    ReleaseKey(VK_SHIFT);
    ASSERT_TRUE(bStarted) << "no new window";
    EXPECT_TRUE(WaitUntil(
        [&] {
            std::vector<HWND> frames = FindKepFrames(true);
            auto showsTheirs = [&](HWND h) { return WindowTextOf(h) == "KEP - " + theirs; };
            return std::count_if(frames.begin(), frames.end(), showsTheirs) == 2;
        },
        20000))
        << "the new window shows the entry";
    EXPECT_EQ(WindowTextOf(hA), "KEP - " + mine);

    // Without Shift the entry replaces the picture of this window.
    ASSERT_EQ(OpenHistorySubmenu(hA), "");
    TapKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return WindowTextOf(hA) == "KEP - " + theirs; }, 10000)) << WindowTextOf(hA);
    EXPECT_EQ(FindKepFrames(true).size(), 3u);
}

TEST_F(ProcessTest, SettingsConfirmedWhileTheHistoryWasHeldAtOpeningLoseNoEntry)
{
    TempFolder folder("histset_e2e");
    std::vector<std::string> pictures;
    for (const char* name : {"old.bmp", "here.bmp", "later.bmp"}) {
        pictures.push_back(folder.File(name));
        ASSERT_TRUE(WriteBmp(pictures.back(), 200, 150, Pattern));
    }
    HistoryList prepared;
    prepared.m_paths.push_back(pictures[0].c_str());
    ASSERT_TRUE(prepared.Save());

    KepProcess here(Quoted(pictures[1]));
    HWND hHere = WaitForFrame(pictures[1]);
    ASSERT_NE(hHere, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return Stored(pictures[1]); }, 5000));

    // Another window holds the history as the dialog opens: it reads nothing.
    const std::string file = HistoryList::GetFilePath().GetString();
    HeldFile held(file);
    ASSERT_TRUE(held.Held());
    ::PostMessageA(hHere, WM_COMMAND, ID_HISTORY_SETTINGS, 0);
    HWND hDlg = nullptr;
    bool bOpened = WaitUntil(
        [&] {
            std::vector<HWND> dialogs = WindowsOf(hHere, "#32770", "履歴表示の設定");
            hDlg = dialogs.empty() ? nullptr : dialogs.front();
            return hDlg != nullptr;
        },
        10000);
    held.Release();
    ASSERT_TRUE(bOpened) << "no settings dialog";

    // While the dialog is open, a picture shown elsewhere is added.
    KepProcess later(Quoted(pictures[2]));
    ASSERT_NE(WaitForFrame(pictures[2]), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return Stored(pictures[2]); }, 5000));

    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(::GetDlgItem(hDlg, IDC_MAX_COUNT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("20"),
                          SMTO_ABORTIFHUNG, 5000, &result);
    ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, IDOK)));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(hDlg); }, 10000));

    HistoryList stored;
    ASSERT_TRUE(WaitUntil([&] { return stored.Load() && stored.m_nMaxCount == 20; }, 5000));
    EXPECT_EQ(StoredHistoryPaths(), (std::vector<std::string>{pictures[2], pictures[1], pictures[0]}));
}
