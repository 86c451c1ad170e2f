// What the view paints: every transform pixel by pixel, the refit after a
// quarter turn, the white margins and the cover mode.
#include "GuiHarness.h"
#include "support/MessageBoxCapture.h"
#include "PixelTransform.h"
#include "view/ImageGeometry.h"

#include <gdiplus.h>

namespace {

// Odd sizes catch off-by-one shifts; both sides stay above the smallest
// width a captioned window can have, so the view can take the picture's size.
constexpr int kW = 181;
constexpr int kH = 131;

uint32_t Source(int x, int y)
{
    return AsymmetricPixel(x, y, kW, kH);
}

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
    {"as stored", 0, false}, {"90 cw", 1, false},         {"180", 2, false},         {"90 ccw", 3, false},
    {"mirrored", 0, true},   {"mirrored 90 cw", 1, true}, {"mirrored 180", 2, true}, {"mirrored 90 ccw", 3, true},
};

bool IsWhite(uint32_t px)
{
    return px == 0xFFFFFF;
}

// The largest difference of one colour channel between two 0x00RRGGBB pixels.
int ChannelDistance(uint32_t a, uint32_t b)
{
    int worst = 0;
    for (int shift : {0, 8, 16})
        worst =
            std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return worst;
}

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
                    ADD_FAILURE() << "pixel (" << x << "," << y << ") is " << std::hex << cap.At(x, y) << ", expected "
                                  << ExpectedAt(x, y, t.rotation, t.mirrored);
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

namespace {

// What a plain paint shows for a picture scaled to drawn (the whole picture
// decoded from its file, drawn by GDI+ into a new bitmap, then turned): the
// display's pixels, 0x00RRGGBB, dw x dh.
std::vector<uint32_t> PlainPaint(const std::string& path, SIZE drawn, int rotation, bool mirrored)
{
    using namespace Gdiplus::DllExports;
    std::vector<uint32_t> bitmap(static_cast<size_t>(drawn.cx) * drawn.cy);
    Gdiplus::GpImage* pImage = nullptr;
    std::wstring wide(path.begin(), path.end());
    if (GdipLoadImageFromFile(wide.c_str(), &pImage) != Gdiplus::Ok)
        return {};
    HDC hdcScreen = ::GetDC(nullptr);
    HDC hdc = ::CreateCompatibleDC(hdcScreen);
    HBITMAP hbm = ::CreateCompatibleBitmap(hdcScreen, drawn.cx, drawn.cy);
    HGDIOBJ old = ::SelectObject(hdc, hbm);
    Gdiplus::GpGraphics* pGraphics = nullptr;
    GdipCreateFromHDC(hdc, &pGraphics);
    GdipDrawImageRectI(pGraphics, pImage, 0, 0, drawn.cx, drawn.cy);
    GdipDeleteGraphics(pGraphics);
    GdipDisposeImage(pImage);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = drawn.cx;
    bi.bmiHeader.biHeight = -drawn.cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    ::SelectObject(hdc, old);
    ::GetDIBits(hdc, hbm, 0, static_cast<UINT>(drawn.cy), bitmap.data(), &bi, DIB_RGB_COLORS);
    ::DeleteObject(hbm);
    ::DeleteDC(hdc);
    ::ReleaseDC(nullptr, hdcScreen);

    const SIZE display = IsQuarterTurn(rotation) ? SIZE{drawn.cy, drawn.cx} : drawn;
    POINT pts[3];
    TransformDestinationPoints(rotation, mirrored, display.cx, display.cy, pts);
    PlgAxes axes;
    RECT bounds;
    GetPlgAxes(pts, &axes, &bounds);
    std::vector<uint32_t> shown(static_cast<size_t>(display.cx) * display.cy);
    TransformPixels(bitmap.data(), drawn.cx * 4, drawn.cx, drawn.cy, shown.data(), display.cx * 4, axes);
    for (uint32_t& px : shown)
        px &= 0x00FFFFFF;
    return shown;
}

} // namespace

// The paint draws only what shows, from a copy of the picture, into a bitmap
// it keeps: scaled down and up, turned, in a view smaller than the display
// and after a partial invalidation, every pixel is still the one a plain
// paint gives.
// The second picture is partly transparent: nothing painted before may show
// through it. (GDI+ rounds the blend of a scaled translucent picture drawn in
// part one level apart here and there, so it gets that much leeway.)
TEST_F(PaintTest, FastPaintsMatchAPlainPaintPixelForPixel)
{
    const std::string translucent = m_folder.File("translucent.png");
    ASSERT_TRUE(WritePng(translucent, kW, kH, [](int x, int y) {
        return static_cast<uint32_t>((x * 7 + y * 3) % 256) << 24 | Source(x, y);
    }));
    for (const std::string& path : {m_path, translucent}) {
        const int leeway = path == translucent ? 1 : 0;
        OpenPath(path);
        ASSERT_NE(View().m_pImage, nullptr);
        for (int percent : {100, 50, 73, 150}) {
            View().m_settings.m_nZoomValue = percent;
            const SIZE drawn = {kW * percent / 100, kH * percent / 100};
            for (const Transform& t : kTransforms) {
                SCOPED_TRACE(path + ", " + t.name + " at " + std::to_string(percent) + " %");
                View().m_nRotation = t.rotation;
                View().m_bMirrored = t.mirrored;
                m_pFrame->RefreshFrameStyle();
                PumpMessages();
                const std::vector<uint32_t> expected = PlainPaint(path, drawn, t.rotation, t.mirrored);
                ASSERT_FALSE(expected.empty());
                const int dw = IsQuarterTurn(t.rotation) ? drawn.cy : drawn.cx;
                const int dh = IsQuarterTurn(t.rotation) ? drawn.cx : drawn.cy;
                // The view a little smaller than the display, then a part of it
                // invalidated on its own.
                const SIZE view = ClientSizeOf(View().m_hWnd);
                ::SetWindowPos(View().m_hWnd, nullptr, 0, 0, view.cx - 7, view.cy - 5, SWP_NOMOVE | SWP_NOZORDER);
                RepaintView();
                RECT part = {3, 4, 40, 30};
                ::RedrawWindow(View().m_hWnd, &part, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
                PumpMessages();
                const Capture cap = CaptureClient(View().m_hWnd);
                // (A captioned window may keep the view wider than a small display.)
                int wrong = 0;
                for (int y = 0; y < std::min(cap.height, dh); ++y)
                    for (int x = 0; x < std::min(cap.width, dw); ++x)
                        if (ChannelDistance(cap.At(x, y), expected[static_cast<size_t>(y) * dw + x]) > leeway &&
                            wrong++ < 3)
                            ADD_FAILURE() << "pixel (" << x << "," << y << ") is " << std::hex << cap.At(x, y)
                                          << ", a plain paint gives " << expected[static_cast<size_t>(y) * dw + x];
                EXPECT_EQ(wrong, 0);
            }
        }
    }
}

// While the pulse runs, each tick scales a copy drawn once at the largest
// size instead of the picture: the frames must look like a full draw.
TEST_F(PaintTest, PulseFramesLookLikeAFullDraw)
{
    for (const std::string& photo : {SourcePath("samples/photo.jpg"), m_path}) {
        OpenPath(photo);
        ASSERT_NE(View().m_pImage, nullptr);
        const int W = View().m_nImageWidth;
        const int H = View().m_nImageHeight;
        View().m_bCoverView = TRUE;
        // The first tick paints at the full size and makes the copy.
        ::SetWindowPos(View().m_hWnd, nullptr, 0, 0, W, H, SWP_NOMOVE | SWP_NOZORDER);
        RepaintView();
        int worst = 0;
        double total = 0;
        long long count = 0;
        for (int percent : {90, 75, 62, 50}) {
            SCOPED_TRACE(percent);
            const SIZE size = {W * percent / 100, H * percent / 100};
            ::SetWindowPos(View().m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
            RepaintView();
            const Capture cap = CaptureClient(View().m_hWnd);
            const SIZE view = ClientSizeOf(View().m_hWnd);
            const DrawnSize drawn = ComputeDrawnSize(W, H, view.cx, view.cy, ZOOM_PERCENT, 100, true);
            const std::vector<uint32_t> full = PlainPaint(photo, SIZE{drawn.width, drawn.height}, 0, false);
            for (int y = 0; y < std::min<int>(view.cy, drawn.height); ++y) {
                for (int x = 0; x < std::min<int>(view.cx, drawn.width); ++x) {
                    const uint32_t a = cap.At(x, y);
                    const uint32_t b = full[static_cast<size_t>(y) * drawn.width + x];
                    for (int shift : {0, 8, 16}) {
                        const int d =
                            std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
                        worst = std::max(worst, d);
                        total += d;
                        ++count;
                    }
                }
            }
        }
        View().m_bCoverView = FALSE;
        // Halftone from a copy drawn at the largest size: at most a few levels off.
        EXPECT_LE(worst, 8);
        EXPECT_LT(total / static_cast<double>(count), 1.0);
    }
}

// The cover size can fall a pixel short of the view: that strip shows black,
// never what the view showed before.
TEST_F(PaintTest, ACoverShortOfTheViewLeavesBlackNotAnEarlierPicture)
{
    const std::string white = m_folder.File("white.bmp");
    const std::string small = m_folder.File("small.bmp");
    ASSERT_TRUE(WriteBmp(white, 113, 80, [](int, int) { return 0xFFFFFFu; }));
    ASSERT_TRUE(WriteBmp(small, 50, 40, [](int x, int y) { return AsymmetricPixel(x, y, 50, 40); }));
    OpenPath(white);
    RepaintView();
    OpenPath(small);
    // A frame large enough to hold a view of 113 x 80 as it is set.
    ::SetWindowPos(m_pFrame->m_hWnd, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    View().m_bCoverView = TRUE;
    ::SetWindowPos(View().m_hWnd, nullptr, 0, 0, 113, 80, SWP_NOMOVE | SWP_NOZORDER);
    RepaintView();
    const SIZE view = ClientSizeOf(View().m_hWnd);
    const DrawnSize drawn = ComputeDrawnSize(50, 40, view.cx, view.cy, ZOOM_PERCENT, 100, true);
    ASSERT_LT(drawn.width, view.cx) << "the case needs a cover short of the view";
    const Capture cap = CaptureClient(View().m_hWnd);
    for (int y = 0; y < cap.height; ++y)
        for (int x = drawn.width; x < cap.width; ++x)
            EXPECT_EQ(cap.At(x, y), 0u) << "pixel (" << x << "," << y << ")";
    View().m_bCoverView = FALSE;
}

// A repaint of an unchanged view is one transfer from the kept part: a mark
// put into the kept bitmap shows on the screen then. A new zoom, turn or
// mirror, or a new picture, paints afresh, and the mark is gone.
TEST_F(PaintTest, AnUnchangedViewRepaintsFromTheKeptPartAndAnyChangeDrawsAfresh)
{
    constexpr COLORREF kMark = RGB(1, 2, 3);
    const auto markKept = [&] { ::SetPixelV(View().m_kept.GetDC(), 5, 5, kMark); };
    const auto markShows = [&] {
        RepaintView();
        return CaptureClient(View().m_hWnd).At(5, 5) == 0x010203u;
    };
    OpenPath(m_path);
    const struct {
        const char* change;
        std::function<void()> apply;
    } changes[] = {
        {"zoom", [&] { SetZoom(ZOOM_PERCENT, 50); }},
        {"turn", [&] { View().m_nRotation = 1; }},
        {"mirror", [&] { View().m_bMirrored = TRUE; }},
        {"picture", [&] { OpenPath(m_path); }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.change);
        RepaintView();
        markKept();
        EXPECT_TRUE(markShows()) << "the repaint did not come from the kept part";
        c.apply();
        EXPECT_FALSE(markShows()) << "the kept part outlived a change";
    }
}
