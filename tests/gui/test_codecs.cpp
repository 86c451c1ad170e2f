// Pictures only the system's imaging codecs decode (GDI+ refuses them): they
// open and paint like any other, and a format no codec of the system reads
// gets the usual message.
#include "GuiHarness.h"
#include "image/PictureTypes.h"
#include "support/MessageBoxCapture.h"

#include <algorithm>

namespace {

const char kUnsupported[] = "未対応のフォーマットです";

// The quarters of tests/make_codec_samples.sh's 64 x 48 source picture.
struct Quarter {
    int x, y;
    uint32_t colour;
};
const Quarter kQuarters[] = {{16, 12, 0xFF0000}, {48, 12, 0x00FF00}, {16, 36, 0x0000FF}, {48, 36, 0xC06030}};

class CodecTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(CreateFrame());
        SetZoom(ZOOM_PERCENT, 100);
    }
};

TEST_F(CodecTest, DdsTgaAndJpegXrOpenAndPaintTheirSourcesPixels)
{
    for (const char* name : {"source.dds", "source.tga", "source.jxr"}) {
        SCOPED_TRACE(name);
        MessageBoxCapture capture;
        OpenPath(BuildPath(std::string("codec-samples/") + name));
        EXPECT_EQ(capture.Count(), 0u);
        ASSERT_NE(View().m_pImage, nullptr);
        EXPECT_EQ(View().m_nImageWidth, 64);
        EXPECT_EQ(View().m_nImageHeight, 48);
        EXPECT_TRUE(View().m_pImage->IsOpaqueStill());
        RepaintView();
        const Capture shown = CaptureClient(View().m_hWnd);
        for (const Quarter& q : kQuarters)
            EXPECT_EQ(shown.At(q.x, q.y), q.colour) << q.x << "," << q.y;
        // Turned like any picture.
        Command(ID_ROTATE_RIGHT);
        RepaintView();
        EXPECT_EQ(CaptureClient(View().m_hWnd).At(36, 16), 0xFF0000u) << "the red quarter, turned to the top right";
        Command(ID_ROTATE_LEFT);
    }
}

TEST_F(CodecTest, AFormatNoCodecReadsGetsTheUnsupportedMessageAlone)
{
    // Under Wine no codec reads WebP (nor HEIC or AVIF).
    for (const char* name : {"source.webp", "source.heic", "source.avif"}) {
        SCOPED_TRACE(name);
        OpenPath(BuildPath("codec-samples/source.png"));
        ASSERT_NE(View().m_pImage, nullptr);
        MessageBoxCapture capture;
        View().LoadImageFile(BuildPath(std::string("codec-samples/") + name).c_str());
        ASSERT_EQ(capture.Count(), 1u);
        EXPECT_EQ(capture.Boxes()[0].text, kUnsupported);
        EXPECT_EQ(View().m_pImage, nullptr);
    }
}

TEST_F(CodecTest, TheFileDialogAndTheStepsKnowTheCodecsExtensions)
{
    const std::vector<std::string>& extensions = ReadablePictureExtensions();
    for (const char* ext : {"bmp", "dib", "rle", "jpg", "jpeg", "jpe", "png", "tif", "tiff", "gif", "emf", "wmf", "ico",
                            "dds", "tga", "jxr", "wdp"})
        EXPECT_TRUE(std::count(extensions.begin(), extensions.end(), ext) == 1) << ext;
    EXPECT_EQ(OpenDialogFilter().rfind("すべての画像 (*.", 0), 0u);
}

} // namespace
