// The window settings are shared through the settings file: a process
// started after a change starts with it; windows already open keep theirs.
#include <algorithm>

#include "ProcessHarness.h"
#include "res/resource.h"

namespace {

uint32_t Pattern(int x, int y)
{
    return AsymmetricPixel(x, y, 400, 300);
}

SIZE ViewSize(HWND hFrame)
{
    RECT rc = {};
    ::GetClientRect(::GetDlgItem(hFrame, 0xE900), &rc);
    return SIZE{rc.right, rc.bottom};
}

bool HasCaption(HWND hFrame)
{
    return (::GetWindowLongPtrA(hFrame, GWL_STYLE) & WS_CAPTION) != 0;
}

// The one visible frame that is not in known.
HWND NewFrame(const std::vector<HWND>& known)
{
    for (HWND h : FindKepFrames(true))
        if (std::find(known.begin(), known.end(), h) == known.end())
            return h;
    return nullptr;
}

HWND StartAndWait(KepProcess& process, const std::vector<HWND>& known)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = NewFrame(known)) != nullptr && WindowTextOf(found).rfind("KEP - ", 0) == 0; },
              20000);
    (void)process;
    return found;
}

} // namespace

TEST_F(ProcessTest, ALaterProcessStartsWithTheChangedSettingsOpenOnesKeepTheirs)
{
    TempFolder folder("shared");
    std::string path = folder.File("s.bmp");
    ASSERT_TRUE(WriteBmp(path, 400, 300, Pattern));

    KepProcess a("\"" + path + "\"");
    HWND hA = StartAndWait(a, {});
    ASSERT_NE(hA, nullptr);
    // The title comes with the load; the fit follows it.
    EXPECT_TRUE(WaitUntil([&] { return ViewSize(hA).cx == 400; }, 5000));
    ::PostMessageA(hA, WM_COMMAND, ID_ZOOM_50, 0);
    ASSERT_TRUE(WaitUntil([&] { return ViewSize(hA).cx == 200; }, 5000));

    KepProcess b("\"" + path + "\"");
    HWND hB = StartAndWait(b, {hA});
    ASSERT_NE(hB, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return ViewSize(hB).cx == 200 && ViewSize(hB).cy == 150; }, 5000))
        << "B started with " << ViewSize(hB).cx << " x " << ViewSize(hB).cy;

    ::PostMessageA(hB, WM_COMMAND, ID_HIDE_FRAME, 0);
    ASSERT_TRUE(WaitUntil([&] { return !HasCaption(hB); }, 5000));
    ::Sleep(300);
    EXPECT_TRUE(HasCaption(hA)) << "a window already open keeps its own look";

    KepProcess c("\"" + path + "\"");
    HWND hC = StartAndWait(c, {hA, hB});
    ASSERT_NE(hC, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return !HasCaption(hC); }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return ViewSize(hC).cx == 200 && ViewSize(hC).cy == 150; }, 5000))
        << "C started with " << ViewSize(hC).cx << " x " << ViewSize(hC).cy;
}
