#include "image/MetafileCheck.h"

#include <cstdint>

#include "image/ByteReader.h"
#include "image/ImageFormat.h"

namespace {

constexpr std::size_t kEmfHeaderSize = 88; // ENHMETAHEADER up to szlMillimeters
constexpr std::uint32_t kEmrEof = 14;
constexpr std::uint32_t kEmrSelectObject = 37;
constexpr std::uint32_t kEmrSelectPalette = 48;
constexpr std::uint32_t kStockObject = 0x80000000;

// Where an EMF record keeps an index into the object table (bytes from the
// record's start), or 0 when it keeps none.
std::size_t EmfObjectIndexOffset(std::uint32_t type)
{
    switch (type) {
    case 37:  // SELECTOBJECT
    case 38:  // CREATEPEN
    case 39:  // CREATEBRUSHINDIRECT
    case 40:  // DELETEOBJECT
    case 48:  // SELECTPALETTE
    case 49:  // CREATEPALETTE
    case 50:  // SETPALETTEENTRIES
    case 51:  // RESIZEPALETTE
    case 82:  // EXTCREATEFONTINDIRECTW
    case 93:  // CREATEMONOBRUSH
    case 94:  // CREATEDIBPATTERNBRUSHPT
    case 95:  // EXTCREATEPEN
    case 99:  // CREATECOLORSPACE
    case 100: // SETCOLORSPACE
    case 101: // DELETECOLORSPACE
    case 122: // CREATECOLORSPACEW
        return 8;
    case 71: // FILLRGN: after the bounds and the region size
    case 72: // FRAMERGN
        return 28;
    default: return 0;
    }
}

bool EmfUnsafe(const ByteReader& data)
{
    if (!data.Has(0, kEmfHeaderSize))
        return true;
    const std::size_t headerSize = data.Le32(4);
    const std::size_t total = data.Le32(48);
    const std::uint32_t handles = data.Le16(56);
    if (total > data.Size() || headerSize < kEmfHeaderSize || headerSize > total)
        return true;
    // The records are read within the size the header states.
    const ByteReader d = data.Part(0, total);
    for (std::size_t pos = headerSize; pos < total;) {
        if (!d.Has(pos, 8))
            return true;
        const std::uint32_t type = d.Le32(pos);
        const std::size_t length = d.Le32(pos + 4);
        if (length < 8 || length % 4 != 0 || !d.Has(pos, length))
            return true;
        if (type == kEmrEof)
            return false;
        if (const std::size_t at = EmfObjectIndexOffset(type)) {
            if (length < at + 4)
                return true;
            const std::uint32_t index = d.Le32(pos + at);
            const bool stock = (type == kEmrSelectObject || type == kEmrSelectPalette) && (index & kStockObject);
            if (!stock && index >= handles)
                return true;
        }
        pos += length;
    }
    return false;
}

constexpr std::size_t kPlaceableSize = 22;
constexpr std::size_t kWmfHeaderWords = 9;

// How many parameters of a WMF record, from the first, are indices into the
// object table; 0 for records that hold none.
std::size_t WmfObjectIndexCount(std::uint32_t function)
{
    switch (function) {
    case 0x012D: // SELECTOBJECT
    case 0x01F0: // DELETEOBJECT
    case 0x0234: // SELECTPALETTE
    case 0x012C: // SELECTCLIPREGION
    case 0x012A: // INVERTREGION
    case 0x012B: // PAINTREGION
        return 1;
    case 0x0228: // FILLREGION: region and brush
    case 0x0429: // FRAMEREGION
        return 2;
    default: return 0;
    }
}

// base: where the METAHEADER starts (after a placeable header, if any).
bool WmfUnsafe(const ByteReader& data, std::size_t base)
{
    if (!data.Has(base, kWmfHeaderWords * 2))
        return true;
    const ByteReader header = data.Part(base);
    const std::size_t headerWords = header.Le16(2);
    const unsigned long long totalBytes = 2ull * header.Le32(6);
    const std::uint32_t objects = header.Le16(10);
    if (headerWords < kWmfHeaderWords || totalBytes > header.Size() || headerWords * 2 > totalBytes)
        return true;
    // The records are read within the size the header states.
    const std::size_t total = static_cast<std::size_t>(totalBytes);
    const ByteReader m = header.Part(0, total);
    for (std::size_t pos = headerWords * 2; pos < total;) {
        if (!m.Has(pos, 6))
            return true;
        const unsigned long long length = 2ull * m.Le32(pos);
        const std::uint32_t function = m.Le16(pos + 4);
        if (length < 6 || length > total - pos)
            return true;
        if (function == 0) // end of file
            return false;
        const std::size_t indices = WmfObjectIndexCount(function);
        if (length < 6 + 2 * indices)
            return true;
        for (std::size_t i = 0; i < indices; ++i) {
            if (m.Le16(pos + 6 + 2 * i) >= objects)
                return true;
        }
        pos += static_cast<std::size_t>(length);
    }
    return false;
}

} // namespace

bool HasUnsafeMetafileRecords(const unsigned char* data, std::size_t size)
{
    const ByteReader d(data, size);
    switch (DetectImageFormat(data, size)) {
    case ImageFormat::Emf: return EmfUnsafe(d);
    case ImageFormat::PlaceableWmf: return WmfUnsafe(d, kPlaceableSize);
    case ImageFormat::Wmf: return WmfUnsafe(d, 0); // no placeable header: memory or disk type, 9-word header
    default: return false;
    }
}
