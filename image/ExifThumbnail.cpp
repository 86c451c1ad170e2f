#include "image/ExifThumbnail.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "CFile.h"
#include "CGlobalLock.h"
#include "image/ExifReader.h"
#include "image/ImageFormat.h"
#include "image/ImageHeader.h"

namespace {

// The EXIF block is one APP1 segment (at most 64 KiB) near the start; the
// frame header follows it and any further application segments (colour
// profiles). A photo whose frame header lies further in is decoded whole.
constexpr UINT kHeadBytes = 256 * 1024;

} // namespace

bool ReadExifThumbnail(const char* path, ExifThumbnail* out)
{
    CFile file;
    if (!out || !path || !file.Open(path, CFile::modeRead | CFile::shareDenyNone))
        return false;
    const UINT length = static_cast<UINT>(std::min<ULONGLONG>(file.GetLength(), kHeadBytes));
    std::vector<unsigned char> head(length);
    UINT got = 0;
    if (length == 0 || !file.ReadChecked(head.data(), length, got) || got != length)
        return false;
    file.Close();

    ImageDimensions picture = {};
    ByteRange range = {};
    if (DetectImageFormat(head.data(), head.size()) != ImageFormat::Jpeg ||
        ReadImageDimensions(head.data(), head.size(), &picture) != ImageHeaderResult::Ok ||
        !IsDecodableImageSize(picture) || picture.width == 0 || picture.height == 0 ||
        !FindExifThumbnail(head.data(), head.size(), &range))
        return false;
    const unsigned char* thumbnail = head.data() + range.offset;
    ImageDimensions thumbnailSize = {};
    if (ReadImageDimensions(thumbnail, range.length, &thumbnailSize) != ImageHeaderResult::Ok ||
        thumbnailSize.width == 0 || thumbnailSize.height == 0 || IsImageRefused(thumbnail, range.length))
        return false;

    CGlobalBlock block;
    if (!block.Allocate(range.length))
        return false;
    {
        CGlobalLock bytes(block.Get());
        if (!bytes.Get())
            return false;
        std::memcpy(bytes.Get(), thumbnail, range.length);
    }
    out->picture = picture;
    out->orientation = ReadExifOrientation(head.data(), head.size());
    out->thumbnail = thumbnailSize;
    out->data = std::move(block);
    return true;
}
