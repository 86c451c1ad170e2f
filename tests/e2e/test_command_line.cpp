// Real processes started with command lines: one window per image, quoted
// paths, the option suffix, and a settings file held by another process.
#include <algorithm>

#include "ProcessHarness.h"

namespace {

uint32_t Plain(int x, int y)
{
    return AsymmetricPixel(x, y, 64, 48);
}

std::vector<std::string> VisibleTitles()
{
    std::vector<std::string> titles;
    for (HWND h : FindKepFrames(true))
        titles.push_back(WindowTextOf(h));
    std::sort(titles.begin(), titles.end());
    return titles;
}

} // namespace

TEST_F(ProcessTest, ThreeImagesGiveThreeWindowsTitledWithTheirPaths)
{
    TempFolder folder("three");
    std::vector<std::string> paths = {folder.File("a.bmp"), folder.File("b.bmp"), folder.File("c.bmp")};
    for (const std::string& p : paths)
        ASSERT_TRUE(WriteBmp(p, 64, 48, Plain));
    KepProcess kep(paths[0] + " " + paths[1] + " " + paths[2]);
    ASSERT_TRUE(kep.Started());
    std::vector<std::string> expected = {"KEP - " + paths[0], "KEP - " + paths[1], "KEP - " + paths[2]};
    EXPECT_TRUE(WaitUntil([&] { return VisibleTitles() == expected; }, 30000)) << "windows: " << VisibleTitles().size();
}

TEST_F(ProcessTest, QuotedPathsWithBlanksStayWholeAlsoInNewProcesses)
{
    TempFolder folder("blank dir");
    std::string first = folder.File("a b.bmp");
    std::string second = folder.File("c d.bmp");
    ASSERT_TRUE(WriteBmp(first, 64, 48, Plain));
    ASSERT_TRUE(WriteBmp(second, 64, 48, Plain));
    KepProcess kep("\"" + first + "\" \"" + second + "\"");
    ASSERT_TRUE(kep.Started());
    std::vector<std::string> expected = {"KEP - " + first, "KEP - " + second};
    EXPECT_TRUE(WaitUntil([&] { return VisibleTitles() == expected; }, 30000));
}

TEST_F(ProcessTest, OptionSuffixPlacesTheWindow)
{
    TempFolder folder("suffix");
    std::string path = folder.File("p.bmp");
    ASSERT_TRUE(WriteBmp(path, 64, 48, Plain));
    KepProcess kep("\"" + path + "/120:80:50\"");
    // The frame shows itself while it is created, before the command line is read.
    HWND h = WaitForFrameTitled("KEP - " + path, 20000);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(FindKepFrames(true).size(), 1u);
    RECT rc;
    ::GetWindowRect(h, &rc);
    EXPECT_EQ(rc.left, 120);
    EXPECT_EQ(rc.top, 80);
}

TEST_F(ProcessTest, SettingsFileHeldByAnotherProcessDelaysCreationUntilReleased)
{
    TempFolder folder("held");
    std::string path = folder.File("h.bmp");
    ASSERT_TRUE(WriteBmp(path, 64, 48, Plain));
    // Stored: status bar hidden, so a window made with the defaults would show one.
    WriteSettingsInts({5, 0, 0, ZOOM_ANY, 0, 100, 0, 0, 1, 0});

    HeldFile held(SettingsFilePath("wndset.def"));
    ASSERT_TRUE(held.Held());
    KepProcess kep("\"" + path + "\"");
    ASSERT_TRUE(kep.Started());
    // Held for three seconds: no window may show meanwhile.
    ::Sleep(3000);
    EXPECT_TRUE(FindKepFrames(true).empty()) << "the window appeared while the settings were held";
    DWORD released = ::GetTickCount();
    held.Release();
    HWND h = WaitForFrameTitled("KEP - " + path, 15000);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(FindKepFrames(true).size(), 1u);
    EXPECT_LT(::GetTickCount() - released, 5000u);
    HWND hStatus = ::GetDlgItem(h, 0xE801);
    ASSERT_NE(hStatus, nullptr);
    EXPECT_FALSE(::GetWindowLongPtrA(hStatus, GWL_STYLE) & WS_VISIBLE) << "the stored settings were not used";
}

TEST_F(ProcessTest, EmptyCommandLineShowsAnEmptyWindow)
{
    KepProcess kep("");
    ASSERT_TRUE(WaitUntil([] { return FindKepFrames(true).size() == 1; }, 20000));
    ::Sleep(500);
    std::vector<HWND> frames = FindKepFrames(false);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(WindowTextOf(frames[0]), "KEP");
}

TEST_F(ProcessTest, AboutCommandShowsTheAboutBoxOwnedByTheFrame)
{
    KepProcess kep("");
    ASSERT_TRUE(WaitUntil([] { return FindKepFrames(true).size() == 1; }, 20000));
    HWND hFrame = FindKepFrames(true)[0];
    ::PostMessageA(hFrame, WM_COMMAND, 57664 /* about */, 0);
    HWND hAbout = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            hAbout = ::FindWindowExA(nullptr, nullptr, "#32770", nullptr);
            return hAbout && ::GetWindow(hAbout, GW_OWNER) == hFrame;
        },
        10000));
    EXPECT_NE(WindowTextOf(hAbout).find("KEP"), std::string::npos);
    ::PostMessageA(hAbout, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(hAbout); }, 5000));
}
