#include "ParallelogramBlt.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>

#include "AfxPlatform.h"
#include "CDC.h"
#include "CDibSection.h"
#include "PixelTransform.h"

namespace {

typedef DWORD Pixel;

// Pixels of the source copied at a time in a quarter turn or a mirror: a
// band of 256 KB is still in the second-level cache when it is moved.
const int kBandPixels = 64 * 1024;
// Scratch buffers above this size are given back after the transfer; below
// it they are kept for the next paint (a full-screen picture on a 4K screen).
const long long kKeepPixels = 3840LL * 2400;

// A top-down 32-bit DIB section selected into its own memory DC. It grows
// to the largest picture asked for and is kept, so that a paint does not
// map (and fault in) tens of megabytes each time.
class CScratchDib {
public:
    CScratchDib() = default;
    CScratchDib(const CScratchDib&) = delete;
    CScratchDib& operator=(const CScratchDib&) = delete;
    ~CScratchDib() { Free(); }

    bool Reserve(int cx, int cy)
    {
        if (m_dib.GetBits() != nullptr && cx <= m_dib.GetWidth() && cy <= m_dib.GetHeight())
            return true;
        const int nNewCx = std::max(cx, m_dib.GetWidth());
        const int nNewCy = std::max(cy, m_dib.GetHeight());
        Free();
        if (!m_dc.CreateCompatibleDC(nullptr) || !m_dib.Create(nNewCx, nNewCy)) {
            Free();
            return false;
        }
        m_hbmOld = ::SelectObject(m_dc, m_dib);
        return true;
    }

    void Free()
    {
        if (m_dc && m_hbmOld)
            ::SelectObject(m_dc, m_hbmOld);
        m_hbmOld = nullptr;
        m_dib.Free();
        m_dc.DeleteDC();
    }

    void TrimIfLarge()
    {
        if (static_cast<long long>(m_dib.GetWidth()) * m_dib.GetHeight() > kKeepPixels)
            Free();
    }

    HDC Dc() const { return m_dc; }
    BYTE* Bits() const { return reinterpret_cast<BYTE*>(m_dib.GetBits()); }
    int Pitch() const { return m_dib.GetPitch(); }

private:
    CDC m_dc;
    CDibSection m_dib;
    HGDIOBJ m_hbmOld = nullptr;
};

// Plain memory for the moved pixels, grown as needed and never cleared.
class CPixelBuffer {
public:
    Pixel* Reserve(long long nPixels)
    {
        if (nPixels > m_nCapacity) {
            m_pData.reset();
            m_nCapacity = 0;
            m_pData.reset(new (std::nothrow) Pixel[static_cast<std::size_t>(nPixels)]);
            if (!m_pData)
                return nullptr;
            m_nCapacity = nPixels;
        }
        return m_pData.get();
    }

    void TrimIfLarge()
    {
        if (m_nCapacity > kKeepPixels) {
            m_pData.reset();
            m_nCapacity = 0;
        }
    }

private:
    std::unique_ptr<Pixel[]> m_pData;
    long long m_nCapacity = 0;
};

struct ScratchBuffers {
    CScratchDib dib;
    CPixelBuffer out;
};

thread_local ScratchBuffers t_buffers;

// Logical units equal device pixels (up to an offset) and no world transform.
bool IsPlainDc(HDC hdc)
{
    return GetMapMode(hdc) == MM_TEXT && GetGraphicsMode(hdc) == GM_COMPATIBLE;
}

// Copies the w x h source rectangle at (x, y) into the top of the scratch DIB
// section (top row first, pitch of the scratch). The source's bits are never
// read in place, even from a DIB section: GetObject reports a positive height
// for top-down and bottom-up DIB sections alike, so their row order is
// unknown.
bool ReadSource(HDC hdcSrc, int x, int y, int w, int h, CScratchDib& dib)
{
    if (!dib.Reserve(w, h))
        return false;
    if (!BitBlt(dib.Dc(), 0, 0, w, h, hdcSrc, x, y, SRCCOPY))
        return false;
    GdiFlush();
    return true;
}

// Moves the w x h source rectangle at (xSrc, ySrc) by the axes into the
// scratch buffers. Returns the moved pixels, with their pitch in bytes and
// whether their rows run bottom up, or null.
const void* MoveSource(HDC hdcSrc, int xSrc, int ySrc, int w, int h, const PlgAxes& axes, ScratchBuffers& buffers,
                       int* pnPitch, bool* pbBottomUp)
{
    *pbBottomUp = false;
    if (!axes.bSwap && !axes.bFlipX) {
        // Rows stay whole: an upside-down picture is the copied rows read
        // as a bottom-up DIB.
        if (!ReadSource(hdcSrc, xSrc, ySrc, w, h, buffers.dib))
            return nullptr;
        *pnPitch = buffers.dib.Pitch();
        *pbBottomUp = axes.bFlipY;
        return buffers.dib.Bits();
    }

    // Band by band: each band is copied into the scratch DIB section and
    // moved to its place in the destination while it is still in the cache.
    const SIZE size = TransformedSize(axes, w, h);
    const int nBand = std::max(1, std::min(h, kBandPixels / w));
    Pixel* pMoved = buffers.out.Reserve(static_cast<long long>(size.cx) * size.cy);
    if (pMoved == nullptr || !buffers.dib.Reserve(w, nBand))
        return nullptr;
    for (int y = 0; y < h; y += nBand) {
        const int nRows = std::min(nBand, h - y);
        if (!ReadSource(hdcSrc, xSrc, ySrc + y, w, nRows, buffers.dib))
            return nullptr;
        const RECT rcBand = {0, y, w, y + nRows};
        const RECT rcTo = MapSourceRectToDest(axes, w, h, rcBand);
        TransformPixels(buffers.dib.Bits(), buffers.dib.Pitch(), w, nRows,
                        pMoved + static_cast<std::ptrdiff_t>(size.cx) * rcTo.top + rcTo.left,
                        size.cx * static_cast<int>(sizeof(Pixel)), axes);
    }
    *pnPitch = size.cx * static_cast<int>(sizeof(Pixel));
    return pMoved;
}

// Moves the w x h source rectangle at (xSrc, ySrc) by the axes and puts it
// on rcDest: in one SetDIBitsToDevice when the sizes agree, stretched by
// StretchDIBits otherwise.
BOOL TransferAxisAligned(HDC hdcDest, const RECT& rcDest, HDC hdcSrc, int xSrc, int ySrc, int w, int h,
                         const PlgAxes& axes, bool bSameSize)
{
    ScratchBuffers& buffers = t_buffers;
    int nPitch = 0;
    bool bBottomUp = false;
    const void* pOut = MoveSource(hdcSrc, xSrc, ySrc, w, h, axes, buffers, &nPitch, &bBottomUp);
    int nLines = 0;
    if (pOut != nullptr) {
        const SIZE size = TransformedSize(axes, w, h);
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
        bmi.bmiHeader.biWidth = nPitch / static_cast<int>(sizeof(Pixel));
        bmi.bmiHeader.biHeight = bBottomUp ? size.cy : -size.cy;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        if (bSameSize) {
            nLines = SetDIBitsToDevice(hdcDest, rcDest.left, rcDest.top, size.cx, size.cy, 0, 0, 0, size.cy, pOut, &bmi,
                                       DIB_RGB_COLORS);
        } else {
            nLines =
                StretchDIBits(hdcDest, rcDest.left, rcDest.top, rcDest.right - rcDest.left, rcDest.bottom - rcDest.top,
                              0, 0, size.cx, size.cy, pOut, &bmi, DIB_RGB_COLORS, SRCCOPY);
        }
    }
    buffers.dib.TrimIfLarge();
    buffers.out.TrimIfLarge();
    return nLines != 0 && nLines != static_cast<int>(GDI_ERROR);
}

} // namespace

BOOL ParallelogramBlt(HDC hdcDest, const POINT pts[3], HDC hdcSrc, int xSrc, int ySrc, int width, int height)
{
    if (!AfxIsRunningOnWine())
        return PlgBlt(hdcDest, pts, hdcSrc, xSrc, ySrc, width, height, NULL, 0, 0);

    PlgAxes axes;
    RECT rcBounds;
    if (width <= 0 || height <= 0 || !GetPlgAxes(pts, &axes, &rcBounds))
        return PlgBlt(hdcDest, pts, hdcSrc, xSrc, ySrc, width, height, NULL, 0, 0);

    const SIZE size = TransformedSize(axes, width, height);
    const bool bSameSize = rcBounds.right - rcBounds.left == size.cx && rcBounds.bottom - rcBounds.top == size.cy;
    if (bSameSize && !axes.bSwap && !axes.bFlipX && !axes.bFlipY)
        return BitBlt(hdcDest, rcBounds.left, rcBounds.top, width, height, hdcSrc, xSrc, ySrc, SRCCOPY);
    if (!bSameSize || !IsPlainDc(hdcDest))
        return TransferAxisAligned(hdcDest, rcBounds, hdcSrc, xSrc, ySrc, width, height, axes, false);

    // Only the part the destination lets through is moved: for a picture
    // larger than the screen that is a fraction of it.
    RECT rcClip;
    const int nClip = GetClipBox(hdcDest, &rcClip);
    if (nClip == NULLREGION)
        return TRUE;
    RECT rcPart;
    if (nClip == ERROR)
        rcPart = rcBounds;
    else if (!IntersectRect(&rcPart, &rcClip, &rcBounds))
        return TRUE;
    OffsetRect(&rcPart, -rcBounds.left, -rcBounds.top);
    const RECT rcSrc = MapDestRectToSource(axes, width, height, rcPart);
    OffsetRect(&rcPart, rcBounds.left, rcBounds.top);
    return TransferAxisAligned(hdcDest, rcPart, hdcSrc, xSrc + rcSrc.left, ySrc + rcSrc.top, rcSrc.right - rcSrc.left,
                               rcSrc.bottom - rcSrc.top, axes, true);
}
