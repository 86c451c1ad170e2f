#include "history/HistoryThumbnail.h"

#include <objidl.h>
#include <gdiplus.h>

#include <climits>
#include <cstring>
#include <memory>
#include <new>

#include "CBitmap.h"
#include "CDC.h"
#include "CFile.h"
#include "CSelectedObject.h"
#include "view/ImageHeader.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// The whole file is held in memory twice for a moment; larger files get no
// thumbnail (this also keeps the length within one read call).
constexpr ULONGLONG kMaxFileBytes = INT_MAX;

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

// The file's bytes in a stream that owns its memory block, or null.
StreamPtr ReadFileStream(const char* path)
{
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone))
        return nullptr;
    const ULONGLONG length = file.GetLength();
    if (length == 0 || length > kMaxFileBytes)
        return nullptr;
    HGLOBAL hData = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(length));
    if (!hData)
        return nullptr;
    bool bRead = false;
    if (void* pData = ::GlobalLock(hData)) {
        UINT nRead = 0;
        bRead = file.ReadChecked(pData, static_cast<UINT>(length), nRead) && nRead == length &&
                !IsImageTooLarge(static_cast<const unsigned char*>(pData), static_cast<size_t>(length));
        ::GlobalUnlock(hData);
    }
    IStream* pStream = nullptr;
    if (!bRead || ::CreateStreamOnHGlobal(hData, TRUE, &pStream) != S_OK) {
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
