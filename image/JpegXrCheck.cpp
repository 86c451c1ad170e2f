#include "image/JpegXrCheck.h"

#include <cstdint>

#include "image/ByteReader.h"
#include "image/ImageFormat.h"

namespace {

constexpr std::uint32_t kTransformationTag = 0xBC02;
constexpr std::uint32_t kOrientations = 8;
constexpr std::size_t kEntrySize = 12;

// Bytes per value of the integer field types a transformation may have.
std::uint32_t IntegerSize(std::uint32_t type)
{
    switch (type) {
    case 1: return 1; // BYTE
    case 3: return 2; // SHORT
    case 4: return 4; // LONG
    default: return 0;
    }
}

} // namespace

bool HasUnsafeJpegXrContainer(const unsigned char* data, std::size_t size)
{
    if (DetectImageFormat(data, size) != ImageFormat::JpegXr)
        return false;
    const ByteReader d(data, size);
    const std::uint64_t directory = d.Le32(4);
    if (!d.Has(directory, 2))
        return false; // no directory: the codec refuses the file itself
    const std::uint32_t count = d.Le16(directory);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t entry = directory + 2 + std::uint64_t(i) * kEntrySize;
        if (!d.Has(entry, kEntrySize))
            break;
        if (d.Le16(entry) != kTransformationTag)
            continue;
        const std::uint32_t valueSize = IntegerSize(d.Le16(entry + 2));
        if (valueSize == 0 || d.Le32(entry + 4) != 1)
            return true;
        const std::uint32_t value = valueSize == 1   ? d.U8(entry + 8)
                                    : valueSize == 2 ? d.Le16(entry + 8)
                                                     : d.Le32(entry + 8);
        if (value >= kOrientations)
            return true;
    }
    return false;
}
