#include "history/HistoryThumbnail.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "CBitmap.h"
#include "CDC.h"
#include "CDibSection.h"
#include "CSelectedObject.h"
#include "CGlobalLock.h"
#include "history/CBoxShrinker.h"
#include "history/ThumbnailScale.h"
#include "image/CPicture.h"
#include "image/ExifThumbnail.h"
#include "image/ImageFile.h"
#include "image/ImageFormat.h"
#include "image/WicDecoder.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

struct GraphicsDeleter {
    void operator()(GpGraphics* p) const { GdipDeleteGraphics(p); }
};

// The whole picture averaged into the box when it is an opaque 24- or 32-bit
// bitmap; false (box untouched) for any other picture.
bool ShrinkOpaqueInto(GpImage* pImage, const CDibSection& box)
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
                  static_cast<int>(height), format == PixelFormat24bppRGB ? 3 : 4,
                  reinterpret_cast<uint32_t*>(box.GetBits()), box.GetWidth(), box.GetHeight());
    GdipBitmapUnlockBits(pBitmap, &data);
    return true;
}

// A metafile whose ellipses are too large to work out is played by GDI
// without them (as the view plays it), which leaves no alpha: it is played
// once on black and once on white, and a pixel that came out the same on
// both is what the picture drew there, one that did not is background.
bool DrawGuardedMetafileInto(const CPicture& picture, CDibSection& box)
{
    if (!picture.IsMetafile())
        return false;
    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr))
        return false;
    CSelectedObject selected(dc, box);
    if (!selected.Selected())
        return false;
    const RECT all = {0, 0, box.GetWidth(), box.GetHeight()};
    const size_t count = static_cast<size_t>(box.GetWidth()) * static_cast<size_t>(box.GetHeight());
    DWORD* pBits = box.GetBits();
    ::PatBlt(dc, 0, 0, all.right, all.bottom, BLACKNESS);
    if (!picture.DrawWithHugeEllipsesLeftOut(dc, all))
        return false;
    ::GdiFlush();
    const std::vector<DWORD> onBlack(pBits, pBits + count);
    ::PatBlt(dc, 0, 0, all.right, all.bottom, WHITENESS);
    picture.DrawWithHugeEllipsesLeftOut(dc, all);
    ::GdiFlush();
    for (size_t i = 0; i < count; ++i) {
        const DWORD black = onBlack[i] & 0x00FFFFFF;
        const DWORD white = pBits[i] & 0x00FFFFFF;
        pBits[i] = black == white ? (0xFF000000 | black) : 0;
    }
    return true;
}

// GDI+ draws straight into the section's pixels, premultiplied, so that
// transparent parts can be blended over any background later.
bool DrawWithGdiplusInto(const CPicture& picture, CDibSection& box)
{
    GpBitmap* pTarget = nullptr;
    if (GdipCreateBitmapFromScan0(box.GetWidth(), box.GetHeight(), box.GetPitch(), PixelFormat32bppPARGB,
                                  reinterpret_cast<BYTE*>(box.GetBits()), &pTarget) != Ok)
        return false;
    GdiplusImagePtr target(pTarget);
    GpGraphics* pGraphics = nullptr;
    if (GdipGetImageGraphicsContext(target.get(), &pGraphics) != Ok)
        return false;
    GpStatus status;
    {
        std::unique_ptr<GpGraphics, GraphicsDeleter> graphics(pGraphics);
        status = GdipDrawImageRectI(graphics.get(), picture.GetImage(), 0, 0, box.GetWidth(), box.GetHeight());
    }
    target.reset();
    ::GdiFlush();
    return status == Ok;
}

// The box of the picture's stored orientation, turned to stand as the camera
// meant it, in a new bitmap of the kept size.
bool TurnUprightInto(CDibSection& stored, TransformState orientation, SIZE kept, CBitmap& bitmap)
{
    if (orientation.rotation == 0 && !orientation.mirrored)
        return bitmap.Attach(stored.Detach()) != FALSE;
    CDibSection upright;
    if (!upright.Create(kept.cx, kept.cy))
        return false;
    TransformPixelsBy(orientation, stored.GetBits(), stored.GetPitch(), SIZE{stored.GetWidth(), stored.GetHeight()},
                      upright.GetBits(), upright.GetPitch());
    return bitmap.Attach(upright.Detach()) != FALSE;
}

// The picture drawn into a box of its stored orientation, then turned to
// stand as the camera meant it, in a new bitmap of the kept size.
bool DrawUprightInto(const CPicture& picture, TransformState orientation, SIZE kept, CBitmap& bitmap)
{
    const SIZE storedBox = ShownSize(Inverse(orientation), kept);
    CDibSection stored;
    if (!stored.Create(storedBox.cx, storedBox.cy))
        return false;
    // An opaque picture of 24 or 32 bits, the usual photo, is averaged into
    // the box from its own pixels: GDI+ would first convert the whole picture
    // for each thumbnail, which costs about half as much as decoding it.
    if (!ShrinkOpaqueInto(picture.GetImage(), stored) && !DrawGuardedMetafileInto(picture, stored) &&
        !DrawWithGdiplusInto(picture, stored))
        return false;
    return TurnUprightInto(stored, orientation, kept, bitmap);
}

// An opaque still (the usual photo: a JPEG, PNG, BMP or TIFF of 24 or 32
// bits) is averaged into the box band by band as its codec gives the rows,
// without a bitmap of the whole picture. The result is that of decoding the
// picture and shrinking it. *pbDone is false when the picture is of another
// kind, or its codec refused it (it is then loaded whole, as any picture).
bool MakeFromOpaqueStill(const CGlobalBlock& data, SIZE kept, CBitmap& bitmap, const CancelCheck& cancelled,
                         bool* pbDone)
{
    *pbDone = false;
    CGlobalLock bytes(data);
    const auto* pBytes = static_cast<const unsigned char*>(bytes.Get());
    if (!pBytes)
        return false;
    if (!IsOpaqueStillCodecFormat(DetectImageFormat(pBytes, data.GetSize())))
        return false;
    const TransformState orientation = ReadPictureOrientation(pBytes, data.GetSize());
    const SIZE storedBox = ShownSize(Inverse(orientation), kept);
    CDibSection stored;
    if (!stored.Create(storedBox.cx, storedBox.cy))
        return false;
    std::unique_ptr<CBoxShrinker> shrinker;
    const auto begin = [&](UINT width, UINT height, UINT bytesPerPixel) {
        shrinker = std::make_unique<CBoxShrinker>(
            static_cast<int>(width), static_cast<int>(height), static_cast<int>(bytesPerPixel),
            reinterpret_cast<uint32_t*>(stored.GetBits()), storedBox.cx, storedBox.cy);
        return true;
    };
    const auto take = [&](const WicBand& band) {
        shrinker->AddRows(band.pRows, band.stride, static_cast<int>(band.count));
    };
    const WicResult result = ReadOpaqueStillBands(pBytes, data.GetSize(), begin, take, cancelled);
    if (result == WicResult::NotApplicable || result == WicResult::Unsupported)
        return false;
    *pbDone = true;
    return result == WicResult::Ok && TurnUprightInto(stored, orientation, kept, bitmap);
}

// A photo from a camera carries a small JPEG of itself in its EXIF block:
// when that one is large enough for the box and shows the whole photo (the
// same aspect), it is decoded instead of the photo, a few thousand pixels
// instead of millions. False, with bitmap untouched, when there is none or
// it does not fit; the photo is then decoded.
bool MakeFromExifThumbnail(const char* path, SIZE kept, CBitmap& bitmap, const CancelCheck& cancelled)
{
    ExifThumbnail exif;
    if (!ReadExifThumbnail(path, &exif))
        return false;
    const TransformState orientation = ExifOrientationState(exif.orientation);
    const SIZE stored = {static_cast<LONG>(exif.thumbnail.width), static_cast<LONG>(exif.thumbnail.height)};
    const SIZE picture = {static_cast<LONG>(exif.picture.width), static_cast<LONG>(exif.picture.height)};
    if (!IsExifThumbnailUsable(stored, picture, orientation, kept))
        return false;
    std::unique_ptr<CPicture> thumbnail;
    if (CPicture::Decode(std::move(exif.data), &thumbnail, cancelled) != PictureResult::Ok ||
        thumbnail->GetWidth() != stored.cx || thumbnail->GetHeight() != stored.cy)
        return false;
    return DrawUprightInto(*thumbnail, orientation, kept, bitmap);
}

} // namespace

SIZE KeptThumbnailSize(int nWidth, int nHeight)
{
    if (nWidth <= 0 || nHeight <= 0)
        return SIZE{0, 0};
    const int longest = std::max(nWidth, nHeight);
    if (longest <= kMaxKeptThumbnailSide)
        return SIZE{nWidth, nHeight};
    auto scaled = [longest](int side) {
        return std::max(1, static_cast<int>(static_cast<long long>(side) * kMaxKeptThumbnailSide / longest));
    };
    return SIZE{scaled(nWidth), scaled(nHeight)};
}

BOOL MakeThumbnail(const char* path, int nWidth, int nHeight, CBitmap& bitmap, const CancelCheck& cancelled)
{
    const SIZE kept = KeptThumbnailSize(nWidth, nHeight);
    if (!path || kept.cx <= 0)
        return FALSE;
    if (MakeFromExifThumbnail(path, kept, bitmap, cancelled))
        return TRUE;
    CGlobalBlock data;
    if (ReadImageFile(path, data) != ImageFileResult::Ok)
        return FALSE;
    bool bDone = false;
    const bool bMade = MakeFromOpaqueStill(data, kept, bitmap, cancelled, &bDone);
    if (bDone)
        return bMade;
    std::unique_ptr<CPicture> picture;
    if (CPicture::Decode(std::move(data), &picture, cancelled) != PictureResult::Ok)
        return FALSE;
    return DrawUprightInto(*picture, picture->GetOrientation(), kept, bitmap);
}

BOOL DrawThumbnail(HDC hdc, const RECT& box, HBITMAP hThumbnail)
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
    return ::AlphaBlend(hdc, box.left, box.top, box.right - box.left, box.bottom - box.top, dcThumbnail, 0, 0,
                        bm.bmWidth, bm.bmHeight, blend);
}
