// Reading the history file: defaults, versions, damaged and held files.
#include "HistoryListFixture.h"

namespace {

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

} // namespace
