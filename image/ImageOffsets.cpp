#include "image/ImageOffsets.h"

#include <cstdint>
#include <vector>

#include "image/ByteReader.h"
#include "image/ImageFormat.h"

namespace {

// Bytes per value of a TIFF field type; 0 for types no reader knows.
std::uint32_t TiffTypeSize(std::uint32_t type)
{
    switch (type) {
    case 1:
    case 2:
    case 6:
    case 7: return 1; // BYTE ASCII SBYTE UNDEFINED
    case 3:
    case 8: return 2; // SHORT SSHORT
    case 4:
    case 9:
    case 11:
    case 13: return 4; // LONG SLONG FLOAT IFD
    case 5:
    case 10:
    case 12:
    case 16:
    case 17:
    case 18: return 8; // RATIONAL SRATIONAL DOUBLE LONG8 SLONG8 IFD8
    default: return 0;
    }
}

// Tags whose values are offsets into the file: StripOffsets, FreeOffsets,
// TileOffsets, SubIFDs, JPEGInterchangeFormat, and the Exif, GPS and
// interoperability directories.
bool IsTiffOffsetTag(std::uint32_t tag)
{
    return tag == 273 || tag == 288 || tag == 324 || tag == 330 || tag == 513 || tag == 34665 || tag == 34853 ||
           tag == 40965;
}

// Directories that hold further directories rather than data.
bool IsTiffDirectoryTag(std::uint32_t tag)
{
    return tag == 330 || tag == 34665 || tag == 34853 || tag == 40965;
}

// Walks every directory reachable from the header (the chain, sub-IFDs and
// the Exif, GPS and interoperability directories) with a budget against
// loops. Classic TIFF has 2-byte counts, 12-byte entries and 4-byte offsets;
// BigTIFF 8-byte counts, 20-byte entries and 8-byte offsets.
bool TiffOffsetsInside(const ByteReader& d)
{
    const std::size_t size = d.Size();
    if (!d.Has(0, 8))
        return true; // too short to point anywhere
    const ByteOrder order = d.U8(0) == 'M' ? ByteOrder::big : ByteOrder::little;
    const bool bigTiff = d.U16(2, order) == 43;
    if (bigTiff && !d.Has(0, 16))
        return true;
    const std::size_t offsetSize = bigTiff ? 8 : 4;
    const std::size_t entrySize = bigTiff ? 20 : 12;
    const std::size_t countSize = bigTiff ? 8 : 2;
    auto offsetAt = [&](std::uint64_t at) -> std::uint64_t { return bigTiff ? d.U64(at, order) : d.U32(at, order); };

    std::vector<std::uint64_t> pending = {offsetAt(bigTiff ? 8 : 4)};
    std::size_t budget = std::size_t(1) << 20;
    while (!pending.empty()) {
        const std::uint64_t ifd = pending.back();
        pending.pop_back();
        if (ifd > size)
            return false;
        if (ifd == 0 || budget == 0 || !d.Has(ifd, countSize))
            continue;
        --budget;
        const std::uint64_t count = bigTiff ? d.U64(ifd, order) : d.U16(ifd, order);
        const std::size_t first = static_cast<std::size_t>(ifd) + countSize;
        std::uint64_t i = 0;
        for (; i < count && budget > 0 && d.Has(first + i * entrySize, entrySize); ++i, --budget) {
            const std::size_t e = first + static_cast<std::size_t>(i) * entrySize;
            const std::uint32_t tag = d.U16(e, order);
            const std::uint32_t type = d.U16(e + 2, order);
            const std::uint64_t n = bigTiff ? d.U64(e + 4, order) : d.U32(e + 4, order);
            const std::size_t valueField = e + (bigTiff ? 12 : 8);
            const std::uint32_t typeSize = TiffTypeSize(type);
            // A value that does not fit the entry lies at an offset.
            std::size_t values = valueField;
            if (typeSize != 0 && n > offsetSize / typeSize) {
                const std::uint64_t at = offsetAt(valueField);
                if (at > size)
                    return false;
                values = static_cast<std::size_t>(at);
            }
            if (!IsTiffOffsetTag(tag) || (typeSize != 2 && typeSize != 4 && typeSize != 8))
                continue;
            // Every offset the tag lists, as far as the list lies in the data.
            for (std::uint64_t k = 0; k < n && budget > 0 && d.Has(values + k * typeSize, typeSize); ++k, --budget) {
                const std::size_t at = values + static_cast<std::size_t>(k) * typeSize;
                const std::uint64_t offset = typeSize == 2   ? d.U16(at, order)
                                             : typeSize == 4 ? d.U32(at, order)
                                                             : d.U64(at, order);
                if (offset > size)
                    return false;
                if (IsTiffDirectoryTag(tag))
                    pending.push_back(offset);
            }
        }
        if (i == count && d.Has(first + count * entrySize, offsetSize))
            pending.push_back(offsetAt(first + static_cast<std::size_t>(count) * entrySize));
    }
    return true;
}

// The pixel data offset of the file header and, for a version-5 header with
// an embedded colour profile, the profile's offset (counted from the header).
bool BmpOffsetsInside(const ByteReader& d)
{
    if (!d.Has(10, 4))
        return true;
    if (d.Le32(10) > d.Size())
        return false;
    constexpr std::uint32_t kProfileEmbedded = 0x4D424544; // 'MBED'
    if (d.Le32(14) >= 124 && d.Has(14, 124) && d.Le32(14 + 56) == kProfileEmbedded)
        return 14ull + d.Le32(14 + 112) <= d.Size();
    return true;
}

// Every icon entry's image offset, as far as the directory lies in the data.
bool IcoOffsetsInside(const ByteReader& d)
{
    if (!d.Has(0, 6))
        return true;
    const std::size_t count = d.Le16(4);
    for (std::size_t i = 0; i < count && d.Has(6 + i * 16, 16); ++i) {
        if (d.Le32(6 + i * 16 + 12) > d.Size())
            return false;
    }
    return true;
}

} // namespace

bool HasOffsetBeyondData(const unsigned char* data, std::size_t size)
{
    const ByteReader d(data, size);
    switch (DetectImageFormat(data, size)) {
    case ImageFormat::Bmp: return !BmpOffsetsInside(d);
    case ImageFormat::Tiff:
    case ImageFormat::BigTiff: return !TiffOffsetsInside(d);
    case ImageFormat::Icon:
    case ImageFormat::Cursor: return !IcoOffsetsInside(d);
    default: return false;
    }
}
