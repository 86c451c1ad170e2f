// The view's rotated and mirrored transfer: the pixel mover on its own, and
// ParallelogramBlt between device contexts, against pictures built here
// from the definition (mirrored left-right first, then turned clockwise).
#include "framework/ParallelogramBlt.h"
#include "framework/PixelTransform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every pixel is unique and has bit 23 set; the background never has it.
const DWORD kBackground = 0x00123456;

DWORD PixelAt(int x, int y)
{
    return 0x800000u | (static_cast<DWORD>(y) << 12) | static_cast<DWORD>(x);
}

struct Picture {
    int w = 0;
    int h = 0;
    std::vector<DWORD> px;
    DWORD At(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

Picture MakePicture(int w, int h)
{
    Picture p;
    p.w = w;
    p.h = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.px.push_back(PixelAt(x, y));
    return p;
}

// The picture mirrored left-right if asked, then turned clockwise by the
// given number of quarter turns, one at a time.
Picture MirrorThenTurn(const Picture& src, bool bMirrored, int nTurns)
{
    Picture p = src;
    if (bMirrored) {
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x)
                p.px[static_cast<size_t>(y) * p.w + x] = src.At(src.w - 1 - x, y);
    }
    for (int t = 0; t < nTurns; ++t) {
        // Turned clockwise, the bottom-left corner comes to the top left.
        Picture q;
        q.w = p.h;
        q.h = p.w;
        for (int y = 0; y < q.h; ++y)
            for (int x = 0; x < q.w; ++x)
                q.px.push_back(p.At(y, p.h - 1 - x));
        p = q;
    }
    return p;
}

struct Transform {
    bool bMirrored;
    int nRotation;
};

const Transform kTransforms[] = {
    {false, 0}, {false, 1}, {false, 2}, {false, 3}, {true, 0}, {true, 1}, {true, 2}, {true, 3},
};

std::string Name(const Transform& t, int w, int h)
{
    return std::string(t.bMirrored ? "mirrored" : "unmirrored") + " rotation " + std::to_string(t.nRotation) + " of " +
           std::to_string(w) + "x" + std::to_string(h);
}

// The view's destination points (upper-left, upper-right, lower-left image
// corners) for a display of dw x dh, moved by (x0, y0).
void ViewPoints(const Transform& t, int dw, int dh, int x0, int y0, POINT pts[3])
{
    static const int kCorners[2][4][6] = {
        // unmirrored: UL, UR, LL as multiples of (dw, dh)
        {{0, 0, 1, 0, 0, 1}, {1, 0, 1, 1, 0, 0}, {1, 1, 0, 1, 1, 0}, {0, 1, 0, 0, 1, 1}},
        // mirrored
        {{1, 0, 0, 0, 1, 1}, {1, 1, 1, 0, 0, 1}, {0, 1, 1, 1, 0, 0}, {0, 0, 0, 1, 1, 0}},
    };
    const int* c = kCorners[t.bMirrored ? 1 : 0][t.nRotation];
    for (int i = 0; i < 3; ++i) {
        pts[i].x = x0 + c[2 * i] * dw;
        pts[i].y = y0 + c[2 * i + 1] * dh;
    }
}

SIZE DisplaySize(const Transform& t, int w, int h)
{
    SIZE s;
    s.cx = t.nRotation % 2 ? h : w;
    s.cy = t.nRotation % 2 ? w : h;
    return s;
}

// ---------------------------------------------------------------------------
// The pixel mover

const SIZE kPureSizes[] = {{7, 5}, {1, 1}, {2, 3}, {3, 2}, {67, 45}, {130, 9}, {1031, 709}};

TEST(TransformPixelsTest, ViewTransformsGiveMirrorThenTurn)
{
    for (const SIZE& size : kPureSizes) {
        const int w = size.cx, h = size.cy;
        const Picture src = MakePicture(w, h);
        for (const Transform& t : kTransforms) {
            SCOPED_TRACE(Name(t, w, h));
            const SIZE d = DisplaySize(t, w, h);
            POINT pts[3];
            ViewPoints(t, d.cx, d.cy, 0, 0, pts);
            PlgAxes axes;
            RECT rc;
            ASSERT_TRUE(GetPlgAxes(pts, &axes, &rc));
            EXPECT_EQ(0, rc.left);
            EXPECT_EQ(0, rc.top);
            EXPECT_EQ(d.cx, rc.right);
            EXPECT_EQ(d.cy, rc.bottom);
            const SIZE out = TransformedSize(axes, w, h);
            ASSERT_EQ(d.cx, out.cx);
            ASSERT_EQ(d.cy, out.cy);

            std::vector<DWORD> dst(static_cast<size_t>(w) * h, kBackground);
            TransformPixels(src.px.data(), w * 4, w, h, dst.data(), d.cx * 4, axes);
            const Picture expected = MirrorThenTurn(src, t.bMirrored, t.nRotation);
            ASSERT_EQ(expected.px.size(), dst.size());
            size_t nWrong = 0, nFirst = 0;
            for (size_t i = 0; i < dst.size(); ++i) {
                if (dst[i] != expected.px[i] && nWrong++ == 0)
                    nFirst = i;
            }
            EXPECT_EQ(0u, nWrong) << "first wrong pixel at x " << nFirst % d.cx << ", y " << nFirst / d.cx;
        }
    }
}

// The transfer under Wine moves only the visible part, band by band: the
// source rectangle mapped from a part of the destination must give exactly
// that part, and map back onto it.
TEST(TransformPixelsTest, PartOfDestinationComesFromMappedSourceRect)
{
    const int w = 67, h = 45;
    const Picture src = MakePicture(w, h);
    for (const Transform& t : kTransforms) {
        const SIZE d = DisplaySize(t, w, h);
        POINT pts[3];
        ViewPoints(t, d.cx, d.cy, 0, 0, pts);
        PlgAxes axes;
        RECT rc;
        ASSERT_TRUE(GetPlgAxes(pts, &axes, &rc));
        const Picture expected = MirrorThenTurn(src, t.bMirrored, t.nRotation);
        const RECT parts[] = {
            {3, 5, 20, 17}, {0, 0, d.cx, 1}, {d.cx - 1, 0, d.cx, d.cy}, {1, 2, d.cx - 2, d.cy - 1}, {0, 0, d.cx, d.cy}};
        for (const RECT& part : parts) {
            SCOPED_TRACE(Name(t, w, h) + ", part " + std::to_string(part.left) + "," + std::to_string(part.top) + "-" +
                         std::to_string(part.right) + "," + std::to_string(part.bottom));
            const RECT rs = MapDestRectToSource(axes, w, h, part);
            const RECT back = MapSourceRectToDest(axes, w, h, rs);
            EXPECT_TRUE(EqualRect(&back, &part));
            ASSERT_GE(rs.left, 0);
            ASSERT_GE(rs.top, 0);
            ASSERT_LE(rs.right, w);
            ASSERT_LE(rs.bottom, h);
            const int pw = part.right - part.left, ph = part.bottom - part.top;
            std::vector<DWORD> dst(static_cast<size_t>(pw) * ph, kBackground);
            TransformPixels(&src.px[static_cast<size_t>(rs.top) * w + rs.left], w * 4, rs.right - rs.left,
                            rs.bottom - rs.top, dst.data(), pw * 4, axes);
            size_t nWrong = 0;
            for (int y = 0; y < ph; ++y)
                for (int x = 0; x < pw; ++x)
                    nWrong += dst[static_cast<size_t>(y) * pw + x] != expected.At(part.left + x, part.top + y);
            EXPECT_EQ(0u, nWrong);
        }
    }
}

TEST(TransformPixelsTest, NegativePitchReadsBottomUpSource)
{
    const int w = 13, h = 6;
    const Picture src = MakePicture(w, h);
    std::vector<DWORD> bottomUp(src.px.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bottomUp[static_cast<size_t>(h - 1 - y) * w + x] = src.At(x, y);
    const Transform t = {true, 1};
    POINT pts[3];
    ViewPoints(t, h, w, 0, 0, pts);
    PlgAxes axes;
    RECT rc;
    ASSERT_TRUE(GetPlgAxes(pts, &axes, &rc));
    std::vector<DWORD> dst(src.px.size(), kBackground);
    TransformPixels(&bottomUp[static_cast<size_t>(h - 1) * w], -w * 4, w, h, dst.data(), h * 4, axes);
    EXPECT_EQ(MirrorThenTurn(src, true, 1).px, dst);
}

TEST(PlgAxesTest, BoundsFollowThePointsAndSlantedSidesAreRefused)
{
    PlgAxes axes;
    RECT rc;
    const POINT turned[3] = {{110, 20}, {110, 70}, {10, 20}}; // rotation 1, 100 x 50 display
    ASSERT_TRUE(GetPlgAxes(turned, &axes, &rc));
    EXPECT_TRUE(axes.bSwap);
    EXPECT_EQ(10, rc.left);
    EXPECT_EQ(20, rc.top);
    EXPECT_EQ(110, rc.right);
    EXPECT_EQ(70, rc.bottom);

    const POINT slanted[3] = {{0, 0}, {10, 1}, {0, 10}};
    const POINT emptyU[3] = {{5, 5}, {5, 5}, {5, 15}};
    const POINT emptyV[3] = {{5, 5}, {15, 5}, {5, 5}};
    const POINT parallel[3] = {{0, 0}, {10, 0}, {20, 0}};
    EXPECT_FALSE(GetPlgAxes(slanted, &axes, &rc));
    EXPECT_FALSE(GetPlgAxes(emptyU, &axes, &rc));
    EXPECT_FALSE(GetPlgAxes(emptyV, &axes, &rc));
    EXPECT_FALSE(GetPlgAxes(parallel, &axes, &rc));
}

// ---------------------------------------------------------------------------
// ParallelogramBlt between device contexts

// A 32-bit DIB section (top-down or bottom-up) or a screen-compatible bitmap
// in a memory DC.
class CTestBitmap {
public:
    enum Kind {
        kTopDownDib,
        kBottomUpDib,
        kCompatible
    };

    CTestBitmap(Kind kind, int w, int h) : m_w(w), m_h(h)
    {
        HDC hdcScreen = GetDC(NULL);
        m_hdc = CreateCompatibleDC(hdcScreen);
        if (kind == kCompatible) {
            m_hbm = CreateCompatibleBitmap(hdcScreen, w, h);
        } else {
            BITMAPINFO bmi = Info(w, kind == kTopDownDib ? -h : h);
            void* pBits = nullptr;
            m_hbm = CreateDIBSection(hdcScreen, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
        }
        ReleaseDC(NULL, hdcScreen);
        m_hbmOld = static_cast<HBITMAP>(SelectObject(m_hdc, m_hbm));
    }
    ~CTestBitmap()
    {
        SelectObject(m_hdc, m_hbmOld);
        DeleteObject(m_hbm);
        DeleteDC(m_hdc);
    }
    CTestBitmap(const CTestBitmap&) = delete;
    CTestBitmap& operator=(const CTestBitmap&) = delete;

    static BITMAPINFO Info(int w, int h)
    {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
        bmi.bmiHeader.biWidth = w;
        bmi.bmiHeader.biHeight = h;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        return bmi;
    }

    // Fills the bitmap with one value, then puts the picture at (x, y).
    void Put(const Picture* pPicture, int x, int y, DWORD fill)
    {
        std::vector<DWORD> all(static_cast<size_t>(m_w) * m_h, fill);
        if (pPicture != nullptr) {
            for (int py = 0; py < pPicture->h; ++py)
                for (int px = 0; px < pPicture->w; ++px)
                    all[static_cast<size_t>(y + py) * m_w + x + px] = pPicture->At(px, py);
        }
        BITMAPINFO bmi = Info(m_w, -m_h);
        SetDIBitsToDevice(m_hdc, 0, 0, m_w, m_h, 0, 0, 0, m_h, all.data(), &bmi, DIB_RGB_COLORS);
        GdiFlush();
    }

    std::vector<DWORD> Read() const
    {
        std::vector<DWORD> all(static_cast<size_t>(m_w) * m_h);
        BITMAPINFO bmi = Info(m_w, -m_h);
        GdiFlush();
        GetDIBits(m_hdc, m_hbm, 0, m_h, all.data(), &bmi, DIB_RGB_COLORS);
        for (DWORD& px : all)
            px &= 0xFFFFFF;
        return all;
    }

    HDC Dc() const { return m_hdc; }

private:
    int m_w, m_h;
    HDC m_hdc = NULL;
    HBITMAP m_hbm = NULL;
    HBITMAP m_hbmOld = NULL;
};

// Counts destination pixels that differ from the expected picture at
// (x0, y0) inside rcPainted, and from the background everywhere else.
size_t CountWrongPixels(const std::vector<DWORD>& dst, int dstW, int dstH, const Picture& expected, int x0, int y0,
                        const RECT& rcPainted)
{
    size_t nWrong = 0;
    for (int y = 0; y < dstH; ++y) {
        for (int x = 0; x < dstW; ++x) {
            const POINT pt = {x, y};
            const DWORD want = PtInRect(&rcPainted, pt) ? expected.At(x - x0, y - y0) : kBackground;
            nWrong += dst[static_cast<size_t>(y) * dstW + x] != want;
        }
    }
    return nWrong;
}

const CTestBitmap::Kind kSourceKinds[] = {CTestBitmap::kTopDownDib, CTestBitmap::kBottomUpDib,
                                          CTestBitmap::kCompatible};
const char* const kSourceNames[] = {"top-down DIB", "bottom-up DIB", "compatible bitmap"};

// The picture sits at (1, 2) of a larger source and lands at (2, 3) of a
// larger destination: nothing around either may leak in or be painted.
// 700 x 500 is copied and moved in six bands of 93 rows, the last one
// short.
TEST(ParallelogramBltTest, AllEightTransformsArePixelExact)
{
    const SIZE sizes[] = {{7, 5}, {1, 1}, {2, 3}, {61, 37}, {700, 500}};
    for (int k = 0; k < 3; ++k) {
        for (const SIZE& size : sizes) {
            const int w = size.cx, h = size.cy;
            const Picture src = MakePicture(w, h);
            CTestBitmap source(kSourceKinds[k], w + 3, h + 4);
            source.Put(&src, 1, 2, 0x00FFFFFF);
            for (const Transform& t : kTransforms) {
                SCOPED_TRACE(Name(t, w, h) + " from a " + kSourceNames[k]);
                const SIZE d = DisplaySize(t, w, h);
                CTestBitmap dest(CTestBitmap::kTopDownDib, d.cx + 5, d.cy + 4);
                dest.Put(nullptr, 0, 0, kBackground);
                POINT pts[3];
                ViewPoints(t, d.cx, d.cy, 2, 3, pts);
                EXPECT_TRUE(ParallelogramBlt(dest.Dc(), pts, source.Dc(), 1, 2, w, h));
                const RECT rcPainted = {2, 3, 2 + d.cx, 3 + d.cy};
                EXPECT_EQ(0u, CountWrongPixels(dest.Read(), d.cx + 5, d.cy + 4,
                                               MirrorThenTurn(src, t.bMirrored, t.nRotation), 2, 3, rcPainted));
            }
        }
    }
}

// A clip region and a moved viewport origin: only the clipped part of the
// parallelogram is painted, at the right place.
TEST(ParallelogramBltTest, ClippedTransferPaintsOnlyTheClippedPart)
{
    const int w = 61, h = 37;
    const Picture src = MakePicture(w, h);
    for (int k = 0; k < 3; ++k) {
        CTestBitmap source(kSourceKinds[k], w, h);
        source.Put(&src, 0, 0, 0);
        for (const Transform& t : kTransforms) {
            SCOPED_TRACE(Name(t, w, h) + " from a " + kSourceNames[k]);
            const SIZE d = DisplaySize(t, w, h);
            CTestBitmap dest(CTestBitmap::kTopDownDib, d.cx + 10, d.cy + 10);
            dest.Put(nullptr, 0, 0, kBackground);
            // Logical (0, 0) is device (4, 6); the clip is given in logical units.
            SetViewportOrgEx(dest.Dc(), 4, 6, NULL);
            IntersectClipRect(dest.Dc(), 5, 3, 29, 21);
            POINT pts[3];
            ViewPoints(t, d.cx, d.cy, 0, 0, pts);
            EXPECT_TRUE(ParallelogramBlt(dest.Dc(), pts, source.Dc(), 0, 0, w, h));
            const RECT rcPainted = {4 + 5, 6 + 3, 4 + 29, 6 + 21};
            EXPECT_EQ(0u, CountWrongPixels(dest.Read(), d.cx + 10, d.cy + 10,
                                           MirrorThenTurn(src, t.bMirrored, t.nRotation), 4, 6, rcPainted));
        }
    }
}

// Points twice the source size: every source pixel becomes a 2 x 2 block
// of the turned picture.
TEST(ParallelogramBltTest, DoubledSizeStretchesTheMovedPicture)
{
    const int w = 9, h = 5;
    const Picture src = MakePicture(w, h);
    CTestBitmap source(CTestBitmap::kCompatible, w, h);
    source.Put(&src, 0, 0, 0);
    for (const Transform& t : {Transform{false, 0}, Transform{false, 1}, Transform{true, 2}}) {
        SCOPED_TRACE(Name(t, w, h));
        const SIZE d = DisplaySize(t, w, h);
        CTestBitmap dest(CTestBitmap::kTopDownDib, 2 * d.cx, 2 * d.cy);
        dest.Put(nullptr, 0, 0, kBackground);
        POINT pts[3];
        ViewPoints(t, 2 * d.cx, 2 * d.cy, 0, 0, pts);
        EXPECT_TRUE(ParallelogramBlt(dest.Dc(), pts, source.Dc(), 0, 0, w, h));
        const Picture turned = MirrorThenTurn(src, t.bMirrored, t.nRotation);
        Picture doubled;
        doubled.w = 2 * d.cx;
        doubled.h = 2 * d.cy;
        for (int y = 0; y < doubled.h; ++y)
            for (int x = 0; x < doubled.w; ++x)
                doubled.px.push_back(turned.At(x / 2, y / 2));
        const RECT rcAll = {0, 0, doubled.w, doubled.h};
        EXPECT_EQ(0u, CountWrongPixels(dest.Read(), doubled.w, doubled.h, doubled, 0, 0, rcAll));
    }
}

} // namespace
