#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "CFile.h"
#include "CString.h"
#include "history/HistoryList.h"
#include "settings/SettingsFolder.h"
#include "support/MessageBoxCapture.h"
#include "support/SettingsFiles.h"
#include "support/TestFiles.h"

namespace {

const char kDamagedCaption[] = "エラー";
const char kDamagedText[] = "ヒストリー設定のバックアップからの回復に失敗しました\r\nヒストリー設定を初期値に戻します";

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes bytes;
    for (const Bytes& part : parts)
        bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
}

void SetPaths(HistoryList& h, const std::vector<std::string>& paths)
{
    h.m_paths.clear();
    for (const std::string& p : paths)
        h.m_paths.push_back(p.c_str());
}

struct Settings {
    int maxCount;
    BOOL bShow;
    int width;
    int height;
    bool operator==(const Settings& o) const
    {
        return maxCount == o.maxCount && bShow == o.bShow && width == o.width && height == o.height;
    }
};

Settings SettingsOf(const HistoryList& h)
{
    return {h.m_nMaxCount, h.m_bShowThumbnails, h.m_nThumbWidth, h.m_nThumbHeight};
}

void PrintTo(const Settings& s, std::ostream* os)
{
    *os << s.maxCount << "/" << s.bShow << "/" << s.width << "x" << s.height;
}

const Settings kDefaults{10, TRUE, 30, 30};

class HistoryListTest : public ::testing::Test {
protected:
    // Every message box is answered and counted, so an unexpected one fails
    // the test instead of hanging it.
    void TearDown() override { EXPECT_EQ(m_boxes.Count(), m_nExpectedBoxes); }

    CString Folder() const { return m_settings.Path().c_str(); }
    std::string File() const { return m_settings.File(HistoryList::kFileName); }

    // An existing (empty) image file; its full path.
    std::string Image(const std::string& name) const
    {
        const std::string path = m_images.File(name);
        WriteBytes(path, Bytes{0x42, 0x4D});
        return path;
    }

    std::vector<std::string> Images(int count) const
    {
        std::vector<std::string> paths;
        for (int i = 0; i < count; ++i)
            paths.push_back(Image("img" + std::to_string(i) + ".jpg"));
        return paths;
    }

    TempFolder m_settings{"hist_user"};
    TempFolder m_images{"hist_images"};
    MessageBoxCapture m_boxes;
    std::size_t m_nExpectedBoxes = 0;
};

TEST_F(HistoryListTest, DefaultsAndReset)
{
    HistoryList h;
    EXPECT_TRUE(h.m_paths.empty());
    EXPECT_EQ(SettingsOf(h), kDefaults);
    h.m_paths.push_back("C:\\x.jpg");
    h.m_nMaxCount = 3;
    h.m_bShowThumbnails = FALSE;
    h.m_nThumbWidth = 64;
    h.m_nThumbHeight = 48;
    h.ResetToDefaults();
    EXPECT_TRUE(h.m_paths.empty());
    EXPECT_EQ(SettingsOf(h), kDefaults);
}

TEST_F(HistoryListTest, ExampleFileIsThirtyThreeBytes)
{
    const Bytes expected = {0x01, 0, 0, 0,    0x0A, 0, 0, 0,    0x01, 0,   0,    0,   0x1E, 0,   0,   0,  0x1E,
                            0,    0, 0, 0x01, 0,    0, 0, 0x08, 'C',  ':', '\\', 'a', '.',  'j', 'p', 'g'};
    ASSERT_EQ(expected.size(), 33u);

    HistoryList saved;
    saved.m_paths.push_back("C:\\a.jpg");
    EXPECT_TRUE(saved.SaveTo(Folder()));
    EXPECT_EQ(ReadBytes(File()), expected);

    // Adding to a missing file writes the same: current settings, one entry.
    ASSERT_TRUE(::DeleteFileA(File().c_str()));
    HistoryList added;
    EXPECT_TRUE(added.AddPathIn(Folder(), "C:\\a.jpg"));
    EXPECT_EQ(ReadBytes(File()), expected);
    EXPECT_EQ(PathsOf(added), std::vector<std::string>{"C:\\a.jpg"});
}

TEST_F(HistoryListTest, SaveAndLoadRoundTripWithJapanesePaths)
{
    const std::vector<std::string> paths = {Image("表示.jpg"), Image("ソフト.png"), Image("plain.gif")};
    HistoryList h;
    SetPaths(h, paths);
    h.m_nMaxCount = 5;
    h.m_bShowThumbnails = FALSE;
    h.m_nThumbWidth = 64;
    h.m_nThumbHeight = 48;
    EXPECT_TRUE(h.SaveTo(Folder()));
    EXPECT_EQ(ReadBytes(File()), HistoryFileBytes(5, FALSE, 64, 48, paths));

    HistoryList back;
    EXPECT_TRUE(back.LoadFrom(File().c_str()));
    EXPECT_EQ(PathsOf(back), paths);
    EXPECT_EQ(SettingsOf(back), (Settings{5, FALSE, 64, 48}));
}

TEST_F(HistoryListTest, OlderAndNewerVersionsLoad)
{
    const std::string a = Image("a.jpg");
    const std::string b = Image("b.jpg");

    // Version 0: version, maximum, count, paths; the thumbnail settings stay.
    WriteBytes(File(), Cat({LittleEndianInts({0, 7, 2}), ArchiveString(a), ArchiveString(b)}));
    HistoryList v0;
    v0.m_bShowThumbnails = FALSE;
    v0.m_nThumbWidth = 11;
    v0.m_nThumbHeight = 22;
    EXPECT_TRUE(v0.LoadFrom(File().c_str()));
    EXPECT_EQ(PathsOf(v0), (std::vector<std::string>{a, b}));
    EXPECT_EQ(SettingsOf(v0), (Settings{7, FALSE, 11, 22}));
    // The next write is version 1 with all five header values.
    EXPECT_TRUE(v0.SaveTo(Folder()));
    EXPECT_EQ(ReadBytes(File()), HistoryFileBytes(7, FALSE, 11, 22, {a, b}));

    // A negative version reads like version 0.
    WriteBytes(File(), Cat({LittleEndianInts({-3, 4, 1}), ArchiveString(b)}));
    HistoryList negative;
    EXPECT_TRUE(negative.LoadFrom(File().c_str()));
    EXPECT_EQ(PathsOf(negative), std::vector<std::string>{b});
    EXPECT_EQ(SettingsOf(negative), (Settings{4, TRUE, 30, 30}));

    // Version 9 reads as version 1; bytes after the last path are ignored.
    WriteBytes(File(), Cat({LittleEndianInts({9, 3, 0, 40, 50, 1}), ArchiveString(a), Bytes(17, 0xEE)}));
    HistoryList v9;
    EXPECT_TRUE(v9.LoadFrom(File().c_str()));
    EXPECT_EQ(PathsOf(v9), std::vector<std::string>{a});
    EXPECT_EQ(SettingsOf(v9), (Settings{3, FALSE, 40, 50}));
}

TEST_F(HistoryListTest, VanishedFilesAreDroppedOnReading)
{
    const std::string a = Image("a.jpg");
    const std::string c = Image("c.jpg");
    const std::string gone = m_images.File("gone.jpg");
    const std::string wildcard = m_images.File("*.jpg"); // matches a.jpg, but is no file
    WriteBytes(File(), HistoryFileBytes(10, TRUE, 30, 30, {gone, a, wildcard, c, ""}));

    HistoryList h;
    EXPECT_TRUE(h.LoadFrom(File().c_str()));
    EXPECT_EQ(PathsOf(h), (std::vector<std::string>{a, c}));

    // The next write leaves them out of the file.
    const std::string d = Image("d.jpg");
    EXPECT_TRUE(h.AddPathIn(Folder(), d.c_str()));
    const Bytes expected = HistoryFileBytes(10, TRUE, 30, 30, {d, a, c});
    const Bytes written = ReadBytes(File());
    ASSERT_GE(written.size(), expected.size());
    EXPECT_EQ(Bytes(written.begin(), written.begin() + static_cast<long>(expected.size())), expected);
    HistoryList back;
    EXPECT_TRUE(back.LoadFrom(File().c_str()));
    EXPECT_EQ(PathsOf(back), (std::vector<std::string>{d, a, c}));
}

TEST_F(HistoryListTest, FilesWithTooManyEntriesLoadTheirFirstOnes)
{
    const std::vector<std::string> images = Images(55);
    const auto first = [&](int n) { return std::vector<std::string>(images.begin(), images.begin() + n); };
    const struct {
        const char* name;
        int storedMax;
        std::vector<std::string> stored;
        int loadedMax;
        std::vector<std::string> loaded;
    } cases[] = {
        {"more than the maximum", 3, first(6), 3, first(3)},
        {"more than 50, maximum above 50", 60, images, 50, first(50)},
        {"negative maximum gives the default", -5, first(12), 10, first(10)},
        {"maximum 0", 0, first(4), 0, {}},
        {"later duplicates left out", 10, {images[0], images[1], images[0], images[2]}, 10, first(3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(File(), HistoryFileBytes(c.storedMax, TRUE, 30, 30, c.stored));
        HistoryList h;
        EXPECT_TRUE(h.LoadFrom(File().c_str()));
        EXPECT_EQ(h.m_nMaxCount, c.loadedMax);
        EXPECT_EQ(PathsOf(h), c.loaded);
    }

    // A duplicate differing only in letter case is the same entry too.
    std::string upper = images[1];
    for (char& ch : upper)
        ch = static_cast<char>(::toupper(static_cast<unsigned char>(ch)));
    WriteBytes(File(), HistoryFileBytes(10, TRUE, 30, 30, {images[1], upper, images[2]}));
    HistoryList h;
    EXPECT_TRUE(h.LoadFrom(File().c_str()));
    EXPECT_EQ(PathsOf(h), (std::vector<std::string>{images[1], images[2]}));
}

TEST_F(HistoryListTest, DamagedFileGivesTheMessageAndTheDefaults)
{
    const std::string a = Image("a.jpg");
    const Bytes good = HistoryFileBytes(5, FALSE, 64, 48, {a, a + "x"});
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"cut inside a path", Bytes(good.begin(), good.end() - 3)},
        {"cut inside the header", Bytes(good.begin(), good.begin() + 10)},
        {"empty", Bytes()},
        {"count beyond the data", Cat({LittleEndianInts({1, 5, 1, 30, 30, 3}), ArchiveString(a)})},
        {"absurd count", Cat({LittleEndianInts({1, 5, 1, 30, 30, INT_MAX}), ArchiveString(a)})},
        {"negative count", LittleEndianInts({1, 5, 1, 30, 30, -1})},
        {"absurd string length", Cat({LittleEndianInts({1, 5, 1, 30, 30, 1}),
                                      Bytes{0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F}, ArchiveString(a)})},
    };
    // While the box waits for the user, other windows can use the file.
    int nOpensDuringBox = 0;
    m_boxes.SetMessageBoxObserver([&](const MessageBoxCapture::Box&) {
        CFile other;
        nOpensDuringBox += other.Open(File().c_str(), CFile::modeRead | CFile::shareCompat) ? 1 : 0;
    });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(File(), c.file);
        m_boxes.Clear();
        nOpensDuringBox = 0;
        HistoryList h;
        h.m_paths.push_back("C:\\stale.jpg");
        h.m_nMaxCount = 3;
        h.m_bShowThumbnails = FALSE;
        h.m_nThumbWidth = 1;
        EXPECT_TRUE(h.LoadFrom(File().c_str()));
        ASSERT_EQ(m_boxes.Count(), 1u);
        EXPECT_EQ(nOpensDuringBox, 1);
        EXPECT_EQ(m_boxes.Boxes()[0].caption, kDamagedCaption);
        EXPECT_EQ(m_boxes.Boxes()[0].text, kDamagedText);
        EXPECT_TRUE(h.m_paths.empty());
        EXPECT_EQ(SettingsOf(h), kDefaults);
        EXPECT_EQ(ReadBytes(File()), c.file); // Load leaves the damaged file
    }
    m_boxes.SetMessageBoxObserver(nullptr);
    m_nExpectedBoxes = 1;
}

TEST_F(HistoryListTest, AddPathToADamagedFileKeepsOnlyTheNewPath)
{
    const std::string a = Image("a.jpg");
    const std::string b = Image("b.jpg");
    const Bytes good = HistoryFileBytes(5, FALSE, 64, 48, {a});
    WriteBytes(File(), Bytes(good.begin(), good.end() - 2));

    // The box comes once the new content is on disk and the file is free.
    Bytes onDiskDuringBox;
    m_boxes.SetMessageBoxObserver([&](const MessageBoxCapture::Box&) { onDiskDuringBox = ReadBytes(File()); });
    HistoryList h;
    h.m_nMaxCount = 2;
    EXPECT_TRUE(h.AddPathIn(Folder(), b.c_str()));
    m_boxes.SetMessageBoxObserver(nullptr);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text, kDamagedText);
    EXPECT_EQ(PathsOf(h), std::vector<std::string>{b});
    EXPECT_EQ(SettingsOf(h), kDefaults);

    const Bytes expected = HistoryFileBytes(10, TRUE, 30, 30, {b});
    const Bytes written = ReadBytes(File());
    ASSERT_GE(written.size(), expected.size());
    EXPECT_EQ(Bytes(written.begin(), written.begin() + static_cast<long>(expected.size())), expected);
    EXPECT_EQ(onDiskDuringBox, written);
    m_nExpectedBoxes = 1;
}

TEST_F(HistoryListTest, AddPathCreatesTheFolderAndTheFile)
{
    const CString folder = Folder() + "\\user1";
    const std::string file = std::string(folder.GetString()) + "\\" + HistoryList::kFileName;
    HistoryList h;
    h.m_nMaxCount = 5;
    h.m_bShowThumbnails = FALSE;
    h.m_nThumbWidth = 40;
    h.m_nThumbHeight = 20;
    h.m_paths.push_back("C:\\stale.jpg"); // a working copy: not carried into the file
    EXPECT_TRUE(h.AddPathIn(folder, "C:\\Pics\\表.jpg"));
    EXPECT_EQ(ReadBytes(file), HistoryFileBytes(5, FALSE, 40, 20, {"C:\\Pics\\表.jpg"}));
    EXPECT_EQ(PathsOf(h), std::vector<std::string>{"C:\\Pics\\表.jpg"});
    ::DeleteFileA(file.c_str());
    ::RemoveDirectoryA(folder);

    // Only the last level is ever made.
    EXPECT_FALSE(h.AddPathIn(Folder() + "\\missing\\user1", "C:\\a.jpg"));
    EXPECT_FALSE(FileExists(m_settings.File("missing")));
}

TEST_F(HistoryListTest, AddPathMovesOrInsertsAndTrimsOnlyNewEntries)
{
    const std::vector<std::string> images = Images(12);
    const std::vector<std::string> ten(images.begin(), images.begin() + 10);
    std::string upper3 = images[3];
    for (char& ch : upper3)
        ch = static_cast<char>(::toupper(static_cast<unsigned char>(ch)));
    ASSERT_NE(upper3, images[3]);

    const auto with = [&](std::vector<std::string> list, int from, const std::string& front) {
        if (from >= 0)
            list.erase(list.begin() + from);
        list.insert(list.begin(), front);
        return list;
    };
    const struct {
        const char* name;
        int maxCount;
        std::vector<std::string> before;
        std::string added;
        std::vector<std::string> after;
    } cases[] = {
        {"other letter case moves to the front in the new case", 10,
         std::vector<std::string>(ten.begin(), ten.begin() + 5), upper3,
         with(std::vector<std::string>(ten.begin(), ten.begin() + 5), 3, upper3)},
        {"moving in a full list trims nothing", 10, ten, upper3, with(ten, 3, upper3)},
        {"the first entry again", 10, ten, images[0], ten},
        {"new entry to a full list drops the oldest", 10, ten, images[10],
         with(std::vector<std::string>(ten.begin(), ten.begin() + 9), -1, images[10])},
        {"new entry below the maximum", 10, std::vector<std::string>(ten.begin(), ten.begin() + 4), images[11],
         with(std::vector<std::string>(ten.begin(), ten.begin() + 4), -1, images[11])},
        {"maximum 0 keeps the history empty", 0, {}, images[0], {}},
        {"maximum 1", 1, {images[5]}, images[6], {images[6]}},
        {"a file not on disk is still added", 3, {images[0]}, "C:\\nowhere\\x.jpg", {"C:\\nowhere\\x.jpg", images[0]}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(File(), HistoryFileBytes(c.maxCount, TRUE, 30, 30, c.before));
        HistoryList h;
        EXPECT_TRUE(h.AddPathIn(Folder(), c.added.c_str()));
        EXPECT_EQ(PathsOf(h), c.after);
        EXPECT_EQ(h.m_nMaxCount, c.maxCount);
        // The file starts with exactly the new content.
        const Bytes expected = HistoryFileBytes(c.maxCount, TRUE, 30, 30, c.after);
        const Bytes written = ReadBytes(File());
        ASSERT_GE(written.size(), expected.size());
        EXPECT_EQ(Bytes(written.begin(), written.begin() + static_cast<long>(expected.size())), expected);
    }
}

// A file that an in-place write of an older version left with old bytes
// behind its content: no reader sees them, and the next write cuts them off.
TEST_F(HistoryListTest, OldBytesBehindTheContentAreIgnoredThenCut)
{
    const std::string a = Image("a.jpg");
    const std::string b = Image("b.jpg");
    const Bytes content = HistoryFileBytes(2, TRUE, 30, 30, {a});
    Bytes file = content;
    const Bytes tail = HistoryFileBytes(2, TRUE, 30, 30, {std::string(150, 'L') + ".jpg"});
    file.insert(file.end(), tail.begin(), tail.end());
    WriteBytes(File(), file);

    HistoryList back;
    EXPECT_TRUE(back.LoadFrom(File().c_str()));
    EXPECT_EQ(PathsOf(back), (std::vector<std::string>{a}));
    EXPECT_TRUE(back.AddPathIn(Folder(), b.c_str()));
    EXPECT_EQ(PathsOf(back), (std::vector<std::string>{b, a}));
    EXPECT_EQ(ReadBytes(File()), HistoryFileBytes(2, TRUE, 30, 30, {b, a}));
}

TEST_F(HistoryListTest, ShiftJisPathsCompareCharacterByCharacter)
{
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"C:\\Pics\\A.JPG", "c:\\pics\\a.jpg", true},
        {"C:\\表\\a.jpg", "c:\\表\\A.JPG", true}, // letters after the 0x5C trail byte still fold
        {"C:\\ソa", "C:\\ソA", true},
        {"C:\\ア.jpg", "C:\\ヂ.jpg", false}, // 83 41 / 83 61: trail bytes 'A' and 'a'
        {"C:\\表.jpg", "C:\\怖.jpg", false}, // 95 5C / 95 7C
        {"C:\\ソ.jpg", "C:\\ポ.jpg", false}, // 83 5C / 83 7C
        {"C:\\表.jpg", "C:\\ソ.jpg", false}, // same trail byte 0x5C
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " / " << c.b);
        EXPECT_EQ(HistoryList::IsSamePath(c.a, c.b) != FALSE, c.same);
        EXPECT_EQ(HistoryList::IsSamePath(c.b, c.a) != FALSE, c.same);
    }

    // The same comparison decides whether AddPath moves or inserts.
    const std::string a = Image("ア.jpg");
    const std::string di = Image("ヂ.jpg");
    const std::string hyou = Image("表a.jpg");
    WriteBytes(File(), HistoryFileBytes(10, TRUE, 30, 30, {a, hyou}));
    HistoryList h;
    EXPECT_TRUE(h.AddPathIn(Folder(), di.c_str()));
    EXPECT_EQ(PathsOf(h), (std::vector<std::string>{di, a, hyou}));
    EXPECT_EQ(h.FindPath(a.c_str()), 1);
    const std::string hyouUpper = m_images.File("表A.jpg");
    EXPECT_EQ(h.FindPath(hyouUpper.c_str()), 2);
    EXPECT_TRUE(h.AddPathIn(Folder(), hyouUpper.c_str()));
    EXPECT_EQ(PathsOf(h), (std::vector<std::string>{hyouUpper, di, a}));
    EXPECT_EQ(h.FindPath("C:\\none.jpg"), -1);
}

TEST_F(HistoryListTest, FileHeldElsewhereIsNeitherReadNorWritten)
{
    const std::string a = Image("a.jpg");
    const std::string b = Image("b.jpg");
    const Bytes original = HistoryFileBytes(5, FALSE, 64, 48, {a});
    WriteBytes(File(), original);
    HistoryList h;
    {
        CFile holder;
        ASSERT_TRUE(holder.Open(File().c_str(), CFile::modeRead | CFile::shareCompat));
        h.m_paths.push_back(a.c_str());
        EXPECT_FALSE(h.AddPathIn(Folder(), b.c_str()));
        EXPECT_TRUE(h.m_paths.empty());
        EXPECT_EQ(SettingsOf(h), kDefaults);
        EXPECT_FALSE(h.LoadFrom(File().c_str()));
        EXPECT_EQ(SettingsOf(h), kDefaults);
        h.m_paths.push_back(b.c_str());
        EXPECT_FALSE(h.SaveTo(Folder()));
        EXPECT_FALSE(h.DeleteAllIn(Folder()));
    }
    EXPECT_EQ(ReadBytes(File()), original);

    // Once the file is free, the retry records the path.
    EXPECT_TRUE(h.AddPathIn(Folder(), b.c_str()));
    EXPECT_EQ(PathsOf(h), (std::vector<std::string>{b, a}));
    EXPECT_EQ(SettingsOf(h), (Settings{5, FALSE, 64, 48}));
}

TEST_F(HistoryListTest, EmptyPathRecordsNothingAndSucceeds)
{
    const std::string a = Image("a.jpg");
    const Bytes original = HistoryFileBytes(5, TRUE, 30, 30, {a});
    WriteBytes(File(), original);
    HistoryList h;
    EXPECT_TRUE(h.AddPathIn(Folder(), ""));
    EXPECT_TRUE(h.AddPathIn(Folder(), nullptr));
    EXPECT_EQ(ReadBytes(File()), original);

    // Nothing is created either.
    const CString folder = Folder() + "\\user2";
    EXPECT_TRUE(h.AddPathIn(folder, ""));
    EXPECT_FALSE(FileExists(folder.GetString()));
}

TEST_F(HistoryListTest, SetMaxCountTrimsOnlyWhenLowered)
{
    const std::vector<std::string> images = Images(8);
    HistoryList h;
    SetPaths(h, images);
    EXPECT_TRUE(h.SetMaxCount(3));
    EXPECT_EQ(PathsOf(h), std::vector<std::string>(images.begin(), images.begin() + 3));
    EXPECT_TRUE(h.SetMaxCount(10));
    EXPECT_EQ(h.m_nMaxCount, 10);
    EXPECT_EQ(PathsOf(h), std::vector<std::string>(images.begin(), images.begin() + 3));

    // Out of 0..50: refused, nothing changes.
    for (int bad : {-1, INT_MIN, 51, INT_MAX}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(h.SetMaxCount(bad));
        EXPECT_EQ(h.m_nMaxCount, 10);
        EXPECT_EQ(h.m_paths.size(), 3u);
    }
    EXPECT_TRUE(h.SetMaxCount(50));
    EXPECT_EQ(h.m_nMaxCount, 50);
    EXPECT_TRUE(h.SetMaxCount(0));
    EXPECT_TRUE(h.m_paths.empty());

    // Lowered, saved, and the file holds the shorter list.
    h.m_nMaxCount = 10;
    SetPaths(h, images);
    EXPECT_TRUE(h.SetMaxCount(5));
    EXPECT_TRUE(h.SaveTo(Folder()));
    HistoryList back;
    EXPECT_TRUE(back.LoadFrom(File().c_str()));
    EXPECT_EQ(PathsOf(back), std::vector<std::string>(images.begin(), images.begin() + 5));
    EXPECT_EQ(back.m_nMaxCount, 5);
}

TEST_F(HistoryListTest, HardCapHoldsEvenWhenTheMaximumIsSetDirectly)
{
    const std::vector<std::string> images = Images(51);
    WriteBytes(File(),
               HistoryFileBytes(50, TRUE, 30, 30, std::vector<std::string>(images.begin(), images.begin() + 50)));
    HistoryList h;
    EXPECT_TRUE(h.LoadFrom(File().c_str()));
    ASSERT_EQ(h.m_paths.size(), 50u);
    h.m_nMaxCount = 80;
    EXPECT_TRUE(h.SaveTo(Folder()));
    EXPECT_TRUE(h.AddPathIn(Folder(), images[50].c_str()));
    ASSERT_EQ(h.m_paths.size(), 50u);
    EXPECT_EQ(PathsOf(h).front(), images[50]);
    EXPECT_EQ(PathsOf(h).back(), images[48]);
}

// The settings dialog's OK: whatever this window's copy holds (stale, or
// empty because the file was held as the dialog opened), the entries written
// are those in the file at that moment.
TEST_F(HistoryListTest, ApplySettingsKeepsTheEntriesOfTheFileAndTrimsToTheNewMaximum)
{
    const std::vector<std::string> images = Images(8);
    WriteBytes(File(), HistoryFileBytes(10, TRUE, 30, 30, std::vector<std::string>(images.begin() + 1, images.end())));
    HistoryList h;                                         // as after a failed Load: no entries
    EXPECT_TRUE(h.AddPathIn(Folder(), images[0].c_str())); // another window adds meanwhile
    h.m_paths.clear();
    EXPECT_TRUE(h.ApplySettingsIn(Folder(), 20, FALSE, 48, -2));
    EXPECT_EQ(ReadBytes(File()), HistoryFileBytes(20, FALSE, 48, -2, images)) << "no entry lost, sizes as given";

    EXPECT_TRUE(h.ApplySettingsIn(Folder(), 5, TRUE, 30, 30));
    EXPECT_EQ(PathsOf(h), std::vector<std::string>(images.begin(), images.begin() + 5));
    HistoryList back;
    EXPECT_TRUE(back.LoadFrom(File().c_str()));
    EXPECT_EQ(PathsOf(back), std::vector<std::string>(images.begin(), images.begin() + 5));
    EXPECT_EQ(SettingsOf(back), (Settings{5, TRUE, 30, 30}));
}

// Every rewrite under one open (the settings dialog's OK, an added picture)
// leaves a file that ends where its content ends: the paths it dropped are
// gone from the disk, not left behind the new content.
TEST_F(HistoryListTest, RewritesEndWhereTheirContentEnds)
{
    const std::string dropped = Image(std::string(150, 'd') + ".jpg");
    const std::vector<std::string> images = Images(8);
    auto first = [&](int n) { return std::vector<std::string>(images.begin(), images.begin() + n); };
    struct Case {
        const char* name;
        Bytes before;
        std::function<BOOL(HistoryList&)> rewrite;
        Bytes after;
    } cases[] = {
        {"maximum lowered from 10 to 5 with 8 entries", HistoryFileBytes(10, TRUE, 30, 30, images),
         [&](HistoryList& h) { return h.ApplySettingsIn(Folder(), 5, TRUE, 30, 30); },
         HistoryFileBytes(5, TRUE, 30, 30, first(5))},
        {"a new picture pushes the oldest out", HistoryFileBytes(3, TRUE, 30, 30, {images[1], images[2], dropped}),
         [&](HistoryList& h) { return h.AddPathIn(Folder(), images[0].c_str()); },
         HistoryFileBytes(3, TRUE, 30, 30, first(3))},
        {"a vanished picture is left out", HistoryFileBytes(10, TRUE, 30, 30, {images[1], dropped}),
         [&](HistoryList& h) {
             ::DeleteFileA(dropped.c_str());
             return h.AddPathIn(Folder(), images[0].c_str());
         },
         HistoryFileBytes(10, TRUE, 30, 30, first(2))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(File(), c.before);
        HistoryList h;
        EXPECT_TRUE(c.rewrite(h));
        const Bytes after = ReadBytes(File());
        EXPECT_EQ(after, c.after);
        EXPECT_FALSE(ContainsText(after, std::string(20, 'd'))) << "the dropped path's bytes";
    }
}

TEST_F(HistoryListTest, ApplySettingsWritesNothingWhenTheFileIsHeldOrTheMaximumIsOutOfRange)
{
    const std::vector<std::string> images = Images(3);
    const Bytes original = HistoryFileBytes(10, TRUE, 30, 30, images);
    WriteBytes(File(), original);
    HistoryList h;
    {
        CFile holder;
        ASSERT_TRUE(holder.Open(File().c_str(), CFile::modeRead | CFile::shareCompat));
        EXPECT_FALSE(h.ApplySettingsIn(Folder(), 2, FALSE, 10, 10));
    }
    for (int bad : {-1, 51}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(h.ApplySettingsIn(Folder(), bad, FALSE, 10, 10));
    }
    EXPECT_EQ(ReadBytes(File()), original);

    // No file yet: made with the settings and no entries.
    const CString other = Folder() + "\\user2";
    EXPECT_TRUE(h.ApplySettingsIn(other, 7, FALSE, 12, 13));
    const CString otherFile = other + "\\history.def";
    EXPECT_EQ(ReadBytes(otherFile.GetString()), HistoryFileBytes(7, FALSE, 12, 13, {}));
    ::DeleteFileA(otherFile);
    ::RemoveDirectoryA(other);
}

TEST_F(HistoryListTest, DeleteAllKeepsTheSettingsAndTruncates)
{
    const std::vector<std::string> images = Images(3);
    WriteBytes(File(), HistoryFileBytes(7, FALSE, 50, 60, images));
    HistoryList h;
    EXPECT_TRUE(h.LoadFrom(File().c_str()));
    EXPECT_TRUE(h.DeleteAllIn(Folder()));
    EXPECT_TRUE(h.m_paths.empty());
    EXPECT_EQ(ReadBytes(File()), HistoryFileBytes(7, FALSE, 50, 60, {}));
}

TEST_F(HistoryListTest, MissingFileLoadsNothingAndKeepsTheSettings)
{
    HistoryList h;
    h.m_paths.push_back("C:\\stale.jpg");
    h.m_nMaxCount = 4;
    h.m_nThumbHeight = 99;
    EXPECT_FALSE(h.LoadFrom(File().c_str()));
    EXPECT_TRUE(h.m_paths.empty());
    EXPECT_EQ(SettingsOf(h), (Settings{4, TRUE, 30, 99}));
}

TEST(HistoryListFileTest, FileIsInTheSettingsFolder)
{
    EXPECT_EQ(HistoryList::GetFilePath(), GetSettingsFolder() + "\\history.def");
}

} // namespace
