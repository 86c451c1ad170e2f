// History thumbnails made in the background: the submenu opens at once and
// fills its boxes in as the worker makes the thumbnails; what is pending goes
// when the submenu closes or an entry is chosen; a camera photo is shown by
// the small picture in its EXIF block when that fits the box.
#include <windows.h>

#include "HistoryMenuTest.h"
#include "MenuInput.h"
#include "history/ThumbnailScale.h"
#include "image/WicDecoder.h"
#include "support/PictureBytes.h"

namespace {

constexpr uint32_t kGrey = 0x808080;

uint32_t Quarters(int x, int y, int width, int height)
{
    return y < height / 2 ? (x < width / 2 ? kRed : kGreen) : (x < width / 2 ? kBlue : kYellow);
}

PixelFunction Solid(uint32_t colour)
{
    return [colour](int, int) { return colour; };
}

// The thumbnail as MakeThumbnail makes it, drawn into a width x height box.
Capture ThumbnailOf(const std::string& path, int width, int height)
{
    CBitmap thumbnail;
    if (!MakeThumbnail(path.c_str(), width, height, thumbnail))
        return Capture{};
    return CaptureDrawing(width, height, [&](HDC hdc) { DrawThumbnail(hdc, RECT{0, 0, width, height}, thumbnail); });
}

// Opens a popup menu from inside the message loop (a thread timer), where a
// script running beside it can watch it.
HMENU s_hTracked = nullptr;
HWND s_hTrackOwner = nullptr;
POINT s_trackAt = {};

void CALLBACK TrackTracked(HWND, UINT, UINT_PTR nIDEvent, DWORD)
{
    ::KillTimer(nullptr, nIDEvent);
    ::TrackPopupMenu(s_hTracked, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, s_trackAt.x, s_trackAt.y, 0,
                     s_hTrackOwner, nullptr);
}

} // namespace

// The real menu loop, with the worker held up at the first picture: both
// entries are drawn at once with empty boxes, and each box fills in on the
// screen once its thumbnail is made.
TEST_F(HistoryMenuTest, SubmenuShowsItsEntriesAtOnceAndFillsTheBoxesInAsThumbnailsAreMade)
{
    WriteHistory({Picture("a.bmp", kRed), Picture("b.bmp", kBlue)});
    MoveMouseTo(POINT{::GetSystemMetrics(SM_CXSCREEN) - 5, 5}); // clear of the popup
    ThumbnailGate gate;
    const DWORD thread = ::GetCurrentThreadId();
    HMENU hHistory = History();

    // Per entry: whether its path is drawn, and the middle of its box.
    struct Look {
        bool bText[2] = {false, false};
        uint32_t box[2] = {0, 0};
    };
    auto look = [&] {
        Look seen;
        HWND hPopup = PopupWindowOf(thread, hHistory);
        const Capture capture = CaptureClient(hPopup);
        for (UINT i = 0; i < 2 && capture.width > 0; ++i) {
            RECT rc = {};
            ::GetMenuItemRect(nullptr, hHistory, i, &rc);
            ::MapWindowPoints(nullptr, hPopup, reinterpret_cast<POINT*>(&rc), 2);
            seen.box[i] = capture.At(rc.left + 17, rc.top + 17);
            for (int x = rc.left + 34; x < std::min<int>(rc.right, capture.width) && !seen.bText[i]; ++x)
                for (int y = rc.top; y < rc.bottom && !seen.bText[i]; ++y)
                    seen.bText[i] = capture.At(x, y) != SysColour(COLOR_MENU);
        }
        return seen;
    };
    Look drawn, filled;
    int nStarted = 0;
    s_hTracked = hHistory;
    s_hTrackOwner = m_pFrame->m_hWnd;
    const RECT frame = WindowRectOf(m_pFrame->m_hWnd);
    s_trackAt = POINT{frame.left, frame.top};
    ::SetTimer(nullptr, 0, 0, &TrackTracked);
    InputScript script(thread);
    script.WaitForPopups("the history submenu", {hHistory})
        .WaitFor("both paths drawn, the worker at the first picture",
                 [&] {
                     drawn = look();
                     return drawn.bText[0] && drawn.bText[1] && gate.Waiting() == 1;
                 })
        .Do([&] {
            nStarted = gate.Started();
            gate.Open();
        })
        .WaitFor("both thumbnails on the screen",
                 [&] {
                     filled = look();
                     return Near(filled.box[0], kRed) && Near(filled.box[1], kBlue);
                 })
        .Do([&] { ::PostMessageA(m_pFrame->m_hWnd, WM_CANCELMODE, 0, 0); })
        .WaitForNoPopup("the submenu closed");
    ASSERT_TRUE(script.Run(10000)) << script.Failure();
    EXPECT_EQ(nStarted, 1) << "one picture in hand at a time";
    EXPECT_EQ(drawn.box[0], SysColour(COLOR_MENU)) << "an empty box";
    EXPECT_EQ(drawn.box[1], SysColour(COLOR_MENU));
}

// Closing the submenu, or choosing an entry, while the worker is held up at
// the first picture: the second is never read, and the first one's
// thumbnail, made after all, is let go.
TEST_F(HistoryMenuTest, ClosingTheSubmenuOrChoosingAnEntryDropsThePendingThumbnails)
{
    const std::string a = Picture("a.bmp", kRed);
    const std::string b = Picture("b.bmp", kBlue, 240, 160);
    ThumbnailGate gate;
    const struct {
        const char* how;
        std::function<void()> stop;
    } ways[] = {
        {"closed", [&] { CloseHistory(m_pFrame->m_hWnd); }},
        {"entry chosen", [&] { Command(ID_HISTORY_FIRST + 1); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        WriteHistory({a, b});
        gate.Close();
        const int nStarted = gate.Started();
        OpenHistory();
        Draw(0, 0, 120);
        Draw(1, 0, 120);
        ASSERT_TRUE(PumpUntil([&] { return gate.Waiting() == 1; }, 10000));
        way.stop();
        gate.Open();
        EXPECT_TRUE(WaitForThumbnails());
        EXPECT_EQ(gate.Started() - nStarted, 1) << "the second picture is never read";
        EXPECT_FALSE(Menu().HasThumbnail(0)) << "the first thumbnail is let go";
        EXPECT_FALSE(Menu().HasThumbnail(1));
    }
    EXPECT_EQ(std::string(View().m_strPath), b) << "the chosen entry opened";
}

// A camera photo carries a small JPEG of itself: the entry shows that one
// when it is at least as large as the box and has the photo's aspect; any
// other (or a broken one) leaves the photo to be decoded. The photos are red,
// their thumbnails blue.
TEST_F(HistoryMenuTest, CameraPhotoIsShownByItsExifThumbnailWhenThatFitsTheBox)
{
    const std::string photo = m_folder.File("camera.jpg");
    const Bytes red = EncodeJpeg(400, 300, Solid(kRed));
    const Bytes blue = EncodeJpeg(160, 120, Solid(kBlue));
    ASSERT_TRUE(WriteBytes(photo, WithExifThumbnail(red, blue)));
    WriteHistory({photo});
    OpenHistory();
    EXPECT_TRUE(Near(DrawWhenMade(0, 0, 120).At(17, 17), kBlue, 24)) << "the EXIF thumbnail, not the photo";

    const struct {
        const char* what;
        Bytes thumbnail;
        SIZE box;
        uint32_t shown;
    } cases[] = {
        {"exactly as large as the box", blue, {160, 120}, kBlue},
        {"a pixel narrower than the box", blue, {161, 120}, kRed},
        {"another aspect (160 x 118)", EncodeJpeg(160, 118, Solid(kBlue)), {30, 30}, kRed},
        {"a header over the pixel bound", JpegWith({}, 65000, 65000), {30, 30}, kRed},
        {"cut short", Bytes(blue.begin(), blue.begin() + static_cast<std::ptrdiff_t>(blue.size() / 2)), {30, 30}, kRed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytes(photo, WithExifThumbnail(red, c.thumbnail)));
        const Capture box = ThumbnailOf(photo, c.box.cx, c.box.cy);
        ASSERT_EQ(box.width, c.box.cx);
        EXPECT_TRUE(Near(box.At(c.box.cx / 2, c.box.cy / 2), c.shown, 24))
            << std::hex << box.At(c.box.cx / 2, c.box.cy / 2);
    }

    // The thumbnail is stored as the photo is: the photo's orientation (6,
    // to be turned clockwise) stands it upright; the upright 120 x 160 is
    // too small for a box wider than 120.
    const Bytes quarters = EncodeJpeg(160, 120, [](int x, int y) { return Quarters(x, y, 160, 120); });
    ASSERT_TRUE(WriteBytes(photo, WithExifThumbnail(EncodeJpeg(400, 300, Solid(kGrey)), quarters, 6)));
    const Capture upright = ThumbnailOf(photo, 30, 40);
    ASSERT_EQ(upright.width, 30);
    EXPECT_TRUE(Near(upright.At(25, 5), kRed, 24)) << "the stored top-left quarter at the top right";
    EXPECT_TRUE(Near(upright.At(5, 5), kBlue, 24));
    EXPECT_TRUE(Near(upright.At(25, 35), kGreen, 24));
    EXPECT_TRUE(Near(ThumbnailOf(photo, 121, 160).At(60, 80), kGrey, 24));
}

// A picture at the pixel bound takes seconds to decode: the entries are
// drawn (and the window goes on) while the worker still decodes it, and its
// thumbnail comes when it is done, before the next picture's.
TEST_F(HistoryMenuTest, PictureAtThePixelBoundDoesNotHoldUpTheWindow)
{
    const std::string huge = m_folder.File("huge.bmp");
    ASSERT_TRUE(WriteSolidRle8Bmp(huge, 16384, 16384, 0x3060C0));
    WriteHistory({huge, Picture("small.bmp", kRed)});
    OpenHistory();
    EXPECT_EQ(Draw(0, 0, 120).At(17, 17), SysColour(COLOR_MENU));
    EXPECT_EQ(Draw(1, 0, 120).At(17, 17), SysColour(COLOR_MENU));
    EXPECT_FALSE(Menu().IsWorkerIdle()) << "both entries were drawn while the decoding went on";
    ASSERT_TRUE(WaitForThumbnails(120000));
    EXPECT_TRUE(Near(Draw(0, 0, 120).At(17, 17), 0x3060C0));
    EXPECT_TRUE(Near(Draw(1, 0, 120).At(17, 17), kRed));
}

namespace {

// A photo's thumbnail is averaged from its rows as the codec gives them, band
// by band: exactly the box its whole decoded picture shrinks into.
TEST(HistoryThumbnail, APhotoReadBandByBandGivesTheBoxOfItsWholePicture)
{
    TempFolder folder("bands");
    const int w = 301, h = 203;
    const std::string path = folder.File("photo.jpg");
    ASSERT_TRUE(WriteJpeg(path, w, h, [](int x, int y) { return AsymmetricPixel(x, y, 301, 203); }));
    const Bytes bytes = ReadBytes(path);
    WicPixels whole;
    ASSERT_EQ(DecodeOpaqueStillWithWic(bytes.data(), bytes.size(), &whole), WicResult::Ok);
    const int bw = 30, bh = 20;
    std::vector<uint32_t> expected(static_cast<size_t>(bw) * bh);
    ShrinkIntoBox(whole.pixels.Get(), w * 4, w, h, 4, expected.data(), bw, bh);

    CBitmap thumbnail;
    ASSERT_TRUE(MakeThumbnail(path.c_str(), bw, bh, thumbnail));
    BITMAP bm = {};
    ASSERT_TRUE(GetObjectA(thumbnail, sizeof(bm), &bm) && bm.bmBits);
    ASSERT_EQ(bm.bmWidth, bw);
    for (int y = 0; y < bh; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(bm.bmBits) + y * bm.bmWidthBytes);
        EXPECT_TRUE(std::equal(row, row + bw, expected.begin() + y * bw)) << "row " << y;
    }
}

} // namespace
