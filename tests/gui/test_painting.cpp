// What the view paints: every transform pixel by pixel, the refit after a
// quarter turn, the white margins and the cover mode.
#include "GuiHarness.h"
#include "support/MessageBoxCapture.h"
#include "view/ImageGeometry.h"

namespace {

// Odd sizes catch off-by-one shifts; both sides stay above the smallest
// width a captioned window can have, so the view can take the picture's size.
constexpr int kW = 181;
constexpr int kH = 131;

uint32_t Source(int x, int y) { return AsymmetricPixel(x, y, kW, kH); }

// The source pixel shown at display pixel (x, y): the picture is mirrored
// left-right first, then turned clockwise by quarter turns.
uint32_t ExpectedAt(int x, int y, int rotation, bool mirrored)
{
    int dw = (rotation % 2) ? kH : kW;
    int dh = (rotation % 2) ? kW : kH;
    // Undo the turns one at a time (a clockwise turn maps (u, v) of a w x h
    // picture to (h - 1 - v, u)).
    int u = x, v = y, w = dw, h = dh;
    for (int r = 0; r < rotation; ++r) {
        int nu = v, nv = w - 1 - u;
        u = nu;
        v = nv;
        std::swap(w, h);
    }
    if (mirrored)
        u = kW - 1 - u;
    return Source(u, v);
}

struct Transform {
    const char* name;
    int rotation;
    bool mirrored;
};

const Transform kTransforms[] = {
    {"as stored", 0, false},  {"90 cw", 1, false},        {"180", 2, false},         {"90 ccw", 3, false},
    {"mirrored", 0, true},    {"mirrored 90 cw", 1, true}, {"mirrored 180", 2, true}, {"mirrored 90 ccw", 3, true},
};

bool IsWhite(uint32_t px) { return px == 0xFFFFFF; }

} // namespace

class PaintTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(CreateFrame());
        // 100 percent: the picture is drawn at its own size, whatever the view.
        SetZoom(ZOOM_PERCENT, 100);
        m_path = m_folder.File("asym.bmp");
        ASSERT_TRUE(WriteBmp(m_path, kW, kH, Source));
    }
    TempFolder m_folder{"paint"};
    std::string m_path;
};

TEST_F(PaintTest, EveryTransformPaintsTheExactPixels)
{
    OpenPath(m_path);
    ASSERT_NE(View().m_pImage, nullptr);
    for (const Transform& t : kTransforms) {
        SCOPED_TRACE(t.name);
        View().m_nRotation = t.rotation;
        View().m_bMirrored = t.mirrored;
        m_pFrame->RefreshFrameStyle();
        PumpMessages();
        SIZE size = ClientSizeOf(View().m_hWnd);
        int dw = (t.rotation % 2) ? kH : kW;
        int dh = (t.rotation % 2) ? kW : kH;
        ASSERT_EQ(size.cx, dw);
        ASSERT_EQ(size.cy, dh);
        RepaintView();
        Capture cap = CaptureClient(View().m_hWnd);
        int wrong = 0;
        for (int y = 0; y < dh; ++y)
            for (int x = 0; x < dw; ++x)
                if (cap.At(x, y) != ExpectedAt(x, y, t.rotation, t.mirrored) && wrong++ < 3)
                    ADD_FAILURE() << "pixel (" << x << "," << y << ") is " << std::hex << cap.At(x, y)
                                  << ", expected " << ExpectedAt(x, y, t.rotation, t.mirrored);
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(PaintTest, TheRotateAndFlipCommandsTurnThePictureAsSeen)
{
    OpenPath(m_path);
    ASSERT_TRUE(IsCommandEnabled(ID_ROTATE_RIGHT));
    struct Step {
        UINT command;
        int rotation;
        bool mirrored;
    } steps[] = {
        {ID_ROTATE_RIGHT, 1, false}, {ID_FLIP_HORIZONTAL, 3, true}, {ID_FLIP_VERTICAL, 3, false},
        {ID_ROTATE_LEFT, 2, false},  {ID_FLIP_VERTICAL, 0, true},   {ID_FLIP_HORIZONTAL, 0, false},
    };
    for (const Step& s : steps) {
        Command(s.command);
        EXPECT_EQ(View().m_nRotation, s.rotation) << "after command " << s.command;
        EXPECT_EQ(View().m_bMirrored != FALSE, s.mirrored) << "after command " << s.command;
        Capture cap = CaptureClient(View().m_hWnd);
        ASSERT_EQ(cap.width, (s.rotation % 2) ? kH : kW);
        EXPECT_EQ(cap.At(0, 0), ExpectedAt(0, 0, s.rotation, s.mirrored));
        EXPECT_EQ(cap.At(cap.width - 1, cap.height - 1),
                  ExpectedAt(cap.width - 1, cap.height - 1, s.rotation, s.mirrored));
    }
}

TEST_F(PaintTest, FrameRefitsAfterAQuarterTurnAndKeepsItsCorner)
{
    std::string wide = m_folder.File("wide.bmp");
    ASSERT_TRUE(WriteBmp(wide, 320, 180, Source));
    OpenPath(wide);
    RECT before = WindowRectOf(m_pFrame->m_hWnd);
    SIZE view = ClientSizeOf(View().m_hWnd);
    EXPECT_EQ(view.cx, 320);
    EXPECT_EQ(view.cy, 180);
    Command(ID_ROTATE_RIGHT);
    view = ClientSizeOf(View().m_hWnd);
    EXPECT_EQ(view.cx, 180);
    EXPECT_EQ(view.cy, 320);
    RECT after = WindowRectOf(m_pFrame->m_hWnd);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    // The view sits inside the frame's borders exactly as before the turn.
    RECT viewRect = WindowRectOf(View().m_hWnd);
    EXPECT_EQ(after.right - viewRect.right, viewRect.left - after.left);
    EXPECT_TRUE(::IsWindowVisible(m_pFrame->m_hWnd));
}

TEST_F(PaintTest, FreeZoomMarginsAreWhiteAndCoverModeHasNone)
{
    // 7 x 3 in a 10 x 10 view: the free factor covers the view, the drawn
    // picture is a pixel shorter than the bitmap, and that strip is white.
    SetZoom(ZOOM_ANY, 0);
    std::string small = m_folder.File("small.bmp");
    ASSERT_TRUE(WriteBmp(small, 7, 3, [](int x, int y) { return AsymmetricPixel(x, y, 7, 3); }));
    OpenPath(small);
    ASSERT_NE(View().m_pImage, nullptr);
    ::SetWindowPos(View().m_hWnd, nullptr, 0, 0, 10, 10, SWP_NOMOVE | SWP_NOZORDER);
    RepaintView();
    SIZE display = ComputeDisplaySize(7, 3, ZOOM_ANY, 0, View().m_dFreeZoom, 0);
    DrawnSize drawn = ComputeDrawnSize(7, 3, display.cx, display.cy, ZOOM_ANY, 0, false);
    ASSERT_LT(drawn.height, display.cy) << "the case needs a bottom margin";
    Capture cap = CaptureClient(View().m_hWnd);
    for (int y = drawn.height; y < std::min<int>(display.cy, cap.height); ++y)
        for (int x = 0; x < std::min(drawn.width, cap.width); ++x)
            EXPECT_TRUE(IsWhite(cap.At(x, y))) << "margin pixel (" << x << "," << y << ")";
    EXPECT_FALSE(IsWhite(cap.At(0, 0)));

    View().m_bCoverView = TRUE;
    RepaintView();
    cap = CaptureClient(View().m_hWnd);
    for (int y = 0; y < cap.height; ++y)
        for (int x = 0; x < cap.width; ++x)
            EXPECT_FALSE(IsWhite(cap.At(x, y))) << "cover pixel (" << x << "," << y << ")";
    View().m_bCoverView = FALSE;
}

TEST_F(PaintTest, EmptyViewShowsTheWindowColour)
{
    RepaintView();
    Capture cap = CaptureClient(View().m_hWnd);
    ASSERT_GT(cap.width, 0);
    COLORREF window = ::GetSysColor(COLOR_WINDOW);
    uint32_t expected = (GetRValue(window) << 16) | (GetGValue(window) << 8) | GetBValue(window);
    EXPECT_EQ(cap.At(cap.width / 2, cap.height / 2), expected);
}

TEST_F(PaintTest, PercentModeDrawsScaledAndReportsThePercent)
{
    std::string big = m_folder.File("big.bmp");
    ASSERT_TRUE(WriteBmp(big, 400, 300, Source));
    View().m_settings.m_nZoomValue = 50;
    OpenPath(big);
    SIZE view = ClientSizeOf(View().m_hWnd);
    EXPECT_EQ(view.cx, 200);
    EXPECT_EQ(view.cy, 150);
    EXPECT_EQ(View().m_nZoomPercent, 50);
    Command(ID_ROTATE_RIGHT);
    view = ClientSizeOf(View().m_hWnd);
    EXPECT_EQ(view.cx, 150);
    EXPECT_EQ(view.cy, 200);
    EXPECT_EQ(std::string(m_pFrame->m_wndStatusBar.GetPaneText(0)), "KEP - 400 x 300 : 50 % ");
}
