// Loading images into the view: the title, the path, both failure messages
// and what a replaced image leaves behind.
#include "GuiHarness.h"
#include "support/MessageBoxCapture.h"

namespace {

const char kCannotOpen[] = "ファイルがオープンできません";
const char kUnsupported[] = "未対応のフォーマットです";

uint32_t Gray(int, int)
{
    return 0x808080;
}

// A JPEG header (SOI, SOF0) that claims width x height pixels.
std::vector<unsigned char> JpegClaiming(int width, int height)
{
    std::vector<unsigned char> b = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 0x08};
    b.push_back(static_cast<unsigned char>(height >> 8));
    b.push_back(static_cast<unsigned char>(height));
    b.push_back(static_cast<unsigned char>(width >> 8));
    b.push_back(static_cast<unsigned char>(width));
    unsigned char components[] = {0x03, 0x01, 0x22, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01};
    b.insert(b.end(), std::begin(components), std::end(components));
    b.insert(b.end(), 64, 0x00);
    b.push_back(0xFF);
    b.push_back(0xD9);
    return b;
}

} // namespace

class LoadTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(CreateFrame());
    }
    TempFolder m_folder{"load"};
};

TEST_F(LoadTest, SuccessTitlesTheFrameWithThePathExactlyAsPassed)
{
    std::string path = m_folder.File("Picture.bmp");
    ASSERT_TRUE(WriteBmp(path, 40, 30, Gray));
    // The same file named with other letter case: the title keeps what was passed.
    std::string spelled = path.substr(0, path.size() - 11) + "pICTURE.BMP";
    MessageBoxCapture capture;
    View().LoadImageFile(spelled.c_str());
    EXPECT_EQ(capture.Count(), 0u);
    ASSERT_NE(View().m_pImage, nullptr);
    EXPECT_EQ(std::string(View().m_strPath), spelled);
    EXPECT_EQ(WindowTextOf(m_pFrame->m_hWnd), "KEP - " + spelled);
    EXPECT_EQ(View().m_nImageWidth, 40);
    EXPECT_EQ(View().m_nImageHeight, 30);
}

TEST_F(LoadTest, FailuresShowTheirMessageAndLeaveAnEmptyViewTitledKEP)
{
    std::string good = m_folder.File("good.bmp");
    ASSERT_TRUE(WriteBmp(good, 16, 16, Gray));
    std::string text = m_folder.File("notes.jpg");
    ASSERT_TRUE(WriteText(text, "this is not a picture\r\n"));
    std::string empty = m_folder.File("empty.png");
    ASSERT_TRUE(WriteBytes(empty, {}));
    std::string huge = m_folder.File("huge.jpg");
    ASSERT_TRUE(WriteBytes(huge, JpegClaiming(65000, 65000)));

    struct Case {
        const char* name;
        std::string path;
        const char* message;
    } cases[] = {
        {"missing file", m_folder.File("missing.png"), kCannotOpen},
        {"folder", m_folder.Path(), kCannotOpen},
        {"text named .jpg", text, kUnsupported},
        {"empty file", empty, kUnsupported},
        {"header claims 65000 x 65000", huge, kUnsupported},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        View().LoadImageFile(good.c_str());
        ASSERT_NE(View().m_pImage, nullptr);
        MessageBoxCapture capture;
        View().LoadImageFile(c.path.c_str());
        ASSERT_EQ(capture.Count(), 1u);
        EXPECT_EQ(capture.Boxes()[0].text, c.message);
        EXPECT_EQ(capture.Boxes()[0].caption, "KEP");
        EXPECT_EQ(View().m_pImage, nullptr);
        EXPECT_TRUE(View().m_strPath.IsEmpty());
        EXPECT_EQ(WindowTextOf(m_pFrame->m_hWnd), "KEP");
    }
}

// A picture another program holds open with sharing (an editor, a browser
// still writing it, another window loading it) opens; one held with no
// sharing at all cannot be read and says so.
TEST_F(LoadTest, PicturesOpenUnlessHeldWithoutSharing)
{
    std::string path = m_folder.File("held.bmp");
    ASSERT_TRUE(WriteBmp(path, 8, 8, Gray));
    const struct {
        const char* name;
        DWORD access;
        DWORD share;
        bool opens;
    } cases[] = {
        {"read, shared for reading and writing", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
        {"written, shared for reading", GENERIC_WRITE, FILE_SHARE_READ, true},
        {"read, no sharing", GENERIC_READ, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HANDLE h = ::CreateFileA(path.c_str(), c.access, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        MessageBoxCapture capture;
        View().LoadImageFile(path.c_str());
        ::CloseHandle(h);
        if (c.opens) {
            EXPECT_EQ(capture.Count(), 0u);
            EXPECT_NE(View().m_pImage, nullptr);
        } else {
            ASSERT_EQ(capture.Count(), 1u);
            EXPECT_EQ(capture.Boxes()[0].text, kCannotOpen);
            EXPECT_EQ(View().m_pImage, nullptr);
        }
    }
}

// Panoramas longer than 65535 pixels on one side are ordinary pictures: they
// open, and paint, as long as their pixel count stays within the bound.
TEST_F(LoadTest, VeryWideAndVeryTallPicturesOpenAndPaint)
{
    const struct {
        int width;
        int height;
    } cases[] = {{70000, 1000}, {1000, 70000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        std::string path = m_folder.File("panorama.bmp");
        ASSERT_TRUE(WriteSolidRle8Bmp(path, c.width, c.height, 0x3366CC));
        MessageBoxCapture capture;
        OpenPath(path);
        EXPECT_EQ(capture.Count(), 0u);
        ASSERT_NE(View().m_pImage, nullptr);
        EXPECT_EQ(View().m_nImageWidth, c.width);
        EXPECT_EQ(View().m_nImageHeight, c.height);
        Command(ID_ZOOM_10);
        Capture cap = CaptureClient(View().m_hWnd);
        ASSERT_GT(cap.width, 0);
        EXPECT_EQ(cap.At(0, 0), 0x3366CCu);
        EXPECT_EQ(cap.At(cap.width / 2, cap.height / 2), 0x3366CCu);
        Command(ID_ZOOM_ANY);
    }
}

// A picture kept as decoded (an animation) holds its stream until the next
// load releases it, once; an opaque still is drawn from a copy of its own and
// lets its stream and the file's bytes go at once.
TEST_F(LoadTest, ReplacingAnImageReleasesTheOldStreamAndBlock)
{
    const std::string first = SourcePath("samples/anim.gif");
    std::string second = m_folder.File("second.bmp");
    ASSERT_TRUE(WriteBmp(second, 10, 20, Gray));
    View().LoadImageFile(first.c_str());
    ASSERT_NE(View().m_pImage, nullptr);
    IStream* oldStream = View().m_pImage->GetStream();
    ASSERT_NE(oldStream, nullptr);
    oldStream->AddRef();
    View().LoadImageFile(second.c_str());
    // A load decodes on the window's thread: the old picture is freed at
    // once, before the new one takes memory, so our reference is now the
    // last one (the view released its own once).
    EXPECT_EQ(oldStream->Release(), 0u);
    ASSERT_NE(View().m_pImage, nullptr);
    EXPECT_EQ(View().m_pImage->GetStream(), nullptr);
    EXPECT_EQ(View().m_pImage->GetData(), nullptr);
    EXPECT_EQ(View().m_nImageWidth, 10);
    EXPECT_EQ(View().m_nImageHeight, 20);
    EXPECT_EQ(WindowTextOf(m_pFrame->m_hWnd), "KEP - " + second);
}

TEST_F(LoadTest, RotationAndFreeZoomSurviveANewLoad)
{
    std::string first = m_folder.File("a.bmp");
    std::string second = m_folder.File("b.bmp");
    ASSERT_TRUE(WriteBmp(first, 300, 200, Gray));
    ASSERT_TRUE(WriteBmp(second, 600, 200, Gray));
    OpenPath(first);
    Command(ID_ROTATE_RIGHT);
    EXPECT_EQ(View().m_nRotation, 1);
    OpenPath(second);
    EXPECT_EQ(View().m_nRotation, 1);
    SIZE view = ClientSizeOf(View().m_hWnd);
    EXPECT_EQ(view.cx, 200);
    EXPECT_EQ(view.cy, 600);
}

TEST_F(LoadTest, CommandLineOpensTokenZeroAndFitsTheFrame)
{
    std::string path = m_folder.File("fit.bmp");
    ASSERT_TRUE(WriteBmp(path, 223, 177, Gray));
    OpenPath(path);
    ASSERT_NE(View().m_pImage, nullptr);
    SIZE view = ClientSizeOf(View().m_hWnd);
    EXPECT_EQ(view.cx, 223);
    EXPECT_EQ(view.cy, 177);
    EXPECT_TRUE(::IsWindowVisible(m_pFrame->m_hWnd));
    EXPECT_EQ(std::string(m_pFrame->m_wndStatusBar.GetPaneText(0)), "KEP - 223 x 177 : 100 % ");
}

TEST_F(LoadTest, OptionSuffixMovesTheFrameAndSetsTheZoomValue)
{
    std::string path = m_folder.File("moved.bmp");
    ASSERT_TRUE(WriteBmp(path, 50, 40, Gray));
    RECT before = WindowRectOf(m_pFrame->m_hWnd);
    OpenPath(path + "/120:80:50");
    ASSERT_NE(View().m_pImage, nullptr);
    EXPECT_EQ(std::string(View().m_strPath), path);
    RECT after = WindowRectOf(m_pFrame->m_hWnd);
    EXPECT_EQ(after.left, 120);
    EXPECT_EQ(after.top, 80);
    EXPECT_EQ(View().m_settings.m_nZoomValue, 50);
    EXPECT_EQ(View().m_settings.m_nZoomMode, ZOOM_ANY) << "the mode is not touched";
    (void)before;

    // Fewer than two ':' keep the frame where it is and the zoom value.
    OpenPath(path + "/300");
    RECT kept = WindowRectOf(m_pFrame->m_hWnd);
    EXPECT_EQ(kept.left, 120);
    EXPECT_EQ(kept.top, 80);
    EXPECT_EQ(View().m_settings.m_nZoomValue, 50);
    EXPECT_EQ(std::string(View().m_strPath), path);
}

TEST_F(LoadTest, SettingsFileIsNotWrittenByTheOptionSuffix)
{
    std::string path = m_folder.File("nosave.bmp");
    ASSERT_TRUE(WriteBmp(path, 10, 10, Gray));
    OpenPath(path + "/0:0:70");
    EXPECT_FALSE(FileExists(SettingsFilePath("wndset.def")));
}
