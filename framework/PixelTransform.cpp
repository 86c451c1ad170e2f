#include "PixelTransform.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define KEP_PLG_SSE2 1
#endif

namespace {

typedef DWORD Pixel;

// Blocks of the quarter-turn copy: a 64 x 64 source block and the block it
// becomes fit in the first-level cache together.
const int kTile = 64;

inline const Pixel* SrcRow(const BYTE* pSrc, std::ptrdiff_t nPitch, int y)
{
    return reinterpret_cast<const Pixel*>(pSrc + nPitch * y);
}

inline Pixel* DstRow(BYTE* pDst, std::ptrdiff_t nPitch, int y)
{
    return reinterpret_cast<Pixel*>(pDst + nPitch * y);
}

// d[i] = s[n - 1 - i]
void ReverseCopy(const Pixel* s, Pixel* d, int n)
{
    int i = 0;
#ifdef KEP_PLG_SSE2
    for (; i + 8 <= n; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + n - 4 - i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + n - 8 - i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_shuffle_epi32(a, 0x1B));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 4), _mm_shuffle_epi32(b, 0x1B));
    }
#endif
    for (; i < n; ++i)
        d[i] = s[n - 1 - i];
}

// Destination rows [dy0, dy1) of an unturned transfer: whole rows, copied
// or reversed.
void MoveRowsStraight(const BYTE* pSrc, std::ptrdiff_t nSrcPitch, int sw, int sh, BYTE* pDst, std::ptrdiff_t nDstPitch,
                      bool bFlipX, bool bFlipY, int dy0, int dy1)
{
    for (int dy = dy0; dy < dy1; ++dy) {
        const Pixel* s = SrcRow(pSrc, nSrcPitch, bFlipY ? sh - 1 - dy : dy);
        Pixel* d = DstRow(pDst, nDstPitch, dy);
        if (bFlipX)
            ReverseCopy(s, d, sw);
        else
            std::memcpy(d, s, static_cast<std::size_t>(sw) * sizeof(Pixel));
    }
}

// A run of 4 x 4 blocks of a quarter turn: destination rows dy..dy+3,
// columns dx..dx+4n-1. Each block comes from four source rows of four pixels
// (source columns xa..xa+3), which are transposed and reversed where the
// axes flip; along the run the source moves four rows down (or up).
template <bool FlipX, bool FlipY>
inline void MoveBlockRun(const BYTE* pSrc, std::ptrdiff_t nSrcPitch, int sw, int sh, BYTE* pDst,
                         std::ptrdiff_t nDstPitch, int dx, int dy, int nBlocks)
{
    const int xa = FlipY ? sw - 4 - dy : dy;
    const int ya = FlipX ? sh - 4 - dx : dx;
    const BYTE* s = pSrc + nSrcPitch * ya + static_cast<std::ptrdiff_t>(xa) * 4;
    const std::ptrdiff_t nStep = FlipX ? -4 * nSrcPitch : 4 * nSrcPitch;
    // Destination row j receives source column xa + j, or xa + 3 - j.
    BYTE* d0 = pDst + nDstPitch * (dy + (FlipY ? 3 : 0)) + static_cast<std::ptrdiff_t>(dx) * 4;
    const std::ptrdiff_t nRow = FlipY ? -nDstPitch : nDstPitch;
    BYTE* d1 = d0 + nRow;
    BYTE* d2 = d1 + nRow;
    BYTE* d3 = d2 + nRow;
    for (int i = 0; i < nBlocks; ++i) {
#ifdef KEP_PLG_SSE2
        const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + nSrcPitch));
        const __m128i r2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 2 * nSrcPitch));
        const __m128i r3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 3 * nSrcPitch));
        const __m128i t0 = _mm_unpacklo_epi32(r0, r1);
        const __m128i t1 = _mm_unpacklo_epi32(r2, r3);
        const __m128i t2 = _mm_unpackhi_epi32(r0, r1);
        const __m128i t3 = _mm_unpackhi_epi32(r2, r3);
        __m128i c0 = _mm_unpacklo_epi64(t0, t1); // source column xa, rows ya..ya+3
        __m128i c1 = _mm_unpackhi_epi64(t0, t1);
        __m128i c2 = _mm_unpacklo_epi64(t2, t3);
        __m128i c3 = _mm_unpackhi_epi64(t2, t3);
        if (FlipX) {
            c0 = _mm_shuffle_epi32(c0, 0x1B);
            c1 = _mm_shuffle_epi32(c1, 0x1B);
            c2 = _mm_shuffle_epi32(c2, 0x1B);
            c3 = _mm_shuffle_epi32(c3, 0x1B);
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d0), c0);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d1), c1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d2), c2);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d3), c3);
#else
        BYTE* d[4] = {d0, d1, d2, d3};
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                reinterpret_cast<Pixel*>(d[j])[FlipX ? 3 - k : k] =
                    reinterpret_cast<const Pixel*>(s + nSrcPitch * k)[j];
#endif
        s += nStep;
        d0 += 16;
        d1 += 16;
        d2 += 16;
        d3 += 16;
    }
}

// Destination rows [dy0, dy1) of a quarter turn, walked in tiles of 4 x 4
// blocks; the columns and rows beyond the last whole block go pixel by pixel.
template <bool FlipX, bool FlipY>
void MoveRowsTurned(const BYTE* pSrc, std::ptrdiff_t nSrcPitch, int sw, int sh, BYTE* pDst, std::ptrdiff_t nDstPitch,
                    int dy0, int dy1)
{
    const int dw = sh;
    const int dwBlocks = dw & ~3;
    for (int ty = dy0; ty < dy1; ty += kTile) {
        const int tyEnd = std::min(ty + kTile, dy1);
        const int tyBlocks = ty + ((tyEnd - ty) & ~3);
        for (int tx = 0; tx < dwBlocks; tx += kTile) {
            const int nBlocks = (std::min(tx + kTile, dwBlocks) - tx) / 4;
            for (int dy = ty; dy < tyBlocks; dy += 4)
                MoveBlockRun<FlipX, FlipY>(pSrc, nSrcPitch, sw, sh, pDst, nDstPitch, tx, dy, nBlocks);
        }
        for (int dy = ty; dy < tyEnd; ++dy) {
            Pixel* d = DstRow(pDst, nDstPitch, dy);
            const int x = FlipY ? sw - 1 - dy : dy;
            for (int dx = dy < tyBlocks ? dwBlocks : 0; dx < dw; ++dx)
                d[dx] = SrcRow(pSrc, nSrcPitch, FlipX ? sh - 1 - dx : dx)[x];
        }
    }
}

void MoveRows(const BYTE* pSrc, std::ptrdiff_t nSrcPitch, int sw, int sh, BYTE* pDst, std::ptrdiff_t nDstPitch,
              const PlgAxes& axes, int dy0, int dy1)
{
    if (!axes.bSwap)
        MoveRowsStraight(pSrc, nSrcPitch, sw, sh, pDst, nDstPitch, axes.bFlipX, axes.bFlipY, dy0, dy1);
    else if (axes.bFlipX && axes.bFlipY)
        MoveRowsTurned<true, true>(pSrc, nSrcPitch, sw, sh, pDst, nDstPitch, dy0, dy1);
    else if (axes.bFlipX)
        MoveRowsTurned<true, false>(pSrc, nSrcPitch, sw, sh, pDst, nDstPitch, dy0, dy1);
    else if (axes.bFlipY)
        MoveRowsTurned<false, true>(pSrc, nSrcPitch, sw, sh, pDst, nDstPitch, dy0, dy1);
    else
        MoveRowsTurned<false, false>(pSrc, nSrcPitch, sw, sh, pDst, nDstPitch, dy0, dy1);
}

} // namespace

bool GetPlgAxes(const POINT pts[3], PlgAxes* pAxes, RECT* prcBounds)
{
    const long long ux = static_cast<long long>(pts[1].x) - pts[0].x;
    const long long uy = static_cast<long long>(pts[1].y) - pts[0].y;
    const long long vx = static_cast<long long>(pts[2].x) - pts[0].x;
    const long long vy = static_cast<long long>(pts[2].y) - pts[0].y;
    PlgAxes axes;
    if (uy == 0 && vx == 0 && ux != 0 && vy != 0) {
        axes.bSwap = false;
        axes.bFlipX = ux < 0;
        axes.bFlipY = vy < 0;
    } else if (ux == 0 && vy == 0 && uy != 0 && vx != 0) {
        axes.bSwap = true;
        axes.bFlipX = vx < 0;
        axes.bFlipY = uy < 0;
    } else {
        return false;
    }
    // The fourth corner is p0 + u + v; the sides are parallel to the axes,
    // so p0 and that corner span the bounding rectangle.
    const long long x1 = pts[0].x + ux + vx;
    const long long y1 = pts[0].y + uy + vy;
    if (x1 < LONG_MIN || x1 > LONG_MAX || y1 < LONG_MIN || y1 > LONG_MAX)
        return false;
    *pAxes = axes;
    prcBounds->left = static_cast<LONG>(std::min<long long>(pts[0].x, x1));
    prcBounds->right = static_cast<LONG>(std::max<long long>(pts[0].x, x1));
    prcBounds->top = static_cast<LONG>(std::min<long long>(pts[0].y, y1));
    prcBounds->bottom = static_cast<LONG>(std::max<long long>(pts[0].y, y1));
    return true;
}

SIZE TransformedSize(const PlgAxes& axes, int sw, int sh)
{
    SIZE size;
    size.cx = axes.bSwap ? sh : sw;
    size.cy = axes.bSwap ? sw : sh;
    return size;
}

RECT MapDestRectToSource(const PlgAxes& axes, int sw, int sh, const RECT& rcDest)
{
    // A destination column range [a, b) comes from the source range [a, b),
    // or from [n - b, n - a) when that axis is flipped.
    const SIZE dest = TransformedSize(axes, sw, sh);
    const LONG xa = axes.bFlipX ? dest.cx - rcDest.right : rcDest.left;
    const LONG xb = axes.bFlipX ? dest.cx - rcDest.left : rcDest.right;
    const LONG ya = axes.bFlipY ? dest.cy - rcDest.bottom : rcDest.top;
    const LONG yb = axes.bFlipY ? dest.cy - rcDest.top : rcDest.bottom;
    RECT rc;
    if (axes.bSwap)
        SetRect(&rc, ya, xa, yb, xb);
    else
        SetRect(&rc, xa, ya, xb, yb);
    return rc;
}

RECT MapSourceRectToDest(const PlgAxes& axes, int sw, int sh, const RECT& rcSrc)
{
    // The inverse of MapDestRectToSource: swap the source's axes first, then
    // flip.
    RECT rc = rcSrc;
    LONG nCx = sw, nCy = sh;
    if (axes.bSwap) {
        SetRect(&rc, rcSrc.top, rcSrc.left, rcSrc.bottom, rcSrc.right);
        std::swap(nCx, nCy);
    }
    if (axes.bFlipX) {
        const LONG nLeft = nCx - rc.right;
        rc.right = nCx - rc.left;
        rc.left = nLeft;
    }
    if (axes.bFlipY) {
        const LONG nTop = nCy - rc.bottom;
        rc.bottom = nCy - rc.top;
        rc.top = nTop;
    }
    return rc;
}

void TransformPixels(const void* pSrc, int nSrcPitch, int sw, int sh, void* pDst, int nDstPitch, const PlgAxes& axes)
{
    if (sw <= 0 || sh <= 0)
        return;
    const BYTE* s = static_cast<const BYTE*>(pSrc);
    BYTE* d = static_cast<BYTE*>(pDst);
    MoveRows(s, nSrcPitch, sw, sh, d, nDstPitch, axes, 0, TransformedSize(axes, sw, sh).cy);
}
