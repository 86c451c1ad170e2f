#include "image/PicturePixels.h"

#include <cstdint>
#include <utility>

#include "CDC.h"
#include "CDibSection.h"
#include "CSelectedObject.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

std::size_t PixelBytes(SIZE size)
{
    return static_cast<std::size_t>(size.cx) * static_cast<std::size_t>(size.cy) * 4;
}

// A bitmap's frame, converted by GDI+ straight into the block.
BOOL ReadBitmapPixels(const CPicture& picture, BYTE* pDst)
{
    const int width = picture.GetWidth();
    const int height = picture.GetHeight();
    BitmapData data = {};
    data.Width = static_cast<UINT>(width);
    data.Height = static_cast<UINT>(height);
    data.Stride = width * 4;
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = pDst;
    GpRect rect = {0, 0, width, height};
    auto* pBitmap = static_cast<GpBitmap*>(picture.GetImage());
    if (GdipBitmapLockBits(pBitmap, &rect, ImageLockModeRead | ImageLockModeUserInputBuf, PixelFormat32bppARGB,
                           &data) != Ok)
        return FALSE;
    GdipBitmapUnlockBits(pBitmap, &data);
    return TRUE;
}

// A metafile played on white, as the view plays it.
BOOL ReadMetafilePixels(const CPicture& picture, BYTE* pDst)
{
    const int width = picture.GetWidth();
    const int height = picture.GetHeight();
    CDC dc;
    CDibSection dib;
    if (!dc.CreateCompatibleDC(nullptr) || !dib.Create(width, height))
        return FALSE;
    {
        CSelectedObject selected(dc, dib);
        ::PatBlt(dc, 0, 0, width, height, WHITENESS);
        const RECT all = {0, 0, width, height};
        picture.Draw(dc, all, all);
        ::GdiFlush();
    }
    const DWORD* pSrc = dib.GetBits();
    auto* pOut = reinterpret_cast<std::uint32_t*>(pDst);
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    for (std::size_t i = 0; i < count; ++i)
        pOut[i] = pSrc[i] | 0xFF000000;
    return TRUE;
}

} // namespace

BOOL ReadShownPixels(const CPicture& picture, TransformState shown, CVirtualBlock* pixels, SIZE* size)
{
    pixels->Free();
    const SIZE stored = {picture.GetWidth(), picture.GetHeight()};
    if (stored.cx <= 0 || stored.cy <= 0 || !picture.GetImage())
        return FALSE;
    CVirtualBlock read;
    if (!read.Allocate(PixelBytes(stored)))
        return FALSE;
    const BOOL bRead =
        picture.IsMetafile() ? ReadMetafilePixels(picture, read.Get()) : ReadBitmapPixels(picture, read.Get());
    if (!bRead)
        return FALSE;
    const SIZE turned = ShownSize(shown, stored);
    if (shown.rotation == 0 && !shown.mirrored) {
        *pixels = std::move(read);
    } else {
        if (!pixels->Allocate(PixelBytes(turned)))
            return FALSE;
        TransformPixelsBy(shown, read.Get(), stored.cx * 4, stored, pixels->Get(), turned.cx * 4);
    }
    *size = turned;
    return TRUE;
}
