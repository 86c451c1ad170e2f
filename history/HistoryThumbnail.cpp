#include "history/HistoryThumbnail.h"

#include "history/ThumbnailScale.h"

#include <objidl.h>
#include <gdiplus.h>

#include <climits>
#include <cstring>
#include <memory>
#include <new>

#include "AfxStream.h"
#include "CBitmap.h"
#include "CDC.h"
#include "CSelectedObject.h"
#include "image/ImageFile.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

struct ImageDeleter {
    void operator()(GpImage* p) const { GdipDisposeImage(p); }
};
struct GraphicsDeleter {
    void operator()(GpGraphics* p) const { GdipDeleteGraphics(p); }
};
struct StreamReleaser {
    void operator()(IStream* p) const { p->Release(); }
};
using ImagePtr = std::unique_ptr<GpImage, ImageDeleter>;
using StreamPtr = std::unique_ptr<IStream, StreamReleaser>;

// The file's bytes in a stream that owns its memory block, or null: read as
// the view reads a picture (shared with other programs, refused when its
// header is over the bound or points beyond the file), over a stream that
// never reads beyond the data.
StreamPtr ReadFileStream(const char* path)
{
    HGLOBAL hData = nullptr;
    SIZE_T cbData = 0;
    if (ReadImageFile(path, &hData, &cbData) != ImageFileResult::Ok)
        return nullptr;
    IStream* pStream = nullptr;
    if (AfxCreateStreamOnHGlobal(hData, TRUE, &pStream) != S_OK) {
        ::GlobalFree(hData);
        return nullptr;
    }
    return StreamPtr(pStream);
}

// Decodes the picture held by stream; the stream has to outlive the image.
ImagePtr Decode(IStream* pStream)
{
    GpImage* pImage = nullptr;
    if (GdipLoadImageFromStream(pStream, &pImage) != Ok) {
        if (pImage)
            GdipDisposeImage(pImage);
        return nullptr;
    }
    return ImagePtr(pImage);
}

// The whole picture averaged into the box when it is an opaque 24- or 32-bit
// bitmap; false (box untouched) for any other picture.
bool ShrinkOpaqueInto(GpImage* pImage, int nWidth, int nHeight, uint32_t* pBox)
{
    ImageType type = ImageTypeUnknown;
    PixelFormat format = 0;
    if (GdipGetImageType(pImage, &type) != Ok || type != ImageTypeBitmap ||
        GdipGetImagePixelFormat(pImage, &format) != Ok ||
        (format != PixelFormat24bppRGB && format != PixelFormat32bppRGB))
        return false;
    UINT width = 0;
    UINT height = 0;
    GdipGetImageWidth(pImage, &width);
    GdipGetImageHeight(pImage, &height);
    if (width == 0 || height == 0)
        return false;
    const GpRect all = {0, 0, static_cast<INT>(width), static_cast<INT>(height)};
    BitmapData data = {};
    auto* pBitmap = static_cast<GpBitmap*>(pImage);
    if (GdipBitmapLockBits(pBitmap, &all, ImageLockModeRead, format, &data) != Ok)
        return false;
    ShrinkIntoBox(static_cast<const uint8_t*>(data.Scan0), data.Stride, static_cast<int>(width),
                  static_cast<int>(height), format == PixelFormat24bppRGB ? 3 : 4, pBox, nWidth, nHeight);
    GdipBitmapUnlockBits(pBitmap, &data);
    return true;
}

} // namespace

BOOL MakeThumbnail(const char* path, int nWidth, int nHeight, CBitmap& bitmap)
{
    if (!path || nWidth <= 0 || nHeight <= 0 ||
        static_cast<long long>(nWidth) * static_cast<long long>(nHeight) > kMaxThumbnailPixels)
        return FALSE;
    // The image is released before the stream it was decoded from.
    StreamPtr stream = ReadFileStream(path);
    if (!stream)
        return FALSE;
    ImagePtr image = Decode(stream.get());
    if (!image)
        return FALSE;

    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = nWidth;
    bi.bmiHeader.biHeight = -nHeight; // top-down, as GDI+ lays out its rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    CBitmap thumbnail;
    if (!thumbnail.Attach(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &pBits, nullptr, 0)) || !pBits)
        return FALSE;
    std::memset(pBits, 0, static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight) * 4);

    // An opaque picture of 24 or 32 bits, the usual photo, is averaged into
    // the box from its own pixels: GDI+ would first convert the whole picture
    // for each thumbnail, which costs about half as much as decoding it.
    if (ShrinkOpaqueInto(image.get(), nWidth, nHeight, static_cast<uint32_t*>(pBits)))
        return bitmap.Attach(thumbnail.Detach());

    // GDI+ draws straight into the section's pixels, premultiplied, so that
    // transparent parts can be blended over any background later.
    GpBitmap* pTarget = nullptr;
    if (GdipCreateBitmapFromScan0(nWidth, nHeight, nWidth * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(pBits),
                                  &pTarget) != Ok)
        return FALSE;
    ImagePtr target(pTarget);
    GpGraphics* pGraphics = nullptr;
    if (GdipGetImageGraphicsContext(target.get(), &pGraphics) != Ok)
        return FALSE;
    GpStatus status;
    {
        std::unique_ptr<GpGraphics, GraphicsDeleter> graphics(pGraphics);
        status = GdipDrawImageRectI(graphics.get(), image.get(), 0, 0, nWidth, nHeight);
    }
    target.reset();
    ::GdiFlush();
    if (status != Ok)
        return FALSE;
    return bitmap.Attach(thumbnail.Detach());
}

BOOL DrawThumbnail(HDC hdc, int x, int y, HBITMAP hThumbnail)
{
    BITMAP bm = {};
    if (!hThumbnail || !::GetObjectA(hThumbnail, sizeof(bm), &bm))
        return FALSE;
    CDC dcThumbnail;
    if (!dcThumbnail.CreateCompatibleDC(hdc))
        return FALSE;
    CSelectedObject selected(dcThumbnail, hThumbnail);
    if (!selected.Selected())
        return FALSE;
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::AlphaBlend(hdc, x, y, bm.bmWidth, bm.bmHeight, dcThumbnail, 0, 0, bm.bmWidth, bm.bmHeight, blend);
}
