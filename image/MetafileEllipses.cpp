#include "image/MetafileEllipses.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "CHandleOwner.h"
#include "image/ByteReader.h"
#include "image/ImageFormat.h"

namespace {

constexpr std::size_t kPlaceableSize = 22;
constexpr std::uint32_t kEmfPlusSignature = 0x2B464D45; // "EMF+"
constexpr DWORD kEmrSmallTextOut = 108;                 // EMR_SMALLTEXTOUT

// A record's bytes, as far as its size says.
ByteReader RecordBytes(const ENHMETARECORD* record)
{
    return ByteReader(reinterpret_cast<const unsigned char*>(record), record->nSize);
}

// Signed values of a record or header.
double S32(const ByteReader& r, std::size_t pos)
{
    return static_cast<std::int32_t>(r.Le32(pos));
}
int S16(const ByteReader& r, std::size_t pos)
{
    return static_cast<std::int16_t>(r.Le16(pos));
}

// Records that move the coordinate mapping: the measuring pass plays only these.
bool IsMappingRecord(DWORD type)
{
    switch (type) {
    case EMR_SETMAPMODE:
    case EMR_SETWINDOWEXTEX:
    case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTEXTEX:
    case EMR_SETVIEWPORTORGEX:
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX:
    case EMR_SAVEDC:
    case EMR_RESTOREDC:
    case EMR_SETWORLDTRANSFORM:
    case EMR_MODIFYWORLDTRANSFORM: return true;
    default: return false;
    }
}

// The device size of a logical width and height where the DC's mapping (world
// transform, then window to viewport) puts them; in doubles, so that a huge
// size never wraps into a small one.
double DeviceSize(HDC hdc, double width, double height)
{
    XFORM world = {1, 0, 0, 1, 0, 0};
    SIZE windowExt = {1, 1}, viewportExt = {1, 1};
    ::GetWorldTransform(hdc, &world);
    ::GetWindowExtEx(hdc, &windowExt);
    ::GetViewportExtEx(hdc, &viewportExt);
    const double wx = std::fabs(world.eM11 * width) + std::fabs(world.eM21 * height);
    const double wy = std::fabs(world.eM12 * width) + std::fabs(world.eM22 * height);
    const double sx = windowExt.cx ? static_cast<double>(viewportExt.cx) / windowExt.cx : 1.0;
    const double sy = windowExt.cy ? static_cast<double>(viewportExt.cy) / windowExt.cy : 1.0;
    return std::max(std::fabs(wx * sx), std::fabs(wy * sy));
}

// How much more the DC's mapping stretches one way than the other: the ratio
// of the device lengths of a logical unit across and down (huge when one is 0).
double Stretch(HDC hdc)
{
    XFORM world = {1, 0, 0, 1, 0, 0};
    SIZE windowExt = {1, 1}, viewportExt = {1, 1};
    ::GetWorldTransform(hdc, &world);
    ::GetWindowExtEx(hdc, &windowExt);
    ::GetViewportExtEx(hdc, &viewportExt);
    const double sx = windowExt.cx ? static_cast<double>(viewportExt.cx) / windowExt.cx : 1.0;
    const double sy = windowExt.cy ? static_cast<double>(viewportExt.cy) / windowExt.cy : 1.0;
    const double across = std::hypot(world.eM11 * sx, world.eM12 * sy);
    const double down = std::hypot(world.eM21 * sx, world.eM22 * sy);
    const double shorter = std::min(across, down);
    return shorter > 0 ? std::max(across, down) / shorter : HUGE_VAL;
}

bool IsTextRecord(DWORD type)
{
    switch (type) {
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW:
    case EMR_POLYTEXTOUTA:
    case EMR_POLYTEXTOUTW:
    case kEmrSmallTextOut: return true;
    default: return false;
    }
}

// The device size of the ellipse a record draws: an ellipse's box, a rounded
// rectangle's corners (no larger than its box); 0 for every other record.
double EllipseSize(HDC hdc, const ENHMETARECORD* record)
{
    const ByteReader r = RecordBytes(record);
    const bool ellipse = record->iType == EMR_ELLIPSE && r.Has(0, 24);
    const bool roundRect = record->iType == EMR_ROUNDRECT && r.Has(0, 32);
    if (!ellipse && !roundRect)
        return 0;
    double width = std::fabs(S32(r, 16) - S32(r, 8));
    double height = std::fabs(S32(r, 20) - S32(r, 12));
    if (roundRect) {
        width = std::min(width, std::fabs(S32(r, 24)));
        height = std::min(height, std::fabs(S32(r, 28)));
    }
    return DeviceSize(hdc, width, height);
}

bool IsEmfPlusComment(const ENHMETARECORD* record)
{
    const ByteReader r = RecordBytes(record);
    return record->iType == EMR_GDICOMMENT && r.Has(0, 16) && r.Le32(12) == kEmfPlusSignature;
}

struct Playback {
    bool drawing = false;       // false: measuring
    bool emfPlus = false;       // records only the decoders draw
    double largest = 0;         // the largest ellipse measured
    bool stretchedText = false; // text drawn under a mapping beyond kMaxTextStretch
};

// Whether text drawn now would be stretched beyond the bound.
bool IsTextStretched(HDC hdc, const ENHMETARECORD* record)
{
    if (!IsTextRecord(record->iType))
        return false;
    // Written so that a mapping gone to NaN counts as stretched.
    return !(Stretch(hdc) <= kMaxTextStretch);
}

// Measuring, plays the mapping records and notes the largest ellipse;
// drawing, plays every record but the ellipses over the bound.
int CALLBACK PlayRecord(HDC hdc, HANDLETABLE* table, const ENHMETARECORD* record, int objects, LPARAM lParam)
{
    Playback& playback = *reinterpret_cast<Playback*>(lParam);
    if (IsEmfPlusComment(record)) {
        playback.emfPlus = true;
        return FALSE;
    }
    const double size = EllipseSize(hdc, record);
    if (!playback.drawing) {
        // Written so that a mapping gone to infinity or NaN counts as huge.
        if (!(size <= playback.largest))
            playback.largest = std::isnan(size) ? HUGE_VAL : size;
        playback.stretchedText = playback.stretchedText || IsTextStretched(hdc, record);
        if (IsMappingRecord(record->iType))
            ::PlayEnhMetaFileRecord(hdc, table, record, static_cast<UINT>(objects));
    } else if (size <= kMaxEllipsePixels && !IsTextStretched(hdc, record)) {
        ::PlayEnhMetaFileRecord(hdc, table, record, static_cast<UINT>(objects));
    }
    return TRUE;
}

struct EnhMetafileTraits {
    using Handle = HENHMETAFILE;
    static BOOL Close(HENHMETAFILE h) { return ::DeleteEnhMetaFile(h); }
};
struct MemoryDCTraits {
    using Handle = HDC;
    static BOOL Close(HDC h) { return ::DeleteDC(h); }
};

// The EMF of the data: itself, or what a placeable WMF becomes (as the
// decoders turn it, its bounds giving the frame). Null for anything else.
HENHMETAFILE EnhancedMetafileOf(const unsigned char* data, std::size_t size)
{
    const ImageFormat format = DetectImageFormat(data, size);
    if (format == ImageFormat::Emf)
        return ::SetEnhMetaFileBits(static_cast<UINT>(size), data);
    if (format != ImageFormat::PlaceableWmf || size <= kPlaceableSize)
        return nullptr;
    const ByteReader d(data, size);
    const int inch = static_cast<int>(d.Le16(14));
    METAFILEPICT picture = {};
    picture.mm = MM_ANISOTROPIC;
    picture.xExt = (S16(d, 10) - S16(d, 6)) * 2540 / (inch ? inch : 1440);
    picture.yExt = (S16(d, 12) - S16(d, 8)) * 2540 / (inch ? inch : 1440);
    return ::SetWinMetaFileBits(static_cast<UINT>(size - kPlaceableSize), data + kPlaceableSize, nullptr, &picture);
}

} // namespace

bool DrawMetafileWithoutHugeEllipses(HDC hdc, const unsigned char* data, std::size_t size, const RECT& dest)
{
    if (!data)
        return false;
    CHandleOwner<EnhMetafileTraits> metafile(EnhancedMetafileOf(data, size));
    CHandleOwner<MemoryDCTraits> scratch(::CreateCompatibleDC(hdc));
    if (!metafile || !scratch)
        return false;
    Playback playback;
    ::EnumEnhMetaFile(scratch, metafile, PlayRecord, &playback, &dest);
    if (playback.emfPlus || (playback.largest <= kMaxEllipsePixels && !playback.stretchedText))
        return false;
    playback.drawing = true;
    ::EnumEnhMetaFile(hdc, metafile, PlayRecord, &playback, &dest);
    return true;
}
