#include "view/MetafileExtent.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "CHandleOwner.h"

namespace {

// The size the picture is played at; shapes are compared against it.
constexpr int kReferenceSize = 1000;
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableSize = 22;

std::int32_t Le32(const unsigned char* p)
{
    return static_cast<std::int32_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

std::int16_t Le16(const unsigned char* p)
{
    return static_cast<std::int16_t>(p[0] | p[1] << 8);
}

// Records that move the coordinate mapping; they are the only ones played.
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

// Where a shape record keeps its points: a box (two corners at 8), or a
// count and a list of 32- or 16-bit points (after the bounds, at 24), for
// the poly-polygon records after the list of counts.
struct ShapeLayout {
    enum {
        none,
        box,
        points32,
        points16
    } kind;
    bool polyPoly;
};

ShapeLayout LayoutOf(DWORD type)
{
    switch (type) {
    case EMR_RECTANGLE:
    case EMR_ELLIPSE:
    case EMR_ROUNDRECT:
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE:
    case EMR_ARCTO: return {ShapeLayout::box, false};
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
    case EMR_POLYDRAW: return {ShapeLayout::points32, false};
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON: return {ShapeLayout::points32, true};
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16:
    case EMR_POLYDRAW16: return {ShapeLayout::points16, false};
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16: return {ShapeLayout::points16, true};
    default: return {ShapeLayout::none, false};
    }
}

// The DC's whole mapping from logical to device coordinates: the world
// transform, then the window-to-viewport mapping.
struct Mapping {
    XFORM world = {1, 0, 0, 1, 0, 0};
    POINT windowOrg = {}, viewportOrg = {};
    SIZE windowExt = {1, 1}, viewportExt = {1, 1};

    explicit Mapping(HDC hdc)
    {
        ::GetWorldTransform(hdc, &world);
        ::GetWindowOrgEx(hdc, &windowOrg);
        ::GetViewportOrgEx(hdc, &viewportOrg);
        ::GetWindowExtEx(hdc, &windowExt);
        ::GetViewportExtEx(hdc, &viewportExt);
    }
};

// The device rectangle a shape reaches, kept in doubles: a far point must
// not wrap into a near one.
struct Reach {
    double left = HUGE_VAL, top = HUGE_VAL, right = -HUGE_VAL, bottom = -HUGE_VAL;

    void Add(const Mapping& m, double x, double y)
    {
        const double wx = m.world.eM11 * x + m.world.eM21 * y + m.world.eDx;
        const double wy = m.world.eM12 * x + m.world.eM22 * y + m.world.eDy;
        const double dx =
            (wx - m.windowOrg.x) * m.viewportExt.cx / (m.windowExt.cx ? m.windowExt.cx : 1) + m.viewportOrg.x;
        const double dy =
            (wy - m.windowOrg.y) * m.viewportExt.cy / (m.windowExt.cy ? m.windowExt.cy : 1) + m.viewportOrg.y;
        left = std::min(left, dx);
        right = std::max(right, dx);
        top = std::min(top, dy);
        bottom = std::max(bottom, dy);
    }
};

// Plays the mapping records and measures the shapes; stops at the first
// shape that reaches too far, telling so through *lParam (a bool).
int CALLBACK MeasureRecord(HDC hdc, HANDLETABLE* table, const ENHMETARECORD* record, int objects, LPARAM lParam)
{
    if (IsMappingRecord(record->iType)) {
        ::PlayEnhMetaFileRecord(hdc, table, record, static_cast<UINT>(objects));
        return TRUE;
    }
    const ShapeLayout layout = LayoutOf(record->iType);
    if (layout.kind == ShapeLayout::none)
        return TRUE;
    const auto* r = reinterpret_cast<const unsigned char*>(record);
    const std::size_t size = record->nSize;
    const Mapping mapping(hdc);
    Reach shape;
    if (layout.kind == ShapeLayout::box) {
        if (size < 24)
            return TRUE;
        // All four corners: a turned mapping moves each of them.
        for (int c = 0; c < 4; ++c)
            shape.Add(mapping, Le32(r + 8 + (c & 1 ? 8 : 0)), Le32(r + 12 + (c & 2 ? 8 : 0)));
    } else {
        std::size_t at = layout.polyPoly ? 32 : 28;
        if (size < at)
            return TRUE;
        if (layout.polyPoly)
            at += 4 * static_cast<std::size_t>(static_cast<std::uint32_t>(Le32(r + 24)));
        const std::size_t pointSize = layout.kind == ShapeLayout::points32 ? 8 : 4;
        const std::uint32_t count = static_cast<std::uint32_t>(Le32(r + (layout.polyPoly ? 28 : 24)));
        for (std::uint32_t i = 0; i < count && at <= size && pointSize <= size - at; ++i, at += pointSize) {
            if (pointSize == 8)
                shape.Add(mapping, Le32(r + at), Le32(r + at + 4));
            else
                shape.Add(mapping, Le16(r + at), Le16(r + at + 2));
        }
    }
    if (shape.right < shape.left)
        return TRUE; // no point inside the record
    const double limit = kMaxShapeToPictureRatio * kReferenceSize;
    // Written so that a mapping gone to infinity or NaN counts as far.
    if (!(shape.right - shape.left <= limit) || !(shape.bottom - shape.top <= limit)) {
        *reinterpret_cast<bool*>(lParam) = true;
        return FALSE;
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
// decoders turn it, with its bounds for the frame). Null for anything else.
HENHMETAFILE EnhancedMetafileOf(const unsigned char* data, std::size_t size)
{
    if (size >= 44 && Le32(data) == EMR_HEADER && Le32(data + 40) == ENHMETA_SIGNATURE)
        return ::SetEnhMetaFileBits(static_cast<UINT>(size), data);
    if (size <= kPlaceableSize || static_cast<std::uint32_t>(Le32(data)) != kPlaceableKey)
        return nullptr;
    const int inch = static_cast<std::uint16_t>(Le16(data + 14));
    METAFILEPICT picture = {};
    picture.mm = MM_ANISOTROPIC;
    picture.xExt = (Le16(data + 10) - Le16(data + 6)) * 2540 / (inch ? inch : 1440);
    picture.yExt = (Le16(data + 12) - Le16(data + 8)) * 2540 / (inch ? inch : 1440);
    return ::SetWinMetaFileBits(static_cast<UINT>(size - kPlaceableSize), data + kPlaceableSize, nullptr, &picture);
}

} // namespace

bool HasShapesFarBeyondPicture(const unsigned char* data, std::size_t size)
{
    if (!data)
        return false;
    CHandleOwner<EnhMetafileTraits> metafile(EnhancedMetafileOf(data, size));
    CHandleOwner<MemoryDCTraits> dc(::CreateCompatibleDC(nullptr));
    if (!metafile || !dc)
        return false;
    bool tooFar = false;
    const RECT picture = {0, 0, kReferenceSize, kReferenceSize};
    ::EnumEnhMetaFile(dc, metafile, MeasureRecord, &tooFar, &picture);
    return tooFar;
}
