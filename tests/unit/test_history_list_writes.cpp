// Writing the history file: adding paths, trimming, settings and truncation.
#include "HistoryListFixture.h"

namespace {

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
