// Animated pictures: each frame for its own delay, the restart on a new
// load, still pictures and pages that do not play, and rotation while playing.
#include "GuiHarness.h"

namespace {

// The frames of samples/anim.gif fill their background with these colours.
constexpr uint32_t kFrameColours[] = {0xFF0000, 0x00FF00, 0x0000FF};

int FrameOfColour(uint32_t colour)
{
    for (int i = 0; i < 3; ++i)
        if (colour == kFrameColours[i])
            return i;
    return -1;
}

struct Shown {
    int frame;
    DWORD at;
};

// Watches one pixel of the view for ms milliseconds and lists the frames
// that appeared, with the time each was first seen.
std::vector<Shown> WatchFrames(HWND hView, POINT probe, DWORD ms)
{
    std::vector<Shown> seen;
    DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < ms) {
        PumpMessages();
        HDC hdc = ::GetDC(hView);
        COLORREF c = ::GetPixel(hdc, probe.x, probe.y);
        ::ReleaseDC(hView, hdc);
        int frame = FrameOfColour((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
        if (frame >= 0 && (seen.empty() || seen.back().frame != frame))
            seen.push_back({frame, ::GetTickCount()});
        ::Sleep(2);
    }
    return seen;
}

bool FrameTimerArmed(HWND hView)
{
    // Killing a timer that does not exist fails; one that did is re-armed.
    if (!::KillTimer(hView, 2))
        return false;
    ::SetTimer(hView, 2, 10, nullptr);
    return true;
}

} // namespace

class AnimationTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(CreateFrame());
        // At 100 percent the 160 x 120 picture keeps its size also turned.
        View().m_settings.m_nZoomMode = ZOOM_PERCENT;
        View().m_settings.m_nZoomValue = 100;
    }
    TempFolder m_folder{"anim"};
};

TEST_F(AnimationTest, EachFrameStaysForItsOwnDelayAndTheLoopRestarts)
{
    OpenPath(SourcePath("samples/anim.gif"));
    ASSERT_NE(View().m_pImage, nullptr);
    EXPECT_EQ(View().m_nFrameCount, 3);
    EXPECT_EQ(View().GetFrameDelayMs(0), 100u);
    EXPECT_EQ(View().GetFrameDelayMs(1), 200u);
    EXPECT_EQ(View().GetFrameDelayMs(2), 300u);
    std::vector<Shown> seen = WatchFrames(View().m_hWnd, POINT{150, 110}, 1400);
    // Find a full cycle 0, 1, 2, 0 and measure how long each frame stayed.
    size_t at = 0;
    while (at < seen.size() && seen[at].frame != 1)
        ++at;
    std::string order;
    for (const Shown& s : seen)
        order += std::to_string(s.frame) + "@" + std::to_string(s.at - seen[0].at) + " ";
    ASSERT_GE(seen.size(), at + 3) << "too few frame changes seen: " << order;
    ASSERT_GE(at, 1u);
    EXPECT_EQ(seen[at - 1].frame, 0);
    EXPECT_EQ(seen[at + 1].frame, 2);
    EXPECT_EQ(seen[at + 2].frame, 0);
    DWORD frame1 = seen[at + 1].at - seen[at].at;
    DWORD frame2 = seen[at + 2].at - seen[at + 1].at;
    // Timer granularity and the paint add a little; the order of the delays must show.
    EXPECT_NEAR(static_cast<double>(frame1), 200.0, 60.0);
    EXPECT_NEAR(static_cast<double>(frame2), 300.0, 60.0);
    if (at + 3 < seen.size()) {
        EXPECT_EQ(seen[at + 3].frame, 1);
        EXPECT_NEAR(static_cast<double>(seen[at + 3].at - seen[at + 2].at), 100.0, 60.0);
    }
}

TEST_F(AnimationTest, StillPicturesArmNoFrameTimer)
{
    std::string bmp = m_folder.File("still.bmp");
    ASSERT_TRUE(WriteBmp(bmp, 200, 150, [](int x, int y) { return AsymmetricPixel(x, y, 200, 150); }));
    for (const std::string& path : {bmp, SourcePath("samples/sample.png"), SourcePath("samples/photo.jpg")}) {
        SCOPED_TRACE(path);
        OpenPath(path);
        ASSERT_NE(View().m_pImage, nullptr);
        EXPECT_LE(View().m_nFrameCount, 1);
        EXPECT_FALSE(FrameTimerArmed(View().m_hWnd));
    }
}

TEST_F(AnimationTest, PagesOfAMultiPagePictureDoNotPlay)
{
    OpenPath(SourcePath("samples/pages.tif"));
    ASSERT_NE(View().m_pImage, nullptr);
    EXPECT_EQ(View().m_nFrameCount, 2);
    EXPECT_FALSE(FrameTimerArmed(View().m_hWnd));
    Capture cap = CaptureClient(View().m_hWnd);
    ASSERT_GT(cap.width, 100);
    EXPECT_EQ(cap.At(110, 5), 0xC03030u) << "the first page is shown";
}

TEST_F(AnimationTest, ANewLoadStopsTheAnimationAndAnAnimatedOneRestartsAtFrameZero)
{
    OpenPath(SourcePath("samples/anim.gif"));
    ASSERT_TRUE(FrameTimerArmed(View().m_hWnd));
    PumpMessages(250);
    std::string bmp = m_folder.File("after.bmp");
    ASSERT_TRUE(WriteBmp(bmp, 200, 150, [](int, int) { return 0x808080u; }));
    OpenPath(bmp);
    EXPECT_FALSE(FrameTimerArmed(View().m_hWnd));
    EXPECT_EQ(View().m_nCurFrame, 0);
    PumpMessages(150);
    Capture cap = CaptureClient(View().m_hWnd);
    EXPECT_EQ(cap.At(100, 100), 0x808080u);

    OpenPath(SourcePath("samples/anim.gif"));
    EXPECT_EQ(View().m_nCurFrame, 0);
    EXPECT_TRUE(FrameTimerArmed(View().m_hWnd));
}

TEST_F(AnimationTest, ATurnedAnimationKeepsPlaying)
{
    OpenPath(SourcePath("samples/anim.gif"));
    Command(ID_ROTATE_RIGHT);
    SIZE view = ClientSizeOf(View().m_hWnd);
    EXPECT_EQ(view.cx, 120);
    EXPECT_EQ(view.cy, 160);
    // Bottom-left of the turned picture is the stored bottom-right corner.
    std::vector<Shown> seen = WatchFrames(View().m_hWnd, POINT{5, 150}, 800);
    EXPECT_GE(seen.size(), 3u) << "frames kept changing after the turn";
}

TEST_F(AnimationTest, FramesBeyondTheDelayListGetTheDefaultDelay)
{
    OpenPath(SourcePath("samples/anim.gif"));
    ASSERT_NE(View().m_pFrameDelays, nullptr);
    auto* item = static_cast<Gdiplus::PropertyItem*>(View().m_pFrameDelays);
    // Pretend the picture listed fewer delays than it has frames.
    item->length = 2 * sizeof(UINT32);
    EXPECT_EQ(View().GetFrameDelayMs(1), 200u);
    EXPECT_EQ(View().GetFrameDelayMs(2), 100u);
    EXPECT_EQ(View().GetFrameDelayMs(-1), 100u);
}
