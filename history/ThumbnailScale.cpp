#include "history/ThumbnailScale.h"

#include <cstdlib>

#include "history/CBoxShrinker.h"

void ShrinkIntoBox(const std::uint8_t* pSource, int nStride, int W, int H, int nBytesPerPixel, std::uint32_t* pBox,
                   int w, int h)
{
    CBoxShrinker(W, H, nBytesPerPixel, pBox, w, h).AddRows(pSource, nStride, H);
}

bool IsExifThumbnailUsable(SIZE thumbnail, SIZE picture, TransformState orientation, SIZE box)
{
    if (thumbnail.cx <= 0 || thumbnail.cy <= 0 || picture.cx <= 0 || picture.cy <= 0 || box.cx <= 0 || box.cy <= 0)
        return false;
    // The aspects tw / th and pw / ph differ by at most 1 % of the photo's:
    // |tw * ph - th * pw| <= th * pw / 100, in 64 bits.
    const long long across = static_cast<long long>(thumbnail.cx) * picture.cy;
    const long long down = static_cast<long long>(thumbnail.cy) * picture.cx;
    if (std::llabs(across - down) * 100 > down)
        return false;
    const SIZE upright = ShownSize(orientation, thumbnail);
    return upright.cx >= box.cx && upright.cy >= box.cy;
}
