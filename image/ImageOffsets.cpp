#include "image/ImageOffsets.h"

#include <cstdint>
#include <vector>

#include "image/ByteReader.h"
#include "image/ImageFormat.h"
#include "image/TiffWalker.h"

namespace {

// Directories that hold further directories rather than data.
bool IsTiffDirectoryTag(std::uint32_t tag)
{
    return tag == kTiffSubIfds || tag == kTiffExifIfd || tag == kTiffGpsIfd || tag == kTiffInteroperabilityIfd;
}

// Tags whose values are offsets into the file: StripOffsets, FreeOffsets,
// TileOffsets, SubIFDs, JPEGInterchangeFormat, and the Exif, GPS and
// interoperability directories.
bool IsTiffOffsetTag(std::uint32_t tag)
{
    return tag == kTiffStripOffsets || tag == kTiffFreeOffsets || tag == kTiffTileOffsets || tag == kTiffSubIfds ||
           tag == kTiffJpegInterchangeFormat || IsTiffDirectoryTag(tag);
}

// Walks every directory reachable from the header (the chain, sub-IFDs and
// the Exif, GPS and interoperability directories), classic or BigTIFF; the
// walker's budget ends directories that list each other.
bool TiffOffsetsInside(const ByteReader& d)
{
    TiffWalker tiff(d);
    if (!tiff.IsValid())
        return true; // too short to point anywhere
    const std::uint64_t size = d.Size();
    std::vector<std::uint64_t> pending = {tiff.FirstDirectory()};
    while (!pending.empty()) {
        const std::uint64_t ifd = pending.back();
        pending.pop_back();
        if (ifd > size)
            return false;
        if (ifd == 0 || !tiff.OpenDirectory(ifd))
            continue;
        TiffEntry e;
        while (tiff.NextEntry(&e)) {
            // A value that does not fit the entry lies at an offset.
            if (!tiff.ValuesInline(e) && tiff.ValuesAt(e) > size)
                return false;
            const std::uint32_t typeSize = TiffWalker::TypeSize(e.type);
            if (!IsTiffOffsetTag(e.tag) || (typeSize != 2 && typeSize != 4 && typeSize != 8))
                continue;
            // Every offset the tag lists, as far as the list lies in the data.
            std::uint64_t offset = 0;
            for (std::uint64_t k = 0; tiff.ReadValue(e, k, &offset); ++k) {
                if (offset > size)
                    return false;
                if (IsTiffDirectoryTag(e.tag))
                    pending.push_back(offset);
            }
        }
        pending.push_back(tiff.NextDirectory());
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
