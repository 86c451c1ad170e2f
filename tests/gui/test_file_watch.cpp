// A shown file that another program rewrites.
#include "GuiHarness.h"

#include "CKernelHandle.h"
#include "support/MessageBoxCapture.h"

class FileWatchTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(CreateFrame());
    }

    bool Shows(int width, int height)
    {
        return PumpUntil([&] { return View().m_nImageWidth == width && View().m_nImageHeight == height; }, 10000);
    }

    TempFolder m_folder{"watch"};
};

TEST_F(FileWatchTest, ARewrittenFileIsShownAnewAsItWasShown)
{
    const std::string path = m_folder.File("render.bmp");
    const auto grey = [](int, int) { return 0x808080u; };
    ASSERT_TRUE(WriteBmp(path, 360, 240, grey));
    OpenPath(path);
    Command(ID_ZOOM_50);
    Command(ID_ROTATE_RIGHT);
    const std::vector<std::string> history = StoredHistoryPaths();
    MessageBoxCapture boxes;

    ASSERT_TRUE(WriteBmp(path, 400, 300, grey));
    ASSERT_TRUE(Shows(400, 300));
    EXPECT_EQ(View().m_nRotation, 1);
    EXPECT_EQ(View().m_settings.m_nZoomMode, ZOOM_PERCENT);
    EXPECT_EQ(View().m_settings.m_nZoomValue, 50);
    EXPECT_EQ(WindowTextOf(m_pFrame->m_hWnd), "KEP - " + path);
    EXPECT_EQ(StoredHistoryPaths(), history);
    // The frame fits the new picture: 150 x 200 turned at 50 %.
    PumpUntil([&] { return ClientSizeOf(View().m_hWnd).cx == 150; }, 5000);
    EXPECT_EQ(ClientSizeOf(View().m_hWnd).cx, 150);
    EXPECT_EQ(ClientSizeOf(View().m_hWnd).cy, 200);

    // A writer that holds the file while it writes: the watch tries again
    // until the file is let go, without a word.
    const std::string next = m_folder.File("next.bmp");
    ASSERT_TRUE(WriteBmp(next, 440, 300, grey));
    const Bytes content = ReadBytes(next);
    CKernelHandle writer(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(writer);
    DWORD written = 0;
    ::WriteFile(writer, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    const int failedBefore = View().m_fileWatch.GetFailedReads();
    const bool bRetried = PumpUntil([&] { return View().m_fileWatch.GetFailedReads() >= failedBefore + 2; }, 5000);
    writer.Close();
    EXPECT_TRUE(bRetried) << "the held file was not tried again";
    EXPECT_TRUE(Shows(440, 300));
    EXPECT_EQ(boxes.Count(), 0u);

    // Another load (here one that fails) ends the watch.
    EXPECT_TRUE(View().m_fileWatch.IsWatching());
    View().LoadImageFile(m_folder.File("missing.bmp").c_str());
    EXPECT_FALSE(View().m_fileWatch.IsWatching());
}

// A rewrite of the shown file that arrives while a step waits for its
// picture is no new load: the step still shows where it went.
TEST_F(FileWatchTest, ARewriteWhileAStepWaitsLeavesTheStepItsPicture)
{
    const auto grey = [](int, int) { return 0x808080u; };
    const std::string shown = m_folder.File("a.bmp");
    ASSERT_TRUE(WriteBmp(shown, 360, 240, grey));
    ASSERT_TRUE(WriteBmp(m_folder.File("b.bmp"), 320, 200, grey));
    OpenPath(shown);
    ASSERT_TRUE(WriteBmp(shown, 400, 300, grey));
    // The new content decoded and waiting to be shown, not shown yet.
    const HWND hWatch = View().m_fileWatch.m_hWnd;
    MSG msg;
    ASSERT_TRUE(PollUntil([&] { return ::PeekMessageA(&msg, hWatch, 0, 0, PM_NOREMOVE) != FALSE; }, 10000));
    m_pFrame->SendMessage(WM_COMMAND, ID_STEP_NEXT);
    ASSERT_TRUE(m_pFrame->m_picturesAhead.IsWaiting());
    AwaitStep();
    EXPECT_EQ(WindowTextOf(m_pFrame->m_hWnd), "KEP - " + m_folder.File("b.bmp"));
    EXPECT_EQ(View().m_nImageWidth, 320);
}
