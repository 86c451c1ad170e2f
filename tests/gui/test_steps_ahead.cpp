// Steps never make the window wait: the neighbours of the picture shown are
// decoded ahead on the worker, a picture not ready is decoded there while the
// window answers, and what the worker holds follows the files on disk.
#include <windows.h>

#include <set>

#include "GuiHarness.h"
#include "support/MessageBoxCapture.h"

namespace {

uint32_t Grey(int, int)
{
    return 0x808080;
}

class StepsAheadTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(CreateFrame());
        SetZoom(ZOOM_PERCENT, 100);
        // Widths tell the pictures apart; d.bmp is broken.
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
            ASSERT_TRUE(WriteBmp(m_folder.File(name), Width(name), 120, Grey));
        ASSERT_TRUE(WriteText(m_folder.File("d.bmp"), "not a picture"));
    }
    static int Width(const char* name) { return 200 + 10 * (name[0] - 'a'); }
    // A step as the key sends it, without pumping: what shows at once shows.
    void StepNow() { m_pFrame->SendMessage(WM_COMMAND, ID_STEP_NEXT); }
    void AwaitAhead()
    {
        ASSERT_TRUE(PumpUntil([this] { return m_pFrame->m_picturesAhead.IsIdle(); }, 20000));
        PumpMessages(); // the results the worker posted
    }
    std::string Title() { return WindowTextOf(m_pFrame->m_hWnd); }
    std::string Shows(const char* name) { return "KEP - " + m_folder.File(name); }

    TempFolder m_folder{"ahead"};
};

} // namespace

// A step to a picture not ready waits on the worker with the wait cursor;
// steps meanwhile move the target on, and only where they stop is shown.
TEST_F(StepsAheadTest, AStormOfStepsShowsOnlyThePictureWhereItStops)
{
    OpenPath(m_folder.File("a.bmp"));
    const unsigned loadsBefore = View().m_nLoadCount;
    StepNow();
    EXPECT_TRUE(m_pFrame->m_picturesAhead.IsWaiting());
    EXPECT_TRUE(View().IsWaiting()) << "the wait cursor shows";
    EXPECT_EQ(Title(), "KEP - " + m_folder.File("a.bmp")) << "the picture shown stays until the next is ready";
    for (int i = 0; i < 4; ++i)
        View().PostMessage(WM_KEYDOWN, VK_RIGHT, 0); // a → b → c → d → a → b
    PumpMessages();
    AwaitStep();
    EXPECT_EQ(Title(), Shows("b.bmp"));
    EXPECT_EQ(View().m_nLoadCount, loadsBefore + 1) << "only the last target was shown";
    EXPECT_FALSE(View().IsWaiting());
}

// Decoded ahead, a neighbour shows within the step itself; a broken one gives
// its message at once; one written or deleted since it was decoded is read
// again, as if it had never been decoded.
TEST_F(StepsAheadTest, NeighboursShowAtOnceUnlessTheirFileChangedSinceTheirDecode)
{
    OpenPath(m_folder.File("a.bmp"));
    StepNow();
    AwaitStep();
    ASSERT_EQ(Title(), Shows("b.bmp"));
    AwaitAhead();
    StepNow();
    EXPECT_FALSE(m_pFrame->m_picturesAhead.IsWaiting());
    EXPECT_EQ(Title(), Shows("c.bmp"));

    AwaitAhead();
    {
        MessageBoxCapture capture;
        StepNow();
        ASSERT_EQ(capture.Count(), 1u);
        EXPECT_EQ(capture.Boxes()[0].text, "未対応のフォーマットです");
        EXPECT_EQ(Title(), "KEP");
        EXPECT_EQ(View().m_pImage, nullptr);
    }

    AwaitAhead(); // a.bmp, next to the failed d.bmp, is held now
    ASSERT_TRUE(WriteBmp(m_folder.File("a.bmp"), 260, 120, Grey));
    StepNow();
    EXPECT_TRUE(m_pFrame->m_picturesAhead.IsWaiting()) << "a rewritten file is read again";
    AwaitStep();
    EXPECT_EQ(Title(), Shows("a.bmp"));
    EXPECT_EQ(View().m_nImageWidth, 260);

    AwaitAhead();
    ASSERT_TRUE(::DeleteFileA(m_folder.File("b.bmp").c_str()));
    MessageBoxCapture capture;
    StepNow();
    AwaitStep();
    ASSERT_EQ(capture.Count(), 1u);
    EXPECT_EQ(capture.Boxes()[0].text, "ファイルがオープンできません");
    EXPECT_EQ(View().m_pImage, nullptr);
}

// The window closes while the worker decodes the picture a step goes to:
// the decode is dropped and a new window steps as before.
TEST_F(StepsAheadTest, ClosingTheWindowWhileTheWorkerDecodesLosesNothingElse)
{
    ASSERT_TRUE(WriteBmp(m_folder.File("b.bmp"), 3000, 2000, Grey));
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "closed while decoding" : "a new window");
        OpenPath(m_folder.File("a.bmp"));
        StepNow();
        ASSERT_TRUE(m_pFrame->m_picturesAhead.IsWaiting());
        if (round == 0) {
            DestroyFrame();
            ASSERT_TRUE(CreateFrame());
            SetZoom(ZOOM_PERCENT, 100);
        } else {
            AwaitStep();
            EXPECT_EQ(Title(), Shows("b.bmp"));
            EXPECT_EQ(View().m_nImageWidth, 3000);
        }
    }
}

// A step fits the window as an open does: in the free mode a picture too
// large for the work area is made smaller and the window moved inside it,
// also from a window whose last fit left it where it was. The file watch
// follows the picture stepped to, not the one left.
TEST_F(StepsAheadTest, AStepFitsTheWindowAsAnOpenDoesAndTheWatchFollowsIt)
{
    SetZoom(ZOOM_ANY, 0);
    TempFolder folder("fit");
    ASSERT_TRUE(WriteBmp(folder.File("1.bmp"), 400, 300, Grey));
    ASSERT_TRUE(WriteSolidRle8Bmp(folder.File("2.bmp"), 3000, 2400, 0x3366CC));
    OpenPath(folder.File("1.bmp"));
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ASSERT_TRUE(::GetMonitorInfoA(::MonitorFromWindow(m_pFrame->m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT work = monitor.rcWork;
    m_pFrame->SetWindowPos(nullptr, work.right - 500, work.bottom - 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    StepNow();
    AwaitStep();
    ASSERT_EQ(View().m_nImageWidth, 3000);
    const RECT frame = WindowRectOf(m_pFrame->m_hWnd);
    EXPECT_GE(frame.left, work.left);
    EXPECT_GE(frame.top, work.top);
    EXPECT_LE(frame.right, work.right);
    EXPECT_LE(frame.bottom, work.bottom);

    // Back to 1.bmp; then 2.bmp (the picture left) and 1.bmp are rewritten,
    // in that order: only the change of 1.bmp shows.
    StepNow();
    AwaitStep();
    ASSERT_EQ(View().m_nImageWidth, 400);
    ASSERT_TRUE(WriteBmp(folder.File("2.bmp"), 333, 200, Grey));
    ASSERT_TRUE(WriteBmp(folder.File("1.bmp"), 444, 200, Grey));
    std::set<int> widths;
    EXPECT_TRUE(PumpUntil(
        [&] {
            widths.insert(View().m_nImageWidth);
            return View().m_nImageWidth == 444;
        },
        10000));
    EXPECT_EQ(widths.count(333), 0u);
    EXPECT_EQ(WindowTextOf(m_pFrame->m_hWnd), "KEP - " + folder.File("1.bmp"));
}
