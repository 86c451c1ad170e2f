#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <initializer_list>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "CFile.h"
#include "CString.h"
#include "settings/SettingsFolder.h"
#include "settings/WindowSettings.h"
#include "support/MessageBoxCapture.h"
#include "support/TestFiles.h"

namespace {

const char kDamagedCaption[] = "エラー";
const char kDamagedText[] = "ウィンドウ設定のバックアップからの回復に失敗しました\r\nウィンドウ設定を初期値に戻します";

bool IsFolder(const CString& path)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// alpha, zoom value, zoom mode, band position, band style, band width,
// frameless, status bar, topmost.
using Fields = std::tuple<int, int, int, UINT, UINT, UINT, BOOL, BOOL, BOOL>;

Fields FieldsOf(const WindowSettings& s)
{
    return Fields(s.m_nAlpha, s.m_nZoomValue, s.m_nZoomMode, s.m_bandInfo.wID, s.m_bandInfo.fStyle, s.m_bandInfo.cx,
                  s.m_bFrameless, s.m_bStatusBar, s.m_bTopMost);
}

// Every field away from its default, so a load that forgets one shows.
void Scramble(WindowSettings& s, UINT cx)
{
    s.m_nAlpha = 30;
    s.m_nZoomValue = 77;
    s.m_nZoomMode = ZOOM_FIX_BOTH;
    s.m_bandInfo.wID = 5;
    s.m_bandInfo.fStyle = 0x40;
    s.m_bandInfo.cx = cx;
    s.m_bFrameless = TRUE;
    s.m_bStatusBar = FALSE;
    s.m_bTopMost = TRUE;
}

Fields DefaultsWithWidth(UINT cx)
{
    return Fields(100, 0, ZOOM_ANY, 0, RBBS_BREAK, cx, FALSE, TRUE, FALSE);
}

class WindowSettingsTest : public ::testing::Test {
protected:
    // Any message box is answered and recorded, so an unexpected one fails
    // the test instead of hanging it.
    void TearDown() override { EXPECT_EQ(m_boxes.Count(), m_nExpectedBoxes); }

    // The user folder the tests load from and save to: a path in a fresh
    // temporary folder, not made until a test makes it.
    CString Folder() const { return m_temp.File("user").c_str(); }
    CString File() const { return Folder() + "\\wndset.def"; }
    void WriteSettings(const Bytes& bytes) const
    {
        ::CreateDirectoryA(Folder(), nullptr);
        WriteBytes(File().GetString(), bytes);
    }
    Bytes ReadSettings() const { return ReadBytes(File().GetString()); }

    TempFolder m_temp{"ws"};
    MessageBoxCapture m_boxes;
    std::size_t m_nExpectedBoxes = 0;
};

TEST_F(WindowSettingsTest, DefaultsLeaveTheBandWidthAlone)
{
    WindowSettings s;
    EXPECT_EQ(FieldsOf(s), DefaultsWithWidth(0));
    EXPECT_EQ(s.m_bandInfo.cbSize, sizeof(REBARBANDINFOA));
    Scramble(s, 77);
    s.ResetToDefaults();
    EXPECT_EQ(FieldsOf(s), DefaultsWithWidth(77));
}

TEST_F(WindowSettingsTest, EveryVersionLoadsItsOwnLayout)
{
    const struct {
        const char* name;
        Bytes file;
        std::size_t size;
        Fields expected;
    } cases[] = {
        {"v5", LittleEndianInts({5, 1, 640, ZOOM_FIX_WIDTH, 0x10000000, 70, 1, 2, 9, 333}), 40,
         Fields(70, 640, ZOOM_FIX_WIDTH, 2, 9, 333, 1, 0x10000000, 1)},
        {"v9 read as v5, trailing bytes ignored",
         LittleEndianInts({9, 0, 480, ZOOM_FIX_HEIGHT, 1, 40, 0, 1, 8, 120, 99, 99}), 48,
         Fields(40, 480, ZOOM_FIX_HEIGHT, 1, 8, 120, 0, 1, 0)},
        {"v4 reads topmost", LittleEndianInts({4, 0, 350, 1, 50, 0, 1, 1, 200}), 36,
         Fields(50, 250, ZOOM_FIX_WIDTH, 1, 1, 200, 0, 1, 0)},
        {"v3 keeps topmost", LittleEndianInts({3, 1, 70, 0, 30, 0, 8, 150}), 32,
         Fields(30, 70, ZOOM_PERCENT, 0, 8, 150, 1, 0, 1)},
        {"v0 as v3", LittleEndianInts({0, 0, -480, 1, 90, 2, 1, 10}), 32,
         Fields(90, 480, ZOOM_FIX_HEIGHT, 2, 1, 10, 0, 1, 1)},
        {"v-7 as v3", LittleEndianInts({-7, 0, 150, 1, 100, 0, 1, 0}), 32,
         Fields(100, 50, ZOOM_FIX_WIDTH, 0, 1, 0, 0, 1, 1)},
        {"v1 one unused integer", LittleEndianInts({1, 1, 20, 1, 60, 3, 9, 64, 12345}), 36,
         Fields(60, 20, ZOOM_PERCENT, 3, 9, 64, 1, 1, 1)},
        {"v2 three unused integers", LittleEndianInts({2, 0, 0, 0, 80, 1, 1, 300, 0, 99, -1}), 44,
         Fields(80, 0, ZOOM_ANY, 1, 1, 300, 0, 0, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.file.size(), c.size);
        WriteSettings(c.file);
        WindowSettings s;
        Scramble(s, 4444); // topmost TRUE: files without it must keep it
        EXPECT_TRUE(s.LoadFrom(File()));
        EXPECT_EQ(FieldsOf(s), c.expected);
    }
}

TEST_F(WindowSettingsTest, OldZoomValuesCarryTheZoomMode)
{
    const struct {
        int stored;
        int mode;
        int value;
    } cases[] = {
        // 0 is what the free size ("任意") stored then: it stays the free size
        // rather than a percent of 0, which would show every picture 0 x 0.
        {350, ZOOM_FIX_WIDTH, 250}, {-480, ZOOM_FIX_HEIGHT, 480},
        {0, ZOOM_ANY, 0},           {70, ZOOM_PERCENT, 70},
        {100, ZOOM_PERCENT, 100},   {101, ZOOM_FIX_WIDTH, 1},
        {-1, ZOOM_FIX_HEIGHT, 1},   {INT_MIN, ZOOM_FIX_HEIGHT, INT_MAX},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteSettings(LittleEndianInts({4, 0, c.stored, 1, 100, 0, 0, 1, 0}));
        WindowSettings s;
        EXPECT_TRUE(s.LoadFrom(File()));
        EXPECT_EQ(s.m_nZoomMode, c.mode);
        EXPECT_EQ(s.m_nZoomValue, c.value);
    }
}

TEST_F(WindowSettingsTest, ShortFileReportsOnceAndFallsBackToDefaults)
{
    const Bytes full = LittleEndianInts({5, 1, 640, ZOOM_FIX_WIDTH, 0, 70, 1, 2, 9, 333});
    const Bytes v2 = LittleEndianInts({2, 0, 0, 0, 80, 1, 1, 300, 0, 99, -1});
    const struct {
        const char* name;
        Bytes file;
        UINT cx; // the band width survives; the file's own when it was read
    } cases[] = {
        {"20 bytes", Bytes(full.begin(), full.begin() + 20), 55},
        {"empty", Bytes(), 55},
        {"one byte short", Bytes(full.begin(), full.end() - 1), 55},
        {"v2 cut after the band width", Bytes(v2.begin(), v2.begin() + 40), 300},
    };
    // While the box waits for the user, other windows can use the file.
    int nOpensDuringBox = 0;
    m_boxes.SetMessageBoxObserver([&](const MessageBoxCapture::Box&) {
        CFile other;
        nOpensDuringBox += other.Open(File(), CFile::modeRead | CFile::shareCompat) ? 1 : 0;
    });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSettings(c.file);
        m_boxes.Clear();
        nOpensDuringBox = 0;
        WindowSettings s;
        Scramble(s, 55);
        EXPECT_TRUE(s.LoadFrom(File()));
        ASSERT_EQ(m_boxes.Count(), 1u);
        EXPECT_EQ(nOpensDuringBox, 1);
        EXPECT_EQ(m_boxes.Boxes()[0].caption, kDamagedCaption);
        EXPECT_EQ(m_boxes.Boxes()[0].text, kDamagedText);
        EXPECT_EQ(FieldsOf(s), DefaultsWithWidth(c.cx));
        EXPECT_EQ(ReadSettings(), c.file); // the damaged file stays
    }
    m_boxes.SetMessageBoxObserver(nullptr);
    m_nExpectedBoxes = 1;
}

TEST_F(WindowSettingsTest, ValuesTheProgramNeverStoresAreReplaced)
{
    const struct {
        int alpha, zoomValue, zoomMode;
        int expectedAlpha, expectedValue, expectedMode;
    } cases[] = {
        {0, 50, ZOOM_PERCENT, 100, 50, ZOOM_PERCENT},
        {5000, 50, ZOOM_PERCENT, 100, 50, ZOOM_PERCENT},
        {9, 50, ZOOM_PERCENT, 100, 50, ZOOM_PERCENT},
        {-20, 50, ZOOM_PERCENT, 100, 50, ZOOM_PERCENT},
        {10, 50, ZOOM_PERCENT, 10, 50, ZOOM_PERCENT},
        {55, 50, ZOOM_PERCENT, 55, 50, ZOOM_PERCENT},
        {100, 640, 99, 100, 0, ZOOM_ANY}, // no such mode
        {100, 640, -1, 100, 0, ZOOM_ANY}, // no such mode
        {100, -300, ZOOM_FIX_HEIGHT, 100, -300, ZOOM_FIX_HEIGHT},
        {100, -50, ZOOM_PERCENT, 100, -50, ZOOM_PERCENT},
        {100, 0, ZOOM_FIX_BOTH, 100, 0, ZOOM_FIX_BOTH},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.alpha << "/" << c.zoomValue << "/" << c.zoomMode);
        WriteSettings(LittleEndianInts({5, 0, c.zoomValue, c.zoomMode, 1, c.alpha, 0, 0, 1, 0}));
        WindowSettings s;
        EXPECT_TRUE(s.LoadFrom(File()));
        EXPECT_EQ(s.m_nAlpha, c.expectedAlpha);
        EXPECT_EQ(s.m_nZoomValue, c.expectedValue);
        EXPECT_EQ(s.m_nZoomMode, c.expectedMode);
    }
}

TEST_F(WindowSettingsTest, SaveCreatesTheFolderAndWritesFortyBytes)
{
    ASSERT_FALSE(IsFolder(Folder()));
    WindowSettings s;
    s.m_bFrameless = TRUE;
    s.m_nZoomValue = 480;
    s.m_nZoomMode = ZOOM_FIX_HEIGHT;
    s.m_bStatusBar = 0x10000000;
    s.m_nAlpha = 80;
    s.m_bTopMost = TRUE;
    s.m_bandInfo.wID = 1;
    s.m_bandInfo.fStyle = 9;
    s.m_bandInfo.cx = 321;
    EXPECT_TRUE(s.SaveTo(Folder()));
    EXPECT_TRUE(IsFolder(Folder()));
    EXPECT_EQ(ReadSettings(), LittleEndianInts({5, 1, 480, ZOOM_FIX_HEIGHT, 0x10000000, 80, 1, 1, 9, 321}));

    WindowSettings back;
    EXPECT_TRUE(back.LoadFrom(File()));
    EXPECT_EQ(FieldsOf(back), FieldsOf(s));
}

TEST_F(WindowSettingsTest, SaveReplacesTheWholeFile)
{
    WriteSettings(Bytes(100, 0xEE));
    WindowSettings s;
    EXPECT_TRUE(s.SaveTo(Folder()));
    EXPECT_EQ(ReadSettings(), LittleEndianInts({5, 0, 0, ZOOM_ANY, 1, 100, 0, 0, RBBS_BREAK, 0}));
}

TEST_F(WindowSettingsTest, SaveFailsWhenTheFolderCannotBeMade)
{
    const CString deep = Folder() + "\\missing\\user";
    WindowSettings s;
    EXPECT_FALSE(s.SaveTo(deep));
    EXPECT_FALSE(IsFolder(Folder()));
}

TEST_F(WindowSettingsTest, FileHeldOpenElsewhereIsNeitherReadNorWritten)
{
    const Bytes original = LittleEndianInts({5, 1, 640, ZOOM_FIX_WIDTH, 0, 70, 1, 2, 9, 333});
    WriteSettings(original);
    {
        CFile holder;
        ASSERT_TRUE(holder.Open(File(), CFile::modeRead | CFile::shareCompat));
        WindowSettings s;
        Scramble(s, 4444);
        const Fields before = FieldsOf(s);
        EXPECT_FALSE(s.SaveTo(Folder()));
        EXPECT_FALSE(s.LoadFrom(File()));
        EXPECT_EQ(FieldsOf(s), before);
    }
    EXPECT_EQ(ReadSettings(), original);
}

TEST_F(WindowSettingsTest, MissingFileKeepsTheFields)
{
    WindowSettings s;
    Scramble(s, 4444);
    const Fields before = FieldsOf(s);
    EXPECT_FALSE(s.LoadFrom(File()));
    EXPECT_EQ(FieldsOf(s), before);
}

TEST(SettingsFolderTest, SettingsFolderIsBesideTheExecutable)
{
    char module[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, module, MAX_PATH);
    const CString folder = GetModuleFolder();
    ASSERT_FALSE(folder.IsEmpty());
    EXPECT_NE(folder[folder.GetLength() - 1], '\\');
    EXPECT_EQ(CString(module).Left(folder.GetLength() + 1), folder + "\\");
    EXPECT_EQ(CString(module).Mid(folder.GetLength() + 1).Find('\\'), -1);

    const CString user = GetUserFolderName();
    EXPECT_FALSE(user.IsEmpty());
    EXPECT_EQ(GetSettingsFolder(), folder + "\\" + user);
    EXPECT_EQ(WindowSettings::GetFilePath(), folder + "\\" + user + "\\wndset.def");
}

TEST(SettingsFolderTest, EnsureCreatesOnlyTheLastLevel)
{
    TempFolder temp("ensure");
    const CString folder = temp.File("user").c_str();
    EXPECT_FALSE(EnsureSettingsFolder(folder + "\\a\\b"));
    EXPECT_FALSE(IsFolder(folder));
    EXPECT_TRUE(EnsureSettingsFolder(folder));
    EXPECT_TRUE(IsFolder(folder));
    EXPECT_TRUE(EnsureSettingsFolder(folder));
}

// Windows starting at once all find the folder missing and all try to make
// it; every one of them must count it as there, or its save is lost.
TEST(SettingsFolderTest, EnsureSucceedsWhenAnotherCallerMadeTheFolderFirst)
{
    TempFolder temp("race");
    const CString root = temp.File("root").c_str();
    ASSERT_TRUE(EnsureSettingsFolder(root));
    constexpr int kCallers = 8;
    for (int round = 0; round < 20; ++round) {
        const CString folder = root + "\\user" + std::to_string(round).c_str();
        std::atomic<int> waiting{kCallers};
        std::atomic<int> failures{0};
        std::vector<std::thread> callers;
        for (int i = 0; i < kCallers; ++i) {
            callers.emplace_back([&] {
                --waiting;
                while (waiting.load() > 0)
                    std::this_thread::yield();
                if (!EnsureSettingsFolder(folder))
                    ++failures;
            });
        }
        for (std::thread& t : callers)
            t.join();
        EXPECT_EQ(failures.load(), 0) << "round " << round;
        EXPECT_TRUE(IsFolder(folder));
    }
}

} // namespace
