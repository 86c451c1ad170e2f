// Opaque stills are decoded straight into a bitmap of the picture's own, a
// band at a time: the colours are exactly those of GDI+'s decode and its
// 32-bit copy, the path the view took before.
#include "GuiHarness.h"
#include "image/CPicture.h"

#include <objidl.h>
#include <gdiplus.h>

#include "AfxStream.h"
#include "CGlobalBlock.h"
#include "CGlobalLock.h"

namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// The colours of a GpImage as a 32-bit RGB copy (the fourth byte cleared).
std::vector<uint32_t> RgbOf(GpImage* pImage, int width, int height)
{
    std::vector<uint32_t> pixels;
    GpBitmap* pCopy = nullptr;
    if (GdipCloneBitmapAreaI(0, 0, width, height, PixelFormat32bppRGB, static_cast<GpBitmap*>(pImage), &pCopy) != Ok)
        return pixels;
    const GpRect all = {0, 0, width, height};
    BitmapData data = {};
    if (GdipBitmapLockBits(pCopy, &all, ImageLockModeRead, PixelFormat32bppRGB, &data) == Ok) {
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
            for (int x = 0; x < width; ++x)
                pixels.push_back(row[x] & 0x00FFFFFF);
        }
        GdipBitmapUnlockBits(pCopy, &data);
    }
    GdipDisposeImage(pCopy);
    return pixels;
}

// GDI+'s own decode of the file, as the view decoded every picture before.
std::vector<uint32_t> GdiplusDecode(const std::string& path, int width, int height)
{
    const Bytes bytes = ReadBytes(path);
    CGlobalBlock block;
    if (bytes.empty() || !block.Allocate(bytes.size()))
        return {};
    {
        CGlobalLock lock(block);
        std::copy(bytes.begin(), bytes.end(), lock.Get());
    }
    IStream* pStream = nullptr;
    if (AfxCreateStreamOnHGlobal(block, FALSE, &pStream) != S_OK)
        return {};
    GpImage* pImage = nullptr;
    std::vector<uint32_t> pixels;
    if (GdipLoadImageFromStream(pStream, &pImage) == Ok)
        pixels = RgbOf(pImage, width, height);
    if (pImage)
        GdipDisposeImage(pImage);
    pStream->Release();
    return pixels;
}

TEST(PictureDecoding, OpaqueStillsDecodeIntoTheirOwnBitmapWithGdiplusColours)
{
    TempFolder folder("decode");
    const int w = 301, h = 203; // odd sizes: rows of every length, bands that do not divide the picture
    auto pattern = [](int x, int y) { return AsymmetricPixel(x, y, 301, 203); };
    // GDI+'s PNG encoder writes an alpha channel whatever it is given: the
    // PNG comes from ImageMagick (tests/make_codec_samples.sh).
    const struct {
        const char* name;
        bool (*write)(const std::string&, int, int, const PixelFunction&);
    } formats[] = {
        {"photo.jpg", [](const std::string& p, int w, int h, const PixelFunction& f) { return WriteJpeg(p, w, h, f); }},
        {"photo.bmp", &WriteBmp},
        {"photo32.bmp",
         [](const std::string& p, int w, int h, const PixelFunction& f) { return WriteBmpOfDepth(p, w, h, f, 32); }},
        {"photo.tif", &WriteTiff},
        {"plasma.png", nullptr},
    };
    for (const auto& format : formats) {
        SCOPED_TRACE(format.name);
        const std::string path = format.write ? folder.File(format.name) : BuildPath("codec-samples/plasma.png");
        ASSERT_TRUE(!format.write || format.write(path, w, h, pattern));
        std::unique_ptr<CPicture> picture;
        ASSERT_EQ(CPicture::Load(path.c_str(), &picture), PictureResult::Ok);
        EXPECT_TRUE(picture->HoldsOwnPixels()) << "decoded a band at a time into its own bitmap";
        EXPECT_EQ(picture->GetData(), nullptr) << "the file's bytes are let go";
        EXPECT_TRUE(picture->IsOpaqueStill());
        const std::vector<uint32_t> expected = GdiplusDecode(path, w, h);
        ASSERT_EQ(expected.size(), static_cast<size_t>(w * h));
        EXPECT_TRUE(RgbOf(picture->GetImage(), w, h) == expected) << "the colours GDI+ gives";
    }
}

} // namespace
