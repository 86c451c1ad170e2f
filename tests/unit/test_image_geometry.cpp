// Display sizes per zoom mode, the display rectangle, the free factor, the
// drawn size of a paint, and the rotation and mirror transform.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "PixelTransform.h"
#include "history/ThumbnailScale.h"
#include "view/ImageGeometry.h"
#include "view/PicturePaint.h"

namespace {

TEST(ImageGeometry, ZoomedSizePerMode)
{
    struct Case {
        const char* name;
        int W, H, mode, value;
        double freeZoom;
        int w0, h0;
    };
    const Case cases[] = {
        {"free half", 600, 300, ZOOM_ANY, 0, 0.5, 300, 150},
        {"free truncates", 601, 301, ZOOM_ANY, 0, 0.999, 600, 300},
        {"percent: 50 of 400x300", 400, 300, ZOOM_PERCENT, 50, 1.0, 200, 150},
        {"percent truncates", 333, 101, ZOOM_PERCENT, 30, 1.0, 99, 30},
        {"fixed height limits the height", 400, 1000, ZOOM_FIX_HEIGHT, 300, 1.0, 120, 300},
        {"fixed height below the limit", 1000, 400, ZOOM_FIX_HEIGHT, 500, 1.0, 1000, 400},
        {"fixed width limits the width", 600, 400, ZOOM_FIX_WIDTH, 300, 1.0, 300, 200},
        {"fixed width does not enlarge", 640, 480, ZOOM_FIX_WIDTH, 1000, 1.0, 640, 480},
        {"fixed width small image", 200, 100, ZOOM_FIX_WIDTH, 300, 1.0, 200, 100},
        {"fixed both tall image: height only", 400, 1000, ZOOM_FIX_BOTH, 300, 1.0, 120, 300},
        {"fixed both wide image: both steps", 1000, 400, ZOOM_FIX_BOTH, 300, 1.0, 300, 120},
        {"fixed both below both limits", 200, 100, ZOOM_FIX_BOTH, 300, 1.0, 200, 100},
        {"fixed width limit 0", 600, 400, ZOOM_FIX_WIDTH, 0, 1.0, 0, 0},
        {"fixed width negative truncates toward zero", 600, 400, ZOOM_FIX_WIDTH, -50, 1.0, -50, -33},
        {"fixed height negative", 600, 400, ZOOM_FIX_HEIGHT, -50, 1.0, -75, -50},
        {"fixed both negative keeps the fixed-height result", 600, 400, ZOOM_FIX_BOTH, -50, 1.0, -75, -50},
        {"unknown mode shows the image as it is", 600, 400, 7, 10, 0.5, 600, 400},
        {"percent product beyond 32 bits is clamped", 20000, 10, ZOOM_PERCENT, 1000000000, 1.0, INT_MAX, 100000000},
        {"fixed height product beyond 32 bits", 200000, 100000, ZOOM_FIX_HEIGHT, 50000, 1.0, 100000, 50000},
        {"free huge factor is clamped", 10, 10, ZOOM_ANY, 0, 1e300, INT_MAX, INT_MAX},
        {"free NaN factor gives 0", 10, 10, ZOOM_ANY, 0, std::nan(""), 0, 0},
        {"zero width", 0, 400, ZOOM_FIX_WIDTH, -5, 1.0, 0, 0},
        {"zero height with a negative limit", 400, 0, ZOOM_FIX_HEIGHT, -5, 1.0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SIZE s = ComputeZoomedSize(c.W, c.H, c.mode, c.value, c.freeZoom);
        EXPECT_EQ(c.w0, s.cx);
        EXPECT_EQ(c.h0, s.cy);
    }
}

TEST(ImageGeometry, DisplaySizeSwapsForQuarterTurns)
{
    const int expected[4][2] = {{200, 100}, {100, 200}, {200, 100}, {100, 200}};
    for (int rotation = 0; rotation < 4; ++rotation) {
        SCOPED_TRACE(rotation);
        // 400 x 200 at 50 %, as the frame refits it after each quarter turn.
        const SIZE d = ComputeDisplaySize(400, 200, ZOOM_PERCENT, 50, 1.0, rotation);
        EXPECT_EQ(expected[rotation][0], d.cx);
        EXPECT_EQ(expected[rotation][1], d.cy);
        const SIZE b = BitmapSizeForDisplay(d, rotation);
        EXPECT_EQ(200, b.cx);
        EXPECT_EQ(100, b.cy);
    }
    // The fixed height limits the image's own height, which a quarter turn
    // shows as the width.
    const SIZE turned = ComputeDisplaySize(400, 1000, ZOOM_FIX_HEIGHT, 300, 1.0, 1);
    EXPECT_EQ(300, turned.cx);
    EXPECT_EQ(120, turned.cy);
}

TEST(ImageGeometry, CenteredImageRect)
{
    struct Case {
        const char* name;
        RECT view;
        int dw, dh;
        RECT expected;
    };
    const Case cases[] = {
        {"centred", {100, 100, 500, 400}, 200, 150, {200, 175, 400, 325}},
        {"odd sizes truncate", {0, 0, 101, 51}, 33, 21, {34, 15, 67, 36}},
        {"negative centre truncates toward zero", {-5, -3, 0, 0}, 3, 3, {-3, -2, 0, 1}},
        {"empty display", {10, 10, 20, 20}, 0, 0, {15, 15, 15, 15}},
        {"negative display", {0, 0, 100, 100}, -50, -33, {75, 66, 25, 33}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SIZE display;
        display.cx = c.dw;
        display.cy = c.dh;
        const RECT r = CenteredImageRect(c.view, display);
        EXPECT_EQ(c.expected.left, r.left);
        EXPECT_EQ(c.expected.top, r.top);
        EXPECT_EQ(c.expected.right, r.right);
        EXPECT_EQ(c.expected.bottom, r.bottom);
    }
}

TEST(ImageGeometry, FreeZoomCoversTheView)
{
    struct Case {
        const char* name;
        int vw, vh, W, H, rotation;
        double zoom;
    };
    const Case cases[] = {
        {"halved", 300, 150, 600, 300, 0, 0.5},
        {"turned image fills the turned view", 200, 400, 400, 200, 1, 1.0},
        {"larger quotient wins", 300, 300, 600, 300, 0, 1.0},
        {"larger quotient wins when turned", 300, 150, 600, 300, 3, 1.0},
        {"enlarges", 1200, 100, 600, 300, 2, 2.0},
        {"empty image keeps the neutral factor", 300, 300, 0, 300, 0, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_DOUBLE_EQ(c.zoom, ComputeFreeZoom(c.vw, c.vh, c.W, c.H, c.rotation));
    }
}

TEST(ImageGeometry, DrawnSizeAndPercent)
{
    struct Case {
        const char* name;
        int W, H, bw, bh, mode, value;
        bool cover;
        int width, height, percent;
    };
    const Case cases[] = {
        {"free fits the bitmap", 600, 300, 300, 150, ZOOM_ANY, 0, false, 300, 150, 50},
        {"free smaller quotient", 600, 400, 150, 120, ZOOM_ANY, 0, false, 150, 100, 25},
        {"free after a truncated free size", 600, 300, 199, 99, ZOOM_ANY, 0, false, 198, 99, 33},
        {"percent: the value is the percent", 400, 200, 200, 100, ZOOM_PERCENT, 50, false, 200, 100, 50},
        {"fixed height limit", 400, 1000, 120, 300, ZOOM_FIX_HEIGHT, 300, false, 120, 300, 30},
        {"fixed height no limit", 400, 200, 400, 200, ZOOM_FIX_HEIGHT, 300, false, 400, 200, 100},
        {"fixed width limit", 600, 400, 300, 200, ZOOM_FIX_WIDTH, 300, false, 300, 200, 50},
        {"fixed width no limit", 200, 100, 200, 100, ZOOM_FIX_WIDTH, 300, false, 200, 100, 100},
        {"fixed both height step only", 400, 1000, 120, 300, ZOOM_FIX_BOTH, 300, false, 120, 300, 30},
        {"fixed both width step wins", 1000, 400, 300, 120, ZOOM_FIX_BOTH, 300, false, 300, 120, 30},
        {"fixed both no limit", 200, 100, 200, 100, ZOOM_FIX_BOTH, 300, false, 200, 100, 100},
        {"fixed width negative: the percent truncates", 600, 400, 0, 0, ZOOM_FIX_WIDTH, -50, false, -50, -33, -8},
        {"cover takes the larger quotient", 600, 400, 150, 120, ZOOM_ANY, 0, true, 180, 120, 30},
        {"cover overrides a fixed mode", 600, 400, 150, 120, ZOOM_FIX_WIDTH, 300, true, 180, 120, 30},
        {"cover at the full size", 600, 300, 300, 150, ZOOM_PERCENT, 50, true, 300, 150, 50},
        {"empty bitmap in the free mode", 600, 300, 0, 0, ZOOM_ANY, 0, false, 0, 0, 0},
        {"empty image", 0, 0, 100, 100, ZOOM_ANY, 0, true, 0, 0, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DrawnSize d = ComputeDrawnSize(c.W, c.H, c.bw, c.bh, c.mode, c.value, c.cover);
        EXPECT_EQ(c.width, d.width);
        EXPECT_EQ(c.height, d.height);
        EXPECT_EQ(c.percent, d.percent);
    }
}

// The arithmetic of a paint in the free mode after the user has resized the view.
TEST(ImageGeometry, FreeZoomPaintFillsTheDraggedView)
{
    const double zoom = ComputeFreeZoom(300, 150, 600, 300, 0);
    const SIZE display = ComputeDisplaySize(600, 300, ZOOM_ANY, 0, zoom, 0);
    const SIZE bitmap = BitmapSizeForDisplay(display, 0);
    const DrawnSize drawn = ComputeDrawnSize(600, 300, bitmap.cx, bitmap.cy, ZOOM_ANY, 0, false);
    EXPECT_EQ(300, drawn.width);
    EXPECT_EQ(150, drawn.height);
    EXPECT_EQ(50, drawn.percent);
    RECT strips[2];
    EXPECT_EQ(0, MarginRects(bitmap.cx, bitmap.cy, drawn.width, drawn.height, strips));
}

TEST(ImageGeometry, MarginStrips)
{
    RECT strips[2];
    ASSERT_EQ(2, MarginRects(200, 100, 198, 99, strips));
    EXPECT_EQ(198, strips[0].left);
    EXPECT_EQ(0, strips[0].top);
    EXPECT_EQ(200, strips[0].right);
    EXPECT_EQ(99, strips[0].bottom);
    EXPECT_EQ(0, strips[1].left);
    EXPECT_EQ(99, strips[1].top);
    EXPECT_EQ(198, strips[1].right); // the corner is left out
    EXPECT_EQ(100, strips[1].bottom);

    ASSERT_EQ(1, MarginRects(200, 100, 200, 99, strips));
    EXPECT_EQ(99, strips[0].top); // only the bottom strip
    ASSERT_EQ(1, MarginRects(200, 100, 198, 100, strips));
    EXPECT_EQ(198, strips[0].left);                        // only the right strip
    EXPECT_EQ(0, MarginRects(200, 100, 250, 120, strips)); // covered
}

// Screen geometry used to check the transform independently of its table:
// three corner points of a picture inside a box of w x h.
struct Picture {
    POINT pts[3];
    int w, h;
};

Picture TurnClockwise(const Picture& p)
{
    Picture q{{}, p.h, p.w};
    for (int i = 0; i < 3; ++i)
        q.pts[i] = POINT{p.h - p.pts[i].y, p.pts[i].x};
    return q;
}

Picture TurnCounterClockwise(const Picture& p)
{
    Picture q{{}, p.h, p.w};
    for (int i = 0; i < 3; ++i)
        q.pts[i] = POINT{p.pts[i].y, p.w - p.pts[i].x};
    return q;
}

Picture MirrorLeftRight(const Picture& p)
{
    Picture q = p;
    for (int i = 0; i < 3; ++i)
        q.pts[i].x = p.w - p.pts[i].x;
    return q;
}

Picture MirrorTopBottom(const Picture& p)
{
    Picture q = p;
    for (int i = 0; i < 3; ++i)
        q.pts[i].y = p.h - p.pts[i].y;
    return q;
}

const int kBw = 40, kBh = 30; // the bitmap, in the image's own orientation

Picture PictureOf(TransformState s)
{
    Picture p{{}, kBw, kBh};
    if (IsQuarterTurn(s.rotation)) {
        p.w = kBh;
        p.h = kBw;
    }
    TransformDestinationPoints(s.rotation, s.mirrored, p.w, p.h, p.pts);
    return p;
}

void ExpectSamePicture(const Picture& expected, const Picture& actual)
{
    EXPECT_EQ(expected.w, actual.w);
    EXPECT_EQ(expected.h, actual.h);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected.pts[i].x, actual.pts[i].x);
        EXPECT_EQ(expected.pts[i].y, actual.pts[i].y);
    }
}

std::string StateName(TransformState s)
{
    return std::string(s.mirrored ? "mirrored, " : "") + "rotation " + std::to_string(s.rotation);
}

const TransformState kAllStates[] = {
    {0, false}, {1, false}, {2, false}, {3, false}, {0, true}, {1, true}, {2, true}, {3, true},
};

// The picture is the bitmap mirrored first (when set), then turned clockwise.
TEST(ImageTransform, DestinationPointsMirrorThenTurn)
{
    for (const TransformState& s : kAllStates) {
        SCOPED_TRACE(StateName(s));
        Picture expected{{{0, 0}, {kBw, 0}, {0, kBh}}, kBw, kBh};
        if (s.mirrored)
            expected = MirrorLeftRight(expected);
        for (int i = 0; i < s.rotation; ++i)
            expected = TurnClockwise(expected);
        ExpectSamePicture(expected, PictureOf(s));
    }
    // Two rows as written in the transfer table.
    POINT pts[3];
    TransformDestinationPoints(1, false, 30, 40, pts);
    EXPECT_TRUE(pts[0].x == 30 && pts[0].y == 0 && pts[1].x == 30 && pts[1].y == 40 && pts[2].x == 0 && pts[2].y == 0);
    TransformDestinationPoints(3, true, 30, 40, pts);
    EXPECT_TRUE(pts[0].x == 0 && pts[0].y == 0 && pts[1].x == 0 && pts[1].y == 40 && pts[2].x == 30 && pts[2].y == 0);
}

// Each operation turns or flips the picture as seen on the screen, from
// every one of the eight states.
TEST(ImageTransform, OperationsActOnTheScreenPicture)
{
    for (const TransformState& s : kAllStates) {
        SCOPED_TRACE(StateName(s));
        const Picture before = PictureOf(s);
        {
            SCOPED_TRACE("RotateRight");
            ExpectSamePicture(TurnClockwise(before), PictureOf(RotateRightState(s)));
        }
        {
            SCOPED_TRACE("RotateLeft");
            ExpectSamePicture(TurnCounterClockwise(before), PictureOf(RotateLeftState(s)));
        }
        {
            SCOPED_TRACE("FlipHorizontal");
            ExpectSamePicture(MirrorLeftRight(before), PictureOf(FlipHorizontalState(s)));
        }
        {
            SCOPED_TRACE("FlipVertical");
            ExpectSamePicture(MirrorTopBottom(before), PictureOf(FlipVerticalState(s)));
        }
    }
}

TEST(ImageTransform, OperationSequences)
{
    for (const TransformState& s : kAllStates) {
        SCOPED_TRACE(StateName(s));
        TransformState t = s;
        for (int i = 0; i < 4; ++i)
            t = RotateRightState(t);
        EXPECT_TRUE(t.rotation == s.rotation && t.mirrored == s.mirrored) << "RotateRight x4";

        t = RotateLeftState(RotateRightState(s));
        EXPECT_TRUE(t.rotation == s.rotation && t.mirrored == s.mirrored) << "right then left";

        t = FlipHorizontalState(FlipHorizontalState(s));
        EXPECT_TRUE(t.rotation == s.rotation && t.mirrored == s.mirrored) << "FlipHorizontal x2";

        t = FlipVerticalState(FlipVerticalState(s));
        EXPECT_TRUE(t.rotation == s.rotation && t.mirrored == s.mirrored) << "FlipVertical x2";

        t = FlipVerticalState(FlipHorizontalState(s));
        EXPECT_EQ((s.rotation + 2) % 4, t.rotation) << "FlipHorizontal then FlipVertical";
        EXPECT_EQ(s.mirrored, t.mirrored);
    }
    // The flips change the rotation only where the state table says so.
    const int flipH[4] = {0, 3, 2, 1};
    const int flipV[4] = {2, 1, 0, 3};
    for (int r = 0; r < 4; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(flipH[r], FlipHorizontalState({r, false}).rotation);
        EXPECT_TRUE(FlipHorizontalState({r, false}).mirrored);
        EXPECT_EQ(flipV[r], FlipVerticalState({r, true}).rotation);
        EXPECT_FALSE(FlipVerticalState({r, true}).mirrored);
    }
}

// Pixels of a small picture, moved as the view and the camera move them.
struct Grid {
    int w, h;
    std::vector<int> px; // row by row
    int At(int x, int y) const { return px[static_cast<size_t>(y * w + x)]; }
    bool operator==(const Grid& o) const { return w == o.w && h == o.h && px == o.px; }
};

// Builds a w x h grid whose pixel (x, y) is f(x, y).
template <class F> Grid MakeGrid(int w, int h, F f)
{
    Grid g{w, h, std::vector<int>(static_cast<size_t>(w * h))};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            g.px[static_cast<size_t>(y * w + x)] = f(x, y);
    return g;
}

// The screen picture of a state: mirrored left-right first, then turned
// clockwise quarter by quarter.
Grid Show(TransformState s, Grid g)
{
    if (s.mirrored)
        g = MakeGrid(g.w, g.h, [&](int x, int y) { return g.At(g.w - 1 - x, y); });
    for (int i = 0; i < s.rotation; ++i)
        g = MakeGrid(g.h, g.w, [&](int x, int y) { return g.At(y, g.h - 1 - x); });
    return g;
}

// The upright picture, from what the orientation says of the stored grid:
// which side of the picture its first row and its first column show.
Grid Upright(int orientation, const Grid& s)
{
    enum Side {
        top,
        bottom,
        left,
        right
    };
    static const Side kRow0[8] = {top, top, bottom, bottom, left, right, right, left};
    static const Side kColumn0[8] = {left, right, right, left, top, top, bottom, bottom};
    const Side row0 = kRow0[orientation - 1];
    const Side column0 = kColumn0[orientation - 1];
    if (row0 == top || row0 == bottom) {
        return MakeGrid(s.w, s.h, [&](int x, int y) {
            return s.At(column0 == left ? x : s.w - 1 - x, row0 == top ? y : s.h - 1 - y);
        });
    }
    // Stored rows are upright columns, stored columns upright rows.
    return MakeGrid(
        s.h, s.w, [&](int x, int y) { return s.At(column0 == top ? y : s.w - 1 - y, row0 == left ? x : s.h - 1 - x); });
}

TEST(ImageTransform, ExifOrientationThenTheUsersTurns)
{
    const Grid stored = MakeGrid(3, 2, [](int x, int y) { return 10 * y + x; });
    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE("orientation " + std::to_string(o));
        const TransformState exif = ExifOrientationState(o);
        const Grid upright = Upright(o, stored);
        EXPECT_TRUE(Show(exif, stored) == upright) << "the stored picture shown upright";
        for (const TransformState& user : kAllStates) {
            EXPECT_TRUE(Show(Compose(exif, user), stored) == Show(user, upright)) << "then " << StateName(user);
        }
    }
    for (int bad : {0, 9, -1}) {
        const TransformState s = ExifOrientationState(bad);
        EXPECT_TRUE(s.rotation == 0 && !s.mirrored) << bad;
    }
}

} // namespace

// Transferring only the part of the bitmap that a paint region names gives
// exactly the visible pixels of the whole transfer, for all eight transforms.
TEST(PaintRegion, ThePartTransfersToTheSamePixelsAsTheWhole)
{
    const int bw = 7;
    const int bh = 5;
    std::vector<uint32_t> bitmap(bw * bh);
    for (int i = 0; i < bw * bh; ++i)
        bitmap[i] = static_cast<uint32_t>(i + 1);
    for (int mirrored = 0; mirrored < 2; ++mirrored) {
        for (int rotation = 0; rotation < 4; ++rotation) {
            SCOPED_TRACE(std::to_string(rotation) + (mirrored ? " mirrored" : ""));
            const SIZE display = IsQuarterTurn(rotation) ? SIZE{bh, bw} : SIZE{bw, bh};
            POINT pts[3];
            TransformDestinationPoints(rotation, mirrored != 0, display.cx, display.cy, pts);
            PlgAxes axes;
            RECT bounds;
            ASSERT_TRUE(GetPlgAxes(pts, &axes, &bounds));
            std::vector<uint32_t> whole(display.cx * display.cy);
            TransformPixels(bitmap.data(), bw * 4, bw, bh, whole.data(), display.cx * 4, axes);

            const RECT visible = {1, 2, 4, 100}; // cut by the display at the bottom
            const PaintRegion region = ComputePaintRegion(rotation, mirrored != 0, display, visible);
            ASSERT_FALSE(region.empty);
            const int sw = region.source.right - region.source.left;
            const int sh = region.source.bottom - region.source.top;
            std::vector<uint32_t> part(sw * sh);
            for (int y = 0; y < sh; ++y)
                for (int x = 0; x < sw; ++x)
                    part[y * sw + x] = bitmap[(region.source.top + y) * bw + region.source.left + x];
            PlgAxes partAxes;
            RECT partBounds;
            ASSERT_TRUE(GetPlgAxes(region.pts, &partAxes, &partBounds));
            EXPECT_EQ(partBounds.left, 1);
            EXPECT_EQ(partBounds.top, 2);
            EXPECT_EQ(partBounds.right, 4);
            EXPECT_EQ(partBounds.bottom, display.cy);
            const int pw = partBounds.right - partBounds.left;
            std::vector<uint32_t> moved(pw * (partBounds.bottom - partBounds.top));
            TransformPixels(part.data(), sw * 4, sw, sh, moved.data(), pw * 4, partAxes);
            for (int y = partBounds.top; y < partBounds.bottom; ++y)
                for (int x = partBounds.left; x < partBounds.right; ++x)
                    EXPECT_EQ(moved[(y - partBounds.top) * pw + x - partBounds.left], whole[y * display.cx + x])
                        << x << "," << y;
        }
    }
    EXPECT_TRUE(ComputePaintRegion(0, false, SIZE{7, 5}, RECT{10, 10, 20, 20}).empty);
    EXPECT_TRUE(ComputePaintRegion(0, false, SIZE{0, 0}, RECT{0, 0, 20, 20}).empty);
}

// A thumbnail averages the part of the picture each box pixel covers.
TEST(ThumbnailScale, EveryBoxPixelIsTheMeanOfItsPart)
{
    // 4 x 2 picture of 24-bit pixels (blue, green, red), rows padded to 12 bytes.
    const uint8_t picture[2][12] = {
        {10, 20, 30, 30, 40, 50, 200, 0, 0, 0, 0, 200},
        {10, 20, 30, 30, 40, 50, 0, 200, 0, 0, 0, 100},
    };
    uint32_t box[2] = {};
    ShrinkIntoBox(&picture[0][0], 12, 4, 2, 3, box, 2, 1);
    EXPECT_EQ(box[0], 0xFF281E14u); // (10+30)/2, (20+40)/2, (30+50)/2
    EXPECT_EQ(box[1], 0xFF4B3232u); // blue 200/4, green 200/4, red (200+100)/4
    // A box larger than the picture repeats its pixels.
    uint32_t large[8 * 4] = {};
    ShrinkIntoBox(&picture[0][0], 12, 4, 2, 3, large, 8, 4);
    EXPECT_EQ(large[0], 0xFF1E140Au);
    EXPECT_EQ(large[1], 0xFF1E140Au);
    EXPECT_EQ(large[8 * 3 + 7], 0xFF640000u);
}

// A camera's thumbnail stands in for its photo only when it shows all of it
// (the same aspect, within 1 %) and, upright, covers the whole box.
TEST(ThumbnailScale, ExifThumbnailIsUsedWhenItHasThePhotosAspectAndCoversTheBox)
{
    const TransformState asStored = ExifOrientationState(1);
    const TransformState turned = ExifOrientationState(6);
    const struct {
        SIZE thumbnail, picture;
        TransformState orientation;
        SIZE box;
        bool usable;
    } cases[] = {
        {{160, 120}, {4000, 3000}, asStored, {30, 30}, true},
        {{160, 120}, {4000, 3000}, asStored, {160, 120}, true},  // exactly the box
        {{160, 120}, {4000, 3000}, asStored, {161, 120}, false}, // a pixel short
        {{160, 120}, {4000, 3000}, asStored, {160, 121}, false},
        {{160, 106}, {6000, 4000}, asStored, {30, 30}, true},  // 0.6 % off
        {{160, 120}, {6000, 4000}, asStored, {30, 30}, false}, // 4:3 with bars for a 3:2 photo
        {{160, 118}, {4000, 3000}, asStored, {30, 30}, false}, // 1.7 % off
        {{120, 160}, {4000, 3000}, asStored, {30, 30}, false}, // stored turned against the photo
        {{160, 120}, {4000, 3000}, turned, {120, 160}, true},  // 120 x 160 upright
        {{160, 120}, {4000, 3000}, turned, {160, 120}, false},
        {{0, 120}, {4000, 3000}, asStored, {30, 30}, false},
        {{160, 120}, {4000, 0}, asStored, {30, 30}, false},
        {{160, 120}, {4000, 3000}, asStored, {0, 0}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsExifThumbnailUsable(c.thumbnail, c.picture, c.orientation, c.box), c.usable)
            << c.thumbnail.cx << " x " << c.thumbnail.cy << " of " << c.picture.cx << " x " << c.picture.cy << " in "
            << c.box.cx << " x " << c.box.cy << ", turned " << c.orientation.rotation;
    }
}

// The off-screen bitmap holds the picture as stored: the picture and its
// margins, laid out upright, are put where the orientation takes them back.
TEST(PaintLayout, UprightPlacesTurnBackIntoTheStoredBitmap)
{
    struct Case {
        int orientation;
        SIZE stored;
        RECT picture, margin;
    } cases[] = {
        // A 1-pixel strip below the upright picture (300 x 400 in 300 x 401).
        {1, {300, 401}, {0, 0, 300, 400}, {0, 400, 300, 401}},
        {6, {401, 300}, {0, 0, 400, 300}, {400, 0, 401, 300}}, // turned clockwise to stand
        {8, {401, 300}, {1, 0, 401, 300}, {0, 0, 1, 300}},     // turned counter-clockwise
        {3, {300, 401}, {0, 1, 300, 401}, {0, 0, 300, 1}},     // upside down
        {2, {300, 401}, {0, 0, 300, 400}, {0, 400, 300, 401}}, // mirrored
    };
    for (const Case& c : cases) {
        const PaintLayout layout = LayOutPaint(ExifOrientationState(c.orientation), SIZE{300, 401}, {300, 400, 100});
        EXPECT_TRUE(layout.bitmap.cx == c.stored.cx && layout.bitmap.cy == c.stored.cy) << c.orientation;
        EXPECT_TRUE(EqualRect(&layout.picture, &c.picture)) << c.orientation;
        ASSERT_EQ(layout.nMargins, 1) << c.orientation;
        EXPECT_TRUE(EqualRect(&layout.margins[0], &c.margin)) << c.orientation;
        EXPECT_FALSE(layout.bCorner);
    }
}
