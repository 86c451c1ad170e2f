#include "image/DdsCheck.h"

#include <algorithm>
#include <cstdint>

#include "image/ByteReader.h"
#include "image/ImageFormat.h"

bool HasUnsafeDdsHeader(const unsigned char* data, std::size_t size)
{
    if (DetectImageFormat(data, size) != ImageFormat::Dds)
        return false;
    const ByteReader d(data, size);
    if (!d.Has(0, 32))
        return false; // cut short: the codec refuses it itself
    const std::uint32_t largest = std::max({d.Le32(12), d.Le32(16), d.Le32(24), 1u});
    std::uint32_t levels = 1;
    for (std::uint32_t side = largest; side > 1; side /= 2)
        ++levels;
    return d.Le32(28) > levels;
}
