// Pictures whose header points far past the end of the file: decoders seek
// there and the memory stream reads beyond its block. They are refused as
// unsupported before any decoder sees them.
#include "GuiHarness.h"
#include "support/MessageBoxCapture.h"
#include "support/MetafileBytes.h"

#include <psapi.h>

#include <random>

namespace {

const char kUnsupported[] = "未対応のフォーマットです";

void Put16(Bytes& b, size_t at, uint32_t v, bool big)
{
    b[at + (big ? 1 : 0)] = static_cast<unsigned char>(v);
    b[at + (big ? 0 : 1)] = static_cast<unsigned char>(v >> 8);
}

void Put32(Bytes& b, size_t at, uint32_t v, bool big)
{
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<size_t>(big ? 3 - i : i)] = static_cast<unsigned char>(v >> (8 * i));
}

// A one-page 8 x 8 grey TIFF whose one strip lies at stripOffset.
Bytes TiffWithStripAt(bool big, uint32_t stripOffset)
{
    Bytes b(8 + 2 + 8 * 12 + 4 + 64, 0);
    b[0] = b[1] = big ? 'M' : 'I';
    Put16(b, 2, 42, big);
    Put32(b, 4, 8, big);
    Put16(b, 8, 8, big);
    const uint32_t entries[][3] = {
        {256, 4, 8}, {257, 4, 8},           {258, 3, 8}, {259, 3, 1},
        {262, 3, 1}, {273, 4, stripOffset}, {278, 4, 8}, {279, 4, 64},
    };
    for (size_t i = 0; i < 8; ++i) {
        const size_t e = 10 + i * 12;
        Put16(b, e, entries[i][0], big);
        Put16(b, e + 2, entries[i][1], big);
        Put32(b, e + 4, 1, big);
        if (entries[i][1] == 3)
            Put16(b, e + 8, entries[i][2], big);
        else
            Put32(b, e + 8, entries[i][2], big);
    }
    return b;
}

Bytes TiffWithIfdAt(bool big, uint32_t ifdOffset)
{
    Bytes b = TiffWithStripAt(big, 8 + 2 + 8 * 12 + 4);
    Put32(b, 4, ifdOffset, big);
    return b;
}

Bytes BmpWithPixelsAt(uint32_t offBits)
{
    Bytes b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, 54, false);
    Put32(b, 10, offBits, false);
    Put32(b, 14, 40, false);
    Put32(b, 18, 1, false);
    Put32(b, 22, 1, false);
    Put16(b, 26, 1, false);
    Put16(b, 28, 24, false);
    return b;
}

Bytes TiffMagicAndRandomBytes(bool big, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes b(4096);
    for (unsigned char& c : b)
        c = static_cast<unsigned char>(random());
    b[0] = b[1] = big ? 'M' : 'I';
    Put16(b, 2, 42, big);
    return b;
}

class HostilePictureTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(CreateFrame());
    }
    TempFolder m_folder{"hostile"};
};

TEST_F(HostilePictureTest, OffsetsFarPastTheEndAreRefusedAsUnsupported)
{
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"8-byte TIFF, IFD at 0x7FFFFFF0", {'I', 'I', '*', 0, 0xF0, 0xFF, 0xFF, 0x7F}},
        {"8-byte big-endian TIFF, IFD at 0x7FFFFFF0", {'M', 'M', 0, '*', 0x7F, 0xFF, 0xFF, 0xF0}},
        {"TIFF, IFD at 16 MiB", TiffWithIfdAt(false, 0x1000000)},
        {"TIFF, strip at 16 MiB", TiffWithStripAt(false, 0x1000000)},
        {"big-endian TIFF, strip at 2 GiB", TiffWithStripAt(true, 0x80000000u)},
        {"1 x 1 BMP, pixels at 0x7FFFFFF0", BmpWithPixelsAt(0x7FFFFFF0)},
        {"TIFF magic and random bytes", TiffMagicAndRandomBytes(false, 1)},
        {"big-endian TIFF magic and random bytes", TiffMagicAndRandomBytes(true, 2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = m_folder.File("hostile.tif");
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        MessageBoxCapture capture;
        View().LoadImageFile(path.c_str());
        ASSERT_EQ(capture.Count(), 1u);
        EXPECT_EQ(capture.Boxes()[0].text, kUnsupported);
        EXPECT_EQ(View().m_pImage, nullptr);
    }
}

// A PNG header claiming 100000 x 100000 pixels in front of 1.5 GB of data: the
// header is read from the first bytes and the file refused before the rest is
// read, so the load takes neither the memory nor the time of the file.
TEST_F(HostilePictureTest, AnOversizedHeaderIsRefusedBeforeTheFileIsRead)
{
    const std::string path = m_folder.File("huge.png");
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    png.resize(16 + 13, 0);
    Put32(png, 16, 100000, true);
    Put32(png, 20, 100000, true);
    png[24] = 8;
    png[25] = 2;
    ASSERT_TRUE(WriteBytes(path, png));
    {
        // The rest of the file: 1.5 GB that the file system need not store.
        HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        LARGE_INTEGER end;
        end.QuadPart = 1536ll * 1024 * 1024;
        EXPECT_TRUE(::SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(h));
        ::CloseHandle(h);
    }
    PROCESS_MEMORY_COUNTERS before = {};
    ASSERT_TRUE(::GetProcessMemoryInfo(::GetCurrentProcess(), &before, sizeof(before)));
    MessageBoxCapture capture;
    View().LoadImageFile(path.c_str());
    PROCESS_MEMORY_COUNTERS after = {};
    ASSERT_TRUE(::GetProcessMemoryInfo(::GetCurrentProcess(), &after, sizeof(after)));
    ::DeleteFileA(path.c_str());
    ASSERT_EQ(capture.Count(), 1u);
    EXPECT_EQ(capture.Boxes()[0].text, kUnsupported);
    // Reading the file would have raised the peak by its size.
    EXPECT_LT(after.PeakPagefileUsage, before.PeakPagefileUsage + 256u * 1024 * 1024);
}

// The same pictures with their offsets inside the file still open.
TEST_F(HostilePictureTest, OffsetsInsideTheFileStillOpen)
{
    for (bool big : {false, true}) {
        SCOPED_TRACE(big ? "big-endian" : "little-endian");
        const std::string path = m_folder.File("fine.tif");
        ASSERT_TRUE(WriteBytes(path, TiffWithStripAt(big, 8 + 2 + 8 * 12 + 4)));
        MessageBoxCapture capture;
        View().LoadImageFile(path.c_str());
        EXPECT_EQ(capture.Count(), 0u);
        EXPECT_NE(View().m_pImage, nullptr);
    }
    const std::string path = m_folder.File("fine.bmp");
    Bytes bmp = BmpWithPixelsAt(54);
    bmp.resize(58, 0x80);
    ASSERT_TRUE(WriteBytes(path, bmp));
    MessageBoxCapture capture;
    View().LoadImageFile(path.c_str());
    EXPECT_EQ(capture.Count(), 0u);
    EXPECT_NE(View().m_pImage, nullptr);
}

// Metafile records the system's player trusts: a record that does not move it
// on made it loop for ever, an object index beyond the table crashed it, and
// an ellipse far larger than the picture kept the painting busy for minutes.
TEST_F(HostilePictureTest, MetafilesWithUnplayableRecordsAreRefused)
{
    const struct {
        const char* name;
        Bytes bytes;
        bool shown;
    } cases[] = {
        {"EMF record of type 0 and size 0", With32(With32(Emf(EmfShapes()), kEmfSelectAt, 0), kEmfSelectAt + 4, 0),
         false},
        {"WMF record whose size in bytes wraps", With32(Wmf(WmfShapes()), kWmfSelectAt, 0x80000000), false},
        {"WMF object selected beyond the table", Wmf({WmfRecord(0x012D, {0xC6CD})}), false},
        // Worked out over its whole size, for minutes: shown without it.
        {"EMF ellipse 16 million units wide", Emf({EmfRecord(42, {10, 5, 0x1000000, 28})}), true},
        {"sound EMF", Emf(EmfShapes()), true},
        {"sound WMF", Wmf(WmfShapes()), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = m_folder.File("hostile.mf");
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        MessageBoxCapture capture;
        View().LoadImageFile(path.c_str());
        View().InvalidateRect(nullptr, TRUE);
        View().UpdateWindow();
        EXPECT_EQ(View().m_pImage != nullptr, c.shown);
        ASSERT_EQ(capture.Count(), c.shown ? 0u : 1u);
        if (!c.shown) {
            EXPECT_EQ(capture.Boxes()[0].text, kUnsupported);
        }
    }
}

// A picture far wider than high, shown at 100 %: half a million pixels
// wide. Only the part in the view is drawn; a bitmap of the whole display
// took gigabytes and froze the window for many seconds.
TEST_F(HostilePictureTest, DisplaysLargerThanTheViewPaintOnlyWhatShows)
{
    const std::string tiny = m_folder.File("tiny.bmp");
    const std::string wide = m_folder.File("wide.bmp");
    ASSERT_TRUE(WriteBmp(tiny, 20, 1, [](int, int) { return 0x808080u; }));
    ASSERT_TRUE(WriteSolidRle8Bmp(wide, 534773, 25, 0x3060C0));
    // At 100 %: the free mode would shrink the picture to the screen.
    View().m_settings.m_nZoomMode = ZOOM_PERCENT;
    View().m_settings.m_nZoomValue = 100;
    for (const std::string& path : {tiny, wide}) {
        View().LoadImageFile(path.c_str());
        View().InvalidateRect(nullptr, TRUE);
        m_pFrame->FitWindowToImage();
        PumpMessages();
    }
    ASSERT_NE(View().m_pImage, nullptr);
    RECT rcImage;
    View().GetImageRect(&rcImage);
    const SIZE client = ClientSizeOf(View().m_hWnd);
    ASSERT_GT(rcImage.right - rcImage.left, 100 * client.cx) << "the display is far wider than the view";
    const SIZE kept = View().m_kept.GetSize();
    ASSERT_GT(kept.cx, 0);
    EXPECT_LE(kept.cx, client.cx);
    EXPECT_LE(kept.cy, client.cy);
    const Capture shot = CaptureClient(View().m_hWnd);
    EXPECT_EQ(shot.At(client.cx / 2, client.cy / 2), 0x3060C0u);
}

} // namespace
