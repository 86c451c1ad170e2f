// Photos stand as the camera meant them: the EXIF orientation of a JPEG turns
// the picture before the user's own turns, in the view, its size and status,
// and the history thumbnail.
#include "CBitmap.h"
#include "GuiHarness.h"
#include "history/HistoryThumbnail.h"

namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00;

// Four quarters: red, green above blue, yellow.
uint32_t Quarters(int x, int y, int width, int height)
{
    return y < height / 2 ? (x < width / 2 ? kRed : kGreen) : (x < width / 2 ? kBlue : kYellow);
}

// A JPEG channel is within a few levels of what was written.
bool Near(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d < -24 || d > 24)
            return false;
    }
    return true;
}

class OrientationTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(CreateFrame());
        SetZoom(ZOOM_PERCENT, 100);
    }
    TempFolder m_folder{"orient"};
};

TEST_F(OrientationTest, APhotoToBeTurnedClockwiseStandsUprightAndTakesTheUsersTurnsOnTop)
{
    const std::string path = m_folder.File("turned.jpg");
    ASSERT_TRUE(WriteJpeg(
        path, 400, 300, [](int x, int y) { return Quarters(x, y, 400, 300); }, 6));
    OpenPath(path);
    ASSERT_NE(View().m_pImage, nullptr);
    EXPECT_EQ(View().m_nImageWidth, 300);
    EXPECT_EQ(View().m_nImageHeight, 400);
    EXPECT_EQ(ClientSizeOf(View().m_hWnd).cx, 300);
    EXPECT_EQ(ClientSizeOf(View().m_hWnd).cy, 400);
    EXPECT_NE(m_pFrame->m_strIdleText.Find("300 x 400"), -1) << m_pFrame->m_strIdleText.GetString();
    RepaintView();
    Capture shown = CaptureClient(View().m_hWnd);
    // The stored top-left quarter (red) is at the top right.
    EXPECT_TRUE(Near(shown.At(280, 20), kRed));
    EXPECT_TRUE(Near(shown.At(20, 20), kBlue));
    EXPECT_TRUE(Near(shown.At(280, 380), kGreen));
    EXPECT_TRUE(Near(shown.At(20, 380), kYellow));

    // The user's mirror applies to the upright picture.
    Command(ID_FLIP_HORIZONTAL);
    RepaintView();
    shown = CaptureClient(View().m_hWnd);
    EXPECT_TRUE(Near(shown.At(20, 20), kRed));
    EXPECT_TRUE(Near(shown.At(280, 380), kYellow));
    Command(ID_FLIP_HORIZONTAL);

    // The thumbnail stands upright too.
    CBitmap thumbnail;
    ASSERT_TRUE(MakeThumbnail(path.c_str(), 30, 40, thumbnail));
    const Capture box = CaptureDrawing(30, 40, [&](HDC hdc) { DrawThumbnail(hdc, RECT{0, 0, 30, 40}, thumbnail); });
    EXPECT_TRUE(Near(box.At(25, 5), kRed));
    EXPECT_TRUE(Near(box.At(5, 5), kBlue));
    EXPECT_TRUE(Near(box.At(25, 35), kGreen));
}

TEST_F(OrientationTest, AnOrientationOutsideOneToEightShowsThePictureAsStored)
{
    for (int orientation : {0, 1, 9, 255}) {
        SCOPED_TRACE(orientation);
        const std::string path = m_folder.File("stored.jpg");
        ASSERT_TRUE(WriteJpeg(
            path, 400, 300, [](int x, int y) { return Quarters(x, y, 400, 300); }, orientation));
        OpenPath(path);
        ASSERT_NE(View().m_pImage, nullptr);
        EXPECT_EQ(View().m_nImageWidth, 400);
        RepaintView();
        EXPECT_TRUE(Near(CaptureClient(View().m_hWnd).At(20, 20), kRed));
    }
}

} // namespace
