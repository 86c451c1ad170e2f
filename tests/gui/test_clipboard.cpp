// Copy and paste through the real clipboard.
#include "GuiHarness.h"

#include <algorithm>

#include "AfxGlobals.h"
#include "CClipboard.h"
#include "CGlobalLock.h"
#include "CWinApp.h"
#include "image/ClipboardDib.h"
#include "image/PicturePixels.h"
#include "settings/ClipboardFolder.h"
#include "support/MessageBoxCapture.h"

namespace {

const char kUnsupported[] = "未対応のフォーマットです";

using Pixels = std::vector<std::uint32_t>;

Pixels AsymmetricPixels(int width, int height)
{
    Pixels pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(0xFF000000 | AsymmetricPixel(x, y, width, height));
    return pixels;
}

Bytes DibOf(DibKind kind, const Pixels& pixels, int width, int height)
{
    Bytes dib(DibByteSize(kind, width, height));
    WriteDib(kind, pixels.data(), width, height, dib.data());
    return dib;
}

// The clipboard's bytes of a format; empty when it has none.
Bytes ClipboardBytes(UINT format)
{
    CClipboard clipboard(nullptr);
    CGlobalLock bytes(clipboard.GetData(format));
    return bytes.Get() ? Bytes(bytes.Get(), bytes.Get() + bytes.GetSize()) : Bytes();
}

// Replaces what the clipboard holds by one format, for hOwner; no bytes
// offer the format without data, as a program that never renders it.
void PutOnClipboard(HWND hOwner, UINT format, const Bytes* pBytes)
{
    CClipboard clipboard(hOwner);
    ASSERT_TRUE(clipboard.Empty());
    if (!pBytes) {
        ::SetClipboardData(format, nullptr);
        return;
    }
    CGlobalBlock block;
    ASSERT_TRUE(block.Allocate(pBytes->size()));
    {
        CGlobalLock lock(block.Get());
        std::copy(pBytes->begin(), pBytes->end(), lock.Get());
    }
    ASSERT_TRUE(clipboard.SetData(format, block));
}

Pixels PixelsOfDib(const Bytes& dib, DibLayout* pLayout)
{
    if (!CheckClipboardDib(dib.data(), dib.size(), pLayout))
        return {};
    Pixels pixels(static_cast<size_t>(pLayout->width) * static_cast<size_t>(pLayout->height));
    ReadDibPixels(dib.data(), *pLayout, pixels.data());
    return pixels;
}

std::vector<std::string> ClipboardFolderFiles()
{
    std::vector<std::string> files;
    WIN32_FIND_DATAA data;
    const std::string folder = GetClipboardFolder().GetString();
    HANDLE hFind = ::FindFirstFileA((folder + "\\*").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(folder + "\\" + data.cFileName);
    } while (::FindNextFileA(hFind, &data));
    ::FindClose(hFind);
    return files;
}

void RemoveClipboardFolder()
{
    for (const std::string& file : ClipboardFolderFiles())
        ::DeleteFileA(file.c_str());
    ::RemoveDirectoryA(GetClipboardFolder());
}

} // namespace

class ClipboardTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        RemoveClipboardFolder();
        ASSERT_TRUE(CreateFrame());
    }
    void TearDown() override
    {
        FrameTest::TearDown();
        RemoveClipboardFolder();
    }

    // Ctrl (and Shift) with the key, through the accelerators as typed.
    void CtrlKey(char key, bool bShift = false)
    {
        MSG msg = {View().m_hWnd, WM_KEYDOWN, static_cast<WPARAM>(key), 0x00000001, 0, {0, 0}};
        {
            HeldKeyState ctrl(VK_CONTROL);
            std::unique_ptr<HeldKeyState> shift(bShift ? new HeldKeyState(VK_SHIFT) : nullptr);
            EXPECT_TRUE(AfxGetApp()->PreTranslateMessage(&msg)) << "Ctrl+" << key << " is no accelerator";
        }
        PumpMessages();
    }

    TempFolder m_folder{"clipboard"};
};

TEST_F(ClipboardTest, CopyPutsThePictureAsShownAtFullSize)
{
    EXPECT_FALSE(IsCommandEnabled(ID_COPY)) << "nothing shown";
    const std::string path = m_folder.File("shown.bmp");
    ASSERT_TRUE(WriteBmp(path, 240, 160, [](int x, int y) { return AsymmetricPixel(x, y, 240, 160); }));
    OpenPath(path);
    Command(ID_ZOOM_50);
    Command(ID_ROTATE_RIGHT);
    Command(ID_FLIP_HORIZONTAL);
    EXPECT_TRUE(IsCommandEnabled(ID_COPY));
    CtrlKey('C');

    // Full size, turned: 160 x 240.
    DibLayout layout;
    const Pixels copied = PixelsOfDib(ClipboardBytes(CF_DIB), &layout);
    ASSERT_EQ(copied.size(), 160u * 240u);
    EXPECT_EQ(layout.width, 160);
    EXPECT_EQ(layout.height, 240);
    // The same pixels as the view shows at 100 %.
    Command(ID_ZOOM_100);
    RepaintView();
    const Capture shown = CaptureClient(View().m_hWnd);
    RECT rc;
    ASSERT_TRUE(View().GetImageRect(&rc));
    POINT origin = {rc.left, rc.top};
    ::ScreenToClient(View().m_hWnd, &origin);
    ASSERT_GE(shown.width, origin.x + 160);
    ASSERT_GE(shown.height, origin.y + 240);
    int mismatches = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 160; ++x)
            mismatches += (copied[static_cast<size_t>(y) * 160 + x] & 0xFFFFFF) != shown.At(origin.x + x, origin.y + y);
    EXPECT_EQ(mismatches, 0);

    // The file itself, for Explorer to paste.
    const Bytes drop = ClipboardBytes(CF_HDROP);
    std::vector<std::wstring> files;
    ASSERT_TRUE(ReadFileList(drop.data(), drop.size(), &files));
    wchar_t longPath[MAX_PATH] = {};
    ::GetLongPathNameW(std::wstring(path.begin(), path.end()).c_str(), longPath, MAX_PATH);
    EXPECT_EQ(files, std::vector<std::wstring>{longPath});
}

TEST_F(ClipboardTest, CopyOfATransparentPictureCarriesItsAlpha)
{
    const std::string path = m_folder.File("alpha.png");
    const auto argb = [](int x, int y) {
        return static_cast<uint32_t>(x * 255 / 159) << 24 | AsymmetricPixel(x, y, 160, 120);
    };
    ASSERT_TRUE(WritePng(path, 160, 120, argb));
    OpenPath(path);
    CtrlKey('C');

    DibLayout layout;
    const Pixels withAlpha = PixelsOfDib(ClipboardBytes(CF_DIBV5), &layout);
    ASSERT_EQ(withAlpha.size(), 160u * 120u);
    EXPECT_NE(layout.masks[3], 0u);
    for (int x : {0, 80, 159})
        EXPECT_EQ(withAlpha[static_cast<size_t>(60) * 160 + x] >> 24, argb(x, 60) >> 24) << "x " << x;
    // Without alpha, over white: the transparent column is white.
    const Pixels plain = PixelsOfDib(ClipboardBytes(CF_DIB), &layout);
    ASSERT_EQ(plain.size(), 160u * 120u);
    EXPECT_EQ(plain[60 * 160], 0xFFFFFFFFu);
    EXPECT_EQ(plain[60 * 160 + 159], 0xFF000000 | AsymmetricPixel(159, 60, 160, 120));
}

TEST_F(ClipboardTest, PasteOfABitmapShowsItFromANewPngFile)
{
    const Pixels pixels = AsymmetricPixels(170, 130);
    const Bytes dib = DibOf(DibKind::Rgb24, pixels, 170, 130);
    PutOnClipboard(m_pFrame->m_hWnd, CF_DIB, &dib);
    EXPECT_TRUE(IsCommandEnabled(ID_PASTE));
    CtrlKey('V');

    ASSERT_NE(View().m_pImage, nullptr);
    EXPECT_EQ(View().m_nImageWidth, 170);
    EXPECT_EQ(View().m_nImageHeight, 130);
    std::vector<std::string> files = ClipboardFolderFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(std::string(View().m_strPath), files[0]);
    EXPECT_EQ(StoredHistoryPaths(), files) << "opened like any file, into the history";
    EXPECT_EQ(ClipboardBytes(CF_DIB), dib) << "the clipboard is left as it was";
    // The file holds the pixels.
    std::unique_ptr<CPicture> written;
    ASSERT_EQ(CPicture::Load(files[0].c_str(), &written), PictureResult::Ok);
    CVirtualBlock read;
    SIZE size = {};
    ASSERT_TRUE(ReadShownPixels(*written, TransformState{0, false}, &read, &size));
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), reinterpret_cast<const uint32_t*>(read.Get())));

    // A second paste is a second file.
    CtrlKey('V');
    files = ClipboardFolderFiles();
    EXPECT_EQ(files.size(), 2u);
    EXPECT_EQ(std::count(files.begin(), files.end(), std::string(View().m_strPath)), 1);
}

TEST_F(ClipboardTest, BadBitmapsAreReportedAndWriteNothing)
{
    const std::string path = m_folder.File("kept.bmp");
    ASSERT_TRUE(WriteBmp(path, 160, 120, [](int x, int y) { return AsymmetricPixel(x, y, 160, 120); }));
    OpenPath(path);

    Bytes lyingSize = DibOf(DibKind::Rgb24, AsymmetricPixels(20, 10), 20, 10);
    lyingSize[20] = 0xFF; // biSizeImage far beyond the data
    lyingSize[21] = 0xFF;
    Bytes absurd = lyingSize;
    absurd[20] = absurd[21] = 0;
    absurd[4] = absurd[8] = 0;
    absurd[6] = absurd[10] = 1;            // 65536 x 65536
    const Bytes brokenList = {1, 2, 3, 4}; // shorter than the list's header
    struct Case {
        const char* name;
        UINT format;
        const Bytes* pBytes;
    } cases[] = {{"an image size that lies", CF_DIB, &lyingSize},
                 {"absurd dimensions", CF_DIB, &absurd},
                 {"an empty handle", CF_DIB, nullptr},
                 {"a file list that cannot be read", CF_HDROP, &brokenList}};
    for (const Case& c : cases) {
        PutOnClipboard(m_pFrame->m_hWnd, c.format, c.pBytes);
        MessageBoxCapture boxes;
        CtrlKey('V');
        ASSERT_EQ(boxes.Count(), 1u) << c.name;
        EXPECT_EQ(boxes.Boxes()[0].text, kUnsupported) << c.name;
        EXPECT_TRUE(ClipboardFolderFiles().empty()) << c.name;
        EXPECT_EQ(std::string(View().m_strPath), path) << c.name;
        if (c.pBytes) {
            EXPECT_EQ(ClipboardBytes(c.format), *c.pBytes) << c.name;
        }
    }
}

TEST_F(ClipboardTest, PasteOfFilesOpensTheFirstHereTheRestInNewWindows)
{
    const std::string a = m_folder.File("a.bmp");
    const std::string b = m_folder.File("b.bmp");
    ASSERT_TRUE(WriteBmp(a, 160, 120, [](int, int) { return 0x336699u; }));
    ASSERT_TRUE(WriteBmp(b, 170, 120, [](int, int) { return 0x996633u; }));
    const auto wide = [](const std::string& s) { return std::wstring(s.begin(), s.end()); };
    CGlobalBlock list;
    ASSERT_TRUE(MakeFileListBlock({wide(a), wide(m_folder.Path()), wide(b)}, &list));
    Bytes bytes;
    {
        CGlobalLock lock(list.Get());
        bytes.assign(lock.Get(), lock.Get() + lock.GetSize());
    }
    PutOnClipboard(m_pFrame->m_hWnd, CF_HDROP, &bytes);

    LaunchRecorder launches;
    CtrlKey('V');
    EXPECT_EQ(std::string(View().m_strPath), a);
    EXPECT_EQ(launches.Parameters(), std::vector<std::string>{b}) << "the folder is skipped";
    EXPECT_EQ(StoredHistoryPaths(), std::vector<std::string>{a});

    LaunchRecorder shifted;
    CtrlKey('V', true);
    EXPECT_EQ(shifted.Parameters(), (std::vector<std::string>{a, b}));
    EXPECT_EQ(std::string(View().m_strPath), a);

    PutOnClipboard(m_pFrame->m_hWnd, CF_TEXT, &bytes);
    EXPECT_FALSE(IsCommandEnabled(ID_PASTE));
}
