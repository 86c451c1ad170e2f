// Animated pictures: each frame for its own delay, the restart on a new
// load, still pictures and pages that do not play, and rotation while playing.
#include <algorithm>

#include "GuiHarness.h"
#include "MessageLog.h"

namespace {

// The frames of samples/anim.gif fill their background with these colours
// and stay 100, 200 and 300 ms.
constexpr uint32_t kFrameColours[] = {0xFF0000, 0x00FF00, 0x0000FF};
constexpr int kFrames = 3;
constexpr UINT_PTR kFrameTimer = 2; // the view's animation timer
// A timer may fire early by its clock's granularity, never by more.
constexpr DWORD kTimerGranularityMs = 16;
// Time for a whole cycle of the animation on a loaded machine.
constexpr DWORD kCycleBudgetMs = 5000;

bool FrameTimerArmed(HWND hView)
{
    // Killing a timer that does not exist fails; one that did is re-armed.
    if (!::KillTimer(hView, kFrameTimer))
        return false;
    ::SetTimer(hView, kFrameTimer, 10, nullptr);
    return true;
}

// The colour the window shows at pt, read from the screen.
uint32_t ShownAt(HWND hWnd, POINT pt)
{
    HDC hdc = ::GetDC(hWnd);
    COLORREF c = ::GetPixel(hdc, pt.x, pt.y);
    ::ReleaseDC(hWnd, hdc);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

} // namespace

class AnimationTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(CreateFrame());
        // At 100 percent the 160 x 120 picture keeps its size also turned.
        SetZoom(ZOOM_PERCENT, 100);
    }
    bool PumpUntilFrame(int nFrame)
    {
        return PumpUntil([&] { return View().m_animation.m_nCurFrame == nFrame; }, kCycleBudgetMs);
    }
    TempFolder m_folder{"anim"};
};

// Read from the animation timer's own messages: which frame each tick ends
// and when it was taken. A frame's stay, from the tick that showed it to the
// tick that ends it, can only grow on a busy machine, so the shortest stay
// of each frame is held against its delay.
TEST_F(AnimationTest, EachFrameStaysForItsOwnDelayAndTheLoopRestarts)
{
    OpenPath(SourcePath("samples/anim.gif"));
    ASSERT_NE(View().m_pImage, nullptr);
    EXPECT_EQ(View().m_animation.m_nFrameCount, kFrames);
    const UINT delays[kFrames] = {View().GetFrameDelayMs(0), View().GetFrameDelayMs(1), View().GetFrameDelayMs(2)};
    EXPECT_EQ(delays[0], 100u);
    EXPECT_EQ(delays[1], 200u);
    EXPECT_EQ(delays[2], 300u);

    struct Tick {
        int endedFrame;
        DWORD at;
    };
    std::vector<Tick> ticks;
    HWND hView = View().m_hWnd;
    MessageLog log;
    log.WatchPosted([&](const MessageLog::Entry& e) {
        if (e.hwnd == hView && e.message == WM_TIMER && e.wParam == kFrameTimer)
            ticks.push_back({View().m_animation.m_nCurFrame, e.time});
    });
    // Between the ticks the view shows the frame it is at, in that frame's colour.
    int wrongColours = 0;
    std::vector<DWORD> stays[kFrames];
    auto twoStaysOfEachFrame = [&] {
        wrongColours += ShownAt(hView, POINT{150, 110}) != kFrameColours[View().m_animation.m_nCurFrame];
        for (auto& s : stays)
            s.clear();
        for (size_t i = 1; i < ticks.size(); ++i)
            stays[ticks[i].endedFrame].push_back(ticks[i].at - ticks[i - 1].at);
        return stays[0].size() >= 2 && stays[1].size() >= 2 && stays[2].size() >= 2;
    };
    ASSERT_TRUE(PumpUntil(twoStaysOfEachFrame, 3 * kCycleBudgetMs)) << ticks.size() << " ticks";
    EXPECT_EQ(wrongColours, 0) << "times the view showed another frame's colour";

    std::string order;
    for (const Tick& t : ticks)
        order += std::to_string(t.endedFrame) + " ";
    for (size_t i = 1; i < ticks.size(); ++i)
        ASSERT_EQ(ticks[i].endedFrame, (ticks[i - 1].endedFrame + 1) % kFrames)
            << "frames ended by the ticks: " << order;

    DWORD shortest[kFrames];
    for (int f = 0; f < kFrames; ++f) {
        shortest[f] = *std::min_element(stays[f].begin(), stays[f].end());
        EXPECT_GE(shortest[f] + kTimerGranularityMs, delays[f]) << "frame " << f << " went before its delay";
    }
    EXPECT_GT(shortest[1], shortest[0]) << "frame 1 stays longer than frame 0";
    EXPECT_GT(shortest[2], shortest[1]) << "frame 2 stays longer than frame 1";
}

TEST_F(AnimationTest, StillPicturesArmNoFrameTimer)
{
    std::string bmp = m_folder.File("still.bmp");
    ASSERT_TRUE(WriteBmp(bmp, 200, 150, [](int x, int y) { return AsymmetricPixel(x, y, 200, 150); }));
    for (const std::string& path : {bmp, SourcePath("samples/sample.png"), SourcePath("samples/photo.jpg")}) {
        SCOPED_TRACE(path);
        OpenPath(path);
        ASSERT_NE(View().m_pImage, nullptr);
        EXPECT_LE(View().m_animation.m_nFrameCount, 1);
        EXPECT_FALSE(FrameTimerArmed(View().m_hWnd));
    }
}

TEST_F(AnimationTest, PagesOfAMultiPagePictureDoNotPlay)
{
    OpenPath(SourcePath("samples/pages.tif"));
    ASSERT_NE(View().m_pImage, nullptr);
    EXPECT_EQ(View().m_animation.m_nFrameCount, 2);
    EXPECT_FALSE(FrameTimerArmed(View().m_hWnd));
    Capture cap = CaptureClient(View().m_hWnd);
    ASSERT_GT(cap.width, 100);
    EXPECT_EQ(cap.At(110, 5), 0xC03030u) << "the first page is shown";
}

TEST_F(AnimationTest, ANewLoadStopsTheAnimationAndAnAnimatedOneRestartsAtFrameZero)
{
    OpenPath(SourcePath("samples/anim.gif"));
    ASSERT_TRUE(FrameTimerArmed(View().m_hWnd));
    ASSERT_TRUE(PumpUntilFrame(1)) << "the animation moves on";
    std::string bmp = m_folder.File("after.bmp");
    ASSERT_TRUE(WriteBmp(bmp, 200, 150, [](int, int) { return 0x808080u; }));
    OpenPath(bmp);
    EXPECT_FALSE(FrameTimerArmed(View().m_hWnd));
    EXPECT_EQ(View().m_animation.m_nCurFrame, 0);
    PumpMessages();
    Capture cap = CaptureClient(View().m_hWnd);
    EXPECT_EQ(cap.At(100, 100), 0x808080u);

    // Checked before any message is handled: on a busy machine the first
    // frame's delay may already have passed by the time a pump returns.
    View().LoadImageFile(SourcePath("samples/anim.gif").c_str());
    EXPECT_EQ(View().m_animation.m_nCurFrame, 0);
    EXPECT_TRUE(FrameTimerArmed(View().m_hWnd));
}

TEST_F(AnimationTest, ATurnedAnimationKeepsPlaying)
{
    OpenPath(SourcePath("samples/anim.gif"));
    Command(ID_ROTATE_RIGHT);
    SIZE view = ClientSizeOf(View().m_hWnd);
    EXPECT_EQ(view.cx, 120);
    EXPECT_EQ(view.cy, 160);
    // Bottom-left of the turned picture is the stored bottom-right corner:
    // each frame in turn is painted there.
    const int turnedAt = View().m_animation.m_nCurFrame;
    for (int i = 1; i <= kFrames; ++i) {
        const int frame = (turnedAt + i) % kFrames;
        ASSERT_TRUE(PumpUntilFrame(frame)) << "frames keep changing after the turn";
        EXPECT_EQ(ShownAt(View().m_hWnd, POINT{5, 150}), kFrameColours[frame]) << "frame " << frame;
    }
}
