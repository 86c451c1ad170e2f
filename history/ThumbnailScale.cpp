#include "history/ThumbnailScale.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

void ShrinkIntoBox(const std::uint8_t* pSource, int nStride, int W, int H, int nBytesPerPixel, std::uint32_t* pBox,
                   int w, int h)
{
    // The column span of each box column, worked out once.
    std::vector<int> x0(static_cast<size_t>(w));
    std::vector<int> x1(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x) {
        x0[x] = static_cast<int>(static_cast<long long>(x) * W / w);
        x1[x] = std::max(x0[x] + 1, static_cast<int>(static_cast<long long>(x + 1) * W / w));
    }
    std::vector<std::uint64_t> sums(static_cast<size_t>(w) * 3);
    for (int y = 0; y < h; ++y) {
        const int y0 = static_cast<int>(static_cast<long long>(y) * H / h);
        const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<long long>(y + 1) * H / h));
        std::fill(sums.begin(), sums.end(), 0);
        for (int sy = y0; sy < y1; ++sy) {
            const std::uint8_t* row = pSource + static_cast<long long>(sy) * nStride;
            for (int x = 0; x < w; ++x) {
                std::uint64_t b = 0, g = 0, r = 0;
                for (const std::uint8_t *p = row + static_cast<long long>(x0[x]) * nBytesPerPixel,
                                        *end = row + static_cast<long long>(x1[x]) * nBytesPerPixel;
                     p < end; p += nBytesPerPixel) {
                    b += p[0];
                    g += p[1];
                    r += p[2];
                }
                sums[x * 3] += b;
                sums[x * 3 + 1] += g;
                sums[x * 3 + 2] += r;
            }
        }
        for (int x = 0; x < w; ++x) {
            const std::uint64_t n = static_cast<std::uint64_t>(x1[x] - x0[x]) * static_cast<std::uint64_t>(y1 - y0);
            const auto mean = [&](int c) { return static_cast<std::uint32_t>((sums[x * 3 + c] + n / 2) / n); };
            pBox[static_cast<size_t>(y) * w + x] = 0xFF000000u | (mean(2) << 16) | (mean(1) << 8) | mean(0);
        }
    }
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
