#include "image/ExifReader.h"

#include <cstdint>

#include "image/ByteReader.h"
#include "image/ImageFormat.h"
#include "image/JpegSegments.h"
#include "image/TiffWalker.h"

namespace {

constexpr std::uint32_t kApp1 = 0xE1;
const char kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};

// The TIFF structure of a JPEG's first EXIF segment, and where it starts in
// the data. Segments after a scan has begun are not looked at.
bool FindExifBlock(const ByteReader& jpeg, ByteReader* block, std::size_t* start)
{
    JpegSegments segments(jpeg);
    JpegSegment s;
    while (segments.Next(&s) == JpegSegments::Step::segment) {
        const ByteReader data = segments.DataOf(s);
        if (s.marker != kApp1 || !segments.IsWhole(s) || !data.Matches(0, kExifHeader, sizeof kExifHeader))
            continue;
        *block = data.Part(sizeof kExifHeader);
        *start = s.at + 2 + sizeof kExifHeader;
        return true;
    }
    return false;
}

// The first directory, where it may be: after the header.
bool FirstDirectoryOf(const TiffWalker& tiff, std::uint64_t* at)
{
    *at = tiff.FirstDirectory();
    return tiff.IsValid() && *at >= (tiff.IsBigTiff() ? 16u : 8u);
}

int OrientationOf(TiffWalker& tiff)
{
    std::uint64_t ifd0 = 0;
    TiffEntry e;
    std::uint64_t value = 0;
    if (!FirstDirectoryOf(tiff, &ifd0) || !tiff.FindTag(ifd0, kTiffOrientation, &e) || e.type != kTiffShort ||
        !tiff.ReadValue(e, 0, &value) || value < 1 || value > 8)
        return kExifUpright;
    return static_cast<int>(value);
}

// The first value of an entry that holds a SHORT or LONG.
bool ReadInteger(TiffWalker& tiff, const TiffEntry& e, std::uint64_t* value)
{
    return (e.type == kTiffShort || e.type == kTiffLong) && tiff.ReadValue(e, 0, value);
}

} // namespace

int ReadExifOrientation(const unsigned char* data, std::size_t size)
{
    const ByteReader d(data, size);
    switch (DetectImageFormat(data, size)) {
    case ImageFormat::Jpeg: {
        ByteReader block;
        std::size_t start = 0;
        if (!FindExifBlock(d, &block, &start))
            return kExifUpright;
        TiffWalker tiff(block);
        return OrientationOf(tiff);
    }
    case ImageFormat::Tiff:
    case ImageFormat::BigTiff: {
        TiffWalker tiff(d);
        return OrientationOf(tiff);
    }
    default: return kExifUpright;
    }
}

bool FindExifThumbnail(const unsigned char* data, std::size_t size, ByteRange* out)
{
    const ByteReader d(data, size);
    ByteReader block;
    std::size_t start = 0;
    if (!out || DetectImageFormat(data, size) != ImageFormat::Jpeg || !FindExifBlock(d, &block, &start))
        return false;

    // IFD1 follows IFD0; one that is IFD0 again is a loop, not a thumbnail.
    TiffWalker tiff(block);
    std::uint64_t ifd0 = 0;
    TiffEntry e;
    if (!FirstDirectoryOf(tiff, &ifd0) || !tiff.OpenDirectory(ifd0))
        return false;
    while (tiff.NextEntry(&e)) {
    }
    const std::uint64_t ifd1 = tiff.NextDirectory();
    if (ifd1 < 8 || ifd1 == ifd0 || !tiff.OpenDirectory(ifd1))
        return false;

    bool haveOffset = false, haveLength = false;
    std::uint64_t offset = 0, length = 0;
    while (tiff.NextEntry(&e)) {
        if (e.tag == kTiffJpegInterchangeFormat && !haveOffset)
            haveOffset = ReadInteger(tiff, e, &offset);
        else if (e.tag == kTiffJpegInterchangeFormatLength && !haveLength)
            haveLength = ReadInteger(tiff, e, &length);
    }
    if (!haveOffset || !haveLength || length < 2 || !block.Has(offset, length) || block.U8(offset) != 0xFF ||
        block.U8(offset + 1) != 0xD8)
        return false;
    out->offset = start + static_cast<std::size_t>(offset);
    out->length = static_cast<std::size_t>(length);
    return true;
}
