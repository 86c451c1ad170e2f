// The start pulse: the frame stripped to the bare picture, one size per timer
// tick between full and half size around the picture's centre, and the look
// and place the settings ask for when it stops. The ticks are driven here by
// sending the timer message without pumping, so the real 20 ms timer never
// gets a turn.
#include "GuiHarness.h"
#include "support/MessageBoxCapture.h"

namespace {

uint32_t Pattern(int x, int y)
{
    return AsymmetricPixel(x, y, 400, 300);
}

DWORD Style(HWND h)
{
    return static_cast<DWORD>(::GetWindowLongPtrA(h, GWL_STYLE));
}
DWORD ExStyle(HWND h)
{
    return static_cast<DWORD>(::GetWindowLongPtrA(h, GWL_EXSTYLE));
}

POINT CentreOf(const RECT& r)
{
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
SIZE SizeOf(const RECT& r)
{
    return SIZE{r.right - r.left, r.bottom - r.top};
}

std::string Describe(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

class PulseTest : public FrameTest {
protected:
    // Creates the frame (with a settings file first, when given) and opens a
    // 400 x 300 picture.
    void Open(std::initializer_list<long long> settings = {})
    {
        if (settings.size() > 0)
            WriteSettingsInts(settings);
        ASSERT_TRUE(CreateFrame());
        ASSERT_TRUE(WriteBmp(m_path, 400, 300, Pattern));
        OpenPath(m_path);
        ASSERT_NE(View().m_pImage, nullptr);
    }
    // Start and stop as the view's Shift + click does, through the command
    // route, but without pumping.
    void Toggle() { m_pFrame->SendMessage(WM_COMMAND, ID_START); }
    void Tick() { m_pFrame->SendMessage(WM_TIMER, m_pFrame->m_nStartTimer); }
    HWND Frame() { return m_pFrame->m_hWnd; }
    // Caption, menu bar and status bar all there, or all gone.
    void ExpectFramed(bool bFramed)
    {
        EXPECT_EQ((Style(Frame()) & WS_CAPTION) != 0, bFramed);
        EXPECT_EQ((ExStyle(Frame()) & WS_EX_TOOLWINDOW) == 0, bFramed);
        EXPECT_EQ(m_pFrame->m_wndMenuBar.IsWindowVisible() != FALSE, bFramed);
        EXPECT_EQ((m_pFrame->m_wndStatusBar.GetStyle() & WS_VISIBLE) != 0, bFramed);
    }

    TempFolder m_folder{"pulse"};
    std::string m_path = m_folder.File("pic.bmp");
};

TEST_F(PulseTest, OnePeriodShrinksToHalfAndGrowsBackAroundTheSameCentre)
{
    Open();
    Command(ID_ZOOM_100);
    RECT viewBefore = WindowRectOf(View().m_hWnd);
    Toggle();
    ASSERT_NE(m_pFrame->m_nStartTimer, 0u);
    EXPECT_TRUE(View().m_bCoverView);
    EXPECT_TRUE(SameRect(WindowRectOf(View().m_hWnd), viewBefore))
        << "the picture moved from " << Describe(viewBefore) << " to " << Describe(WindowRectOf(View().m_hWnd));
    ExpectFramed(false);

    const POINT centre = CentreOf(viewBefore);
    std::vector<SIZE> sizes;
    for (int tick = 0; tick <= 250; ++tick) {
        Tick();
        RECT frame = WindowRectOf(Frame());
        POINT c = CentreOf(frame);
        ASSERT_TRUE(c.x == centre.x && c.y == centre.y) << "tick " << tick << ": " << Describe(frame);
        ASSERT_TRUE(SameRect(WindowRectOf(View().m_hWnd), frame)) << "tick " << tick << ": the bare picture only";
        sizes.push_back(SizeOf(frame));
    }
    // Phase 0, 250 and 500 (the next period's 0) come at ticks 0, 125 and 250.
    EXPECT_EQ(sizes[0].cx, 400);
    EXPECT_EQ(sizes[0].cy, 300);
    EXPECT_EQ(sizes[125].cx, 200);
    EXPECT_EQ(sizes[125].cy, 150);
    EXPECT_EQ(sizes[250].cx, 400);
    EXPECT_EQ(sizes[250].cy, 300);
    for (size_t i = 1; i < sizes.size(); ++i) {
        const bool bShrinking = i <= 125;
        EXPECT_EQ(bShrinking ? sizes[i].cx <= sizes[i - 1].cx : sizes[i].cx >= sizes[i - 1].cx, true) << "tick " << i;
        EXPECT_EQ(bShrinking ? sizes[i].cy <= sizes[i - 1].cy : sizes[i].cy >= sizes[i - 1].cy, true) << "tick " << i;
    }
    EXPECT_TRUE(IsCommandChecked(ID_START));
}

TEST_F(PulseTest, StartWhileFramelessKeepsTheWindowAndTheFirstTickSetsTheSize)
{
    // Frameless, fixed maximum width 800: the pulse's base is 800 x 600
    // although the picture is shown at its own 400 x 300.
    Open({5, 1, 800, ZOOM_FIX_WIDTH, 1, 100, 0, 0, 0, 0});
    RECT before = WindowRectOf(Frame());
    ASSERT_EQ(SizeOf(before).cx, 400);
    const DWORD styleBefore = Style(Frame());
    Toggle();
    ASSERT_NE(m_pFrame->m_nStartTimer, 0u);
    EXPECT_TRUE(SameRect(WindowRectOf(Frame()), before)) << Describe(WindowRectOf(Frame()));
    EXPECT_EQ(Style(Frame()), styleBefore);
    Tick();
    RECT first = WindowRectOf(Frame());
    EXPECT_EQ(SizeOf(first).cx, 800);
    EXPECT_EQ(SizeOf(first).cy, 600);
    EXPECT_EQ(CentreOf(first).x, CentreOf(before).x);
    EXPECT_EQ(CentreOf(first).y, CentreOf(before).y);
    // Stopping keeps the frameless look the settings ask for.
    Toggle();
    EXPECT_EQ(m_pFrame->m_nStartTimer, 0u);
    ExpectFramed(false);
    EXPECT_EQ(SizeOf(WindowRectOf(Frame())).cx, 400);
}

TEST_F(PulseTest, StopBringsTheFrameBackWithThePictureCentredWhereThePulseWas)
{
    Open();
    Command(ID_ZOOM_100);
    // Upright and turned: the picture's own size and its turned size.
    for (int turned = 0; turned < 2; ++turned) {
        SCOPED_TRACE(turned ? "turned" : "upright");
        if (turned)
            Command(ID_ROTATE_RIGHT);
        RECT viewBefore = WindowRectOf(View().m_hWnd);
        Toggle();
        for (int tick = 0; tick < 50; ++tick) // phase 100: 80 percent
            Tick();
        // 80 percent of the picture's own size: a turned picture pulses unturned.
        RECT pulse = WindowRectOf(Frame());
        EXPECT_EQ(SizeOf(pulse).cx, 320);
        EXPECT_EQ(SizeOf(pulse).cy, 240);
        Toggle();
        PumpMessages();
        EXPECT_EQ(m_pFrame->m_nStartTimer, 0u);
        EXPECT_FALSE(View().m_bCoverView);
        EXPECT_FALSE(IsCommandChecked(ID_START));
        ExpectFramed(true);
        EXPECT_TRUE(::IsWindowVisible(Frame()));
        RECT viewAfter = WindowRectOf(View().m_hWnd);
        EXPECT_TRUE(SameRect(viewAfter, viewBefore)) << Describe(viewBefore) << " came back at " << Describe(viewAfter);
        EXPECT_EQ(CentreOf(viewAfter).x, CentreOf(pulse).x);
        EXPECT_EQ(CentreOf(viewAfter).y, CentreOf(pulse).y);
    }
}

TEST_F(PulseTest, FailedLoadWhilePulsingEndsThePulseAndBringsTheFrameBack)
{
    Open();
    Command(ID_ZOOM_100);
    Toggle();
    for (int tick = 0; tick < 50; ++tick)
        Tick();
    POINT pulseCentre = CentreOf(WindowRectOf(Frame()));
    std::string bad = m_folder.File("bad.bmp");
    ASSERT_TRUE(WriteText(bad, "this is not a picture\r\n"));
    {
        MessageBoxCapture capture;
        OpenPath(bad);
        // The real timer may already have had its turn inside the message box.
        EXPECT_TRUE(PumpUntil([&] { return m_pFrame->m_nStartTimer == 0; }, 5000));
        EXPECT_EQ(capture.Count(), 1u);
    }
    EXPECT_EQ(View().m_pImage, nullptr);
    EXPECT_FALSE(View().m_bCoverView);
    ExpectFramed(true);
    EXPECT_TRUE(::IsWindowVisible(Frame()));
    POINT c = CentreOf(WindowRectOf(Frame()));
    EXPECT_LE(std::abs(c.x - pulseCentre.x), 1);
    EXPECT_LE(std::abs(c.y - pulseCentre.y), 1);
    EXPECT_FALSE(IsCommandEnabled(ID_START));
    EXPECT_FALSE(IsCommandChecked(ID_START));
}

TEST_F(PulseTest, StartAndStartupRegistrationNeedAPicture)
{
    ASSERT_TRUE(CreateFrame());
    EXPECT_FALSE(IsCommandEnabled(ID_START));
    EXPECT_FALSE(IsCommandEnabled(ID_STARTUP_REGISTER));
    // The view's Shift + click posts the command; disabled, it does nothing.
    m_pFrame->PostMessage(WM_COMMAND, ID_START);
    PumpMessages();
    EXPECT_EQ(m_pFrame->m_nStartTimer, 0u);
    EXPECT_TRUE(Style(Frame()) & WS_CAPTION);

    ASSERT_TRUE(WriteBmp(m_path, 400, 300, Pattern));
    OpenPath(m_path);
    EXPECT_TRUE(IsCommandEnabled(ID_START));
    EXPECT_FALSE(IsCommandChecked(ID_START));
    EXPECT_TRUE(IsCommandEnabled(ID_STARTUP_REGISTER));
}
