#include "image/CPicture.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "AfxStream.h"
#include "CDC.h"
#include "CDibSection.h"
#include "CSelectedObject.h"
#include "CGlobalLock.h"
#include "image/ExifReader.h"
#include "image/ImageFile.h"
#include "image/ImageFormat.h"
#include "image/MetafileEllipses.h"
#include "image/WicDecoder.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr UINT kDefaultFrameDelayMs = 100;
constexpr PROPID kFrameDelayProperty = 0x5100;

// The time dimension of animated images.
const GUID kFrameDimensionTime = {0x6AEDBD6D, 0x3FB5, 0x418A, {0x83, 0xA6, 0x7F, 0x45, 0x22, 0x9D, 0xC8, 0x72}};

struct GraphicsDeleter {
    void operator()(GpGraphics* p) const { GdipDeleteGraphics(p); }
};

// Whether GDI+ holds the picture as a bitmap without transparency: a pixel
// format without alpha, or an indexed one whose palette has none.
bool IsOpaqueBitmap(GpImage* pImage)
{
    ImageType type = ImageTypeUnknown;
    PixelFormat format = 0;
    if (GdipGetImageType(pImage, &type) != Ok || type != ImageTypeBitmap ||
        GdipGetImagePixelFormat(pImage, &format) != Ok)
        return false;
    if (format & (PixelFormatAlpha | PixelFormatPAlpha))
        return false;
    if (!(format & PixelFormatIndexed))
        return true;
    INT size = 0;
    if (GdipGetImagePaletteSize(pImage, &size) != Ok || size < static_cast<INT>(sizeof(ColorPalette)))
        return false;
    std::vector<BYTE> buffer(static_cast<size_t>(size));
    auto* pPalette = reinterpret_cast<ColorPalette*>(buffer.data());
    return GdipGetImagePalette(pImage, pPalette, size) == Ok && !(pPalette->Flags & PaletteFlagsHasAlpha);
}

// The formats GDI+ decodes. Its verdict on them stands; only other files go
// to the system's codecs.
bool IsGdiplusFormat(ImageFormat format)
{
    switch (format) {
    case ImageFormat::Bmp:
    case ImageFormat::Jpeg:
    case ImageFormat::Png:
    case ImageFormat::Gif:
    case ImageFormat::Tiff:
    case ImageFormat::BigTiff:
    case ImageFormat::Icon:
    case ImageFormat::Cursor:
    case ImageFormat::Emf:
    case ImageFormat::PlaceableWmf:
    case ImageFormat::Wmf: return true;
    default: return false;
    }
}

} // namespace

void GdiplusImageDeleter::operator()(GpImage* pImage) const
{
    GdipDisposeImage(pImage);
}

UINT FrameDelayMs(const std::vector<UINT>& delays, int nFrame)
{
    if (nFrame < 0 || static_cast<size_t>(nFrame) >= delays.size())
        return kDefaultFrameDelayMs;
    const UINT delay = delays[static_cast<size_t>(nFrame)];
    return delay > UINT_MAX / 10 ? UINT_MAX : delay * 10;
}

bool IsOpaqueStillCodecFormat(ImageFormat format)
{
    switch (format) {
    case ImageFormat::Jpeg:
    case ImageFormat::Png:
    case ImageFormat::Bmp:
    case ImageFormat::Tiff: return true;
    default: return false;
    }
}

// Only JPEG and TIFF are turned; the block is read from the file's bytes,
// since the decoders do not return it for a JPEG.
TransformState ReadPictureOrientation(const unsigned char* data, std::size_t size)
{
    const ImageFormat format = DetectImageFormat(data, size);
    if (format == ImageFormat::Jpeg || format == ImageFormat::Tiff || format == ImageFormat::BigTiff)
        return ExifOrientationState(ReadExifOrientation(data, size));
    return TransformState{0, false};
}

CPicture::~CPicture() = default;

PictureResult CPicture::Load(const char* path, std::unique_ptr<CPicture>* ppPicture, const CancelCheck& cancelled)
{
    CGlobalBlock data;
    switch (ReadImageFile(path, data)) {
    case ImageFileResult::Ok: return Decode(std::move(data), ppPicture, cancelled);
    case ImageFileResult::CannotOpen: return PictureResult::CannotOpen;
    case ImageFileResult::Unsupported: return PictureResult::Unsupported;
    case ImageFileResult::NoMemory: break;
    }
    return PictureResult::NoMemory;
}

PictureResult CPicture::Decode(CGlobalBlock data, std::unique_ptr<CPicture>* ppPicture, const CancelCheck& cancelled)
{
    std::unique_ptr<CPicture> picture(new CPicture);
    picture->m_cbData = data.GetSize();
    picture->m_data = std::move(data);
    picture->ReadOrientation();

    PictureResult result = picture->DecodeOpaqueStill(cancelled);
    if (result == PictureResult::Unsupported)
        result = picture->DecodeWithGdiplus();
    if (result != PictureResult::Ok)
        return result;

    GpImage* pImage = picture->m_image.get();
    UINT width = 0;
    UINT height = 0;
    GdipGetImageWidth(pImage, &width);
    GdipGetImageHeight(pImage, &height);
    picture->m_nWidth = static_cast<int>(width);
    picture->m_nHeight = static_cast<int>(height);
    ImageType type = ImageTypeUnknown;
    picture->m_bMetafile = GdipGetImageType(pImage, &type) == Ok && type == ImageTypeMetafile;
    picture->ReadFrames();
    picture->m_bOpaqueStill = !picture->IsAnimated() && IsOpaqueBitmap(pImage);
    *ppPicture = std::move(picture);
    return PictureResult::Ok;
}

// An opaque still of a format whose decoder the system's codecs share with
// GDI+ (JPEG, PNG, BMP, TIFF) is decoded straight into a 32-bit bitmap of the
// picture's own, a band of rows at a time: the same colours GDI+ gives, at
// about the same speed, and at its peak the load holds the file, that bitmap
// and at most the codec's own copy, not GDI+'s copies besides. Unsupported
// when the picture is of another kind (GDI+ decodes it then).
PictureResult CPicture::DecodeOpaqueStill(const CancelCheck& cancelled)
{
    WicPixels decoded;
    WicResult result;
    {
        CGlobalLock bytes(m_data);
        if (!bytes.Get())
            return PictureResult::NoMemory;
        if (!IsOpaqueStillCodecFormat(DetectImageFormat(bytes.Get(), m_cbData)))
            return PictureResult::Unsupported;
        result = DecodeOpaqueStillWithWic(bytes.Get(), m_cbData, &decoded, cancelled);
    }
    switch (result) {
    case WicResult::Ok: return AdoptPixels(decoded);
    case WicResult::NoMemory: return PictureResult::NoMemory;
    case WicResult::Cancelled: return PictureResult::Cancelled;
    default: return PictureResult::Unsupported;
    }
}

PictureResult CPicture::DecodeWithGdiplus()
{
    // The picture keeps the block; the stream only reads it.
    IStream* pStream = nullptr;
    if (AfxCreateStreamOnHGlobal(m_data, FALSE, &pStream) != S_OK || !pStream)
        return PictureResult::NoMemory;
    *m_stream.Receive() = pStream;

    GpImage* pImage = nullptr;
    const GpStatus status = GdipLoadImageFromStream(m_stream.Get(), &pImage);
    m_image.reset(pImage);
    if (status == Ok && pImage)
        return PictureResult::Ok;
    // What GDI+ cannot decode, the system's other codecs may: pictures of
    // other formats. A damaged picture of a format GDI+ knows stays refused,
    // as GDI+ refused it.
    m_image.reset();
    if (IsOfGdiplusFormat())
        return PictureResult::Unsupported;
    return DecodeWithSystemCodecs();
}

bool CPicture::IsOfGdiplusFormat() const
{
    CGlobalLock bytes(m_data);
    return bytes.Get() && IsGdiplusFormat(DetectImageFormat(bytes.Get(), m_cbData));
}

void CPicture::ReadOrientation()
{
    CGlobalLock bytes(m_data);
    if (bytes.Get())
        m_orientation = ReadPictureOrientation(bytes.Get(), m_cbData);
}

// The first frame, decoded by the system's codecs into a 32-bit bitmap of
// the picture's own, which GDI+ then draws like any other. The stream and the
// file's bytes are let go: the bitmap is all that is drawn.
PictureResult CPicture::DecodeWithSystemCodecs()
{
    WicPixels decoded;
    WicResult result;
    {
        CGlobalLock bytes(m_data);
        if (!bytes.Get())
            return PictureResult::NoMemory;
        result = DecodeWithWic(bytes.Get(), m_cbData, &decoded);
    }
    if (result == WicResult::NoMemory)
        return PictureResult::NoMemory;
    if (result != WicResult::Ok)
        return PictureResult::Unsupported;
    return AdoptPixels(decoded);
}

// The decoded pixels become the bitmap GDI+ draws. The stream and the file's
// bytes are let go: the bitmap is all that is drawn.
PictureResult CPicture::AdoptPixels(WicPixels& decoded)
{
    GpBitmap* pBitmap = nullptr;
    if (GdipCreateBitmapFromScan0(decoded.width, decoded.height, decoded.width * 4,
                                  decoded.bOpaque ? PixelFormat32bppRGB : PixelFormat32bppPARGB, decoded.pixels.Get(),
                                  &pBitmap) != Ok ||
        !pBitmap)
        return PictureResult::NoMemory;
    m_pixels = std::move(decoded.pixels);
    m_image.reset(pBitmap);
    m_stream.Release();
    m_data.Close();
    m_cbData = 0;
    return PictureResult::Ok;
}

// The frame count of the first dimension, and the delays of the frames when
// the picture lists them.
void CPicture::ReadFrames()
{
    GpImage* pImage = m_image.get();
    UINT dimensions = 0;
    GdipImageGetFrameDimensionsCount(pImage, &dimensions);
    if (dimensions == 0)
        return;
    std::vector<GUID> ids(dimensions);
    GdipImageGetFrameDimensionsList(pImage, ids.data(), dimensions);
    UINT frames = 0;
    GdipImageGetFrameCount(pImage, &ids[0], &frames);
    m_nFrameCount = static_cast<int>(frames);
    m_bTimeFrames = IsEqualGUID(ids[0], kFrameDimensionTime) != FALSE;

    UINT size = 0;
    if (GdipGetPropertyItemSize(pImage, kFrameDelayProperty, &size) != Ok || size < sizeof(PropertyItem))
        return;
    std::vector<BYTE> buffer(size);
    auto* pItem = reinterpret_cast<PropertyItem*>(buffer.data());
    if (GdipGetPropertyItem(pImage, kFrameDelayProperty, size, pItem) != Ok || !pItem->value)
        return;
    // The values lie inside the buffer GDI+ filled, after the item's header.
    const auto* pValues = static_cast<const BYTE*>(pItem->value);
    const BYTE* pEnd = buffer.data() + buffer.size();
    if (pValues < buffer.data() || pValues > pEnd)
        return;
    const size_t count = std::min<size_t>(pItem->length, static_cast<size_t>(pEnd - pValues)) / sizeof(UINT32);
    const auto* pDelays = reinterpret_cast<const UINT32*>(pValues);
    m_delays.assign(pDelays, pDelays + count);
}

void CPicture::SelectFrame(int nFrame)
{
    GdipImageSelectActiveFrame(m_image.get(), &kFrameDimensionTime, static_cast<UINT>(nFrame));
}

void CPicture::ConvertForDrawing()
{
    PixelFormat format = 0;
    if (!m_bOpaqueStill || GdipGetImagePixelFormat(m_image.get(), &format) != Ok || format == PixelFormat32bppRGB ||
        GetPixelFormatSize(format) < 24)
        return;
    // While the copy is made the decoder's image and the copy are both held;
    // the first paint of the decoder's image at 100 % would take as much
    // again, since GDI+ converts the whole picture for it.
    GpBitmap* pCopy = nullptr;
    if (GdipCloneBitmapAreaI(0, 0, m_nWidth, m_nHeight, PixelFormat32bppRGB, static_cast<GpBitmap*>(m_image.get()),
                             &pCopy) != Ok ||
        !pCopy)
        return;
    m_image.reset(pCopy);
    m_stream.Release();
    m_data.Close();
    m_cbData = 0;
}

void CPicture::MakeScaledCopy(SIZE upright)
{
    m_scaled.Free();
    if (upright.cx <= 0 || upright.cy <= 0 || !m_bOpaqueStill)
        return;
    // Drawn the way a paint draws (GDI+ onto a device context), so the copy
    // holds exactly the pixels a paint at that size would.
    const SIZE stored = ShownSize(Inverse(m_orientation), upright);
    CDC dc;
    CDibSection dib;
    if (!dc.CreateCompatibleDC(nullptr) || !dib.Create(stored.cx, stored.cy))
        return;
    {
        CSelectedObject selected(dc, dib);
        if (!selected.Selected())
            return;
        const RECT all = {0, 0, stored.cx, stored.cy};
        Draw(dc, all, all);
        ::GdiFlush();
    }
    m_scaled = std::move(dib);
}

HBITMAP CPicture::ScaledCopyFor(SIZE stored) const
{
    if (!m_scaled || stored.cx != m_scaled.GetWidth() || stored.cy != m_scaled.GetHeight())
        return nullptr;
    return m_scaled.Get();
}

bool CPicture::DrawWithHugeEllipsesLeftOut(HDC hdc, const RECT& dest) const
{
    if (!m_bMetafile || !m_data)
        return false;
    CGlobalLock bytes(m_data);
    if (!bytes.Get())
        return false;
    return DrawMetafileWithoutHugeEllipses(hdc, bytes.Get(), m_cbData, dest);
}

bool CPicture::CopyOwnPixels(HDC hdc, const RECT& dest, const RECT& clip) const
{
    if (!m_pixels || !m_bOpaqueStill || dest.right - dest.left != m_nWidth || dest.bottom - dest.top != m_nHeight)
        return false;
    RECT part;
    if (!::IntersectRect(&part, &dest, &clip))
        return true; // nothing of it shows
    // The rows that show, as a top-down bitmap of their own: the copy takes
    // all of its height, which reads the same whichever way a system counts
    // the rows of a top-down bitmap.
    const int rows = part.bottom - part.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = m_nWidth;
    info.bmiHeader.biHeight = -rows;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const auto* first = static_cast<const unsigned char*>(m_pixels.Get()) +
                        static_cast<std::size_t>(part.top - dest.top) * static_cast<std::size_t>(m_nWidth) * 4;
    const int width = part.right - part.left;
    return ::StretchDIBits(hdc, part.left, part.top, width, rows, part.left - dest.left, 0, width, rows, first, &info,
                           DIB_RGB_COLORS, SRCCOPY) == rows;
}

void CPicture::Draw(HDC hdc, const RECT& dest, const RECT& clip) const
{
    if (DrawWithHugeEllipsesLeftOut(hdc, dest))
        return;
    GpGraphics* pGraphics = nullptr;
    GdipCreateFromHDC(hdc, &pGraphics);
    std::unique_ptr<GpGraphics, GraphicsDeleter> graphics(pGraphics);
    if (!graphics)
        return;
    GdipSetClipRectI(graphics.get(), clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top,
                     CombineModeReplace);
    GdipDrawImageRectI(graphics.get(), m_image.get(), dest.left, dest.top, dest.right - dest.left,
                       dest.bottom - dest.top);
}
