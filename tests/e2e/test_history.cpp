// The shared history file across real processes: a held file is written by
// a later retry, and processes adding at the same moment lose no entry.
#include <memory>

#include "ProcessHarness.h"

namespace {

uint32_t Pattern(int x, int y)
{
    return AsymmetricPixel(x, y, 200, 150);
}

std::string HistoryPath()
{
    return SettingsFilePath("history.def");
}

bool HistoryHolds(const std::string& path)
{
    return ContainsText(ReadBytes(HistoryPath()), path);
}

} // namespace

TEST_F(ProcessTest, HistoryHeldByAnotherProcessIsWrittenByALaterRetry)
{
    TempFolder folder("histheld");
    std::string image = folder.File("held.bmp");
    ASSERT_TRUE(WriteBmp(image, 200, 150, Pattern));
    ASSERT_TRUE(WriteSettingsFile("history.def", HistoryFileBytes(10, TRUE, 30, 30, {})));
    HeldFile held(HistoryPath());
    ASSERT_TRUE(held.Held());

    KepProcess kep("\"" + image + "\"");
    ASSERT_TRUE(WaitForFrameTitled("KEP - " + image, 20000)) << "the image is shown at once while the history is held";
    EXPECT_EQ(FindKepFrames(true).size(), 1u);
    // Held for two seconds: the add and several retries fail meanwhile.
    ::Sleep(2000);
    // Read through the held handle: what the file held up to the release.
    EXPECT_FALSE(ContainsText(held.Contents(), image)) << "nothing could be written while held";
    DWORD released = ::GetTickCount();
    held.Release();
    EXPECT_TRUE(PollUntil([&] { return HistoryHolds(image); }, 5000, nullptr, 100));
    EXPECT_LT(::GetTickCount() - released, 2000u) << "a retry comes every 500 ms";
}

TEST_F(ProcessTest, ProcessesAddingAtTheSameMomentLoseNoEntry)
{
    TempFolder folder("histmany");
    std::vector<std::string> images;
    for (int i = 0; i < 8; ++i) {
        images.push_back(folder.File("many" + std::to_string(i) + ".bmp"));
        ASSERT_TRUE(WriteBmp(images.back(), 200, 150, Pattern));
    }
    std::vector<std::unique_ptr<KepProcess>> processes;
    for (const std::string& image : images)
        processes.push_back(std::make_unique<KepProcess>("\"" + image + "\""));
    ASSERT_TRUE(WaitUntil([] { return FindKepFrames(true).size() == 8; }, 60000));
    // Every read of the file here makes an add that comes at that moment fail
    // and wait for its next retry: the file is read once a poll, four times a
    // second.
    std::string missing;
    auto allAdded = [&] {
        const Bytes history = ReadBytes(HistoryPath());
        missing.clear();
        for (const std::string& image : images)
            if (!ContainsText(history, image))
                missing += " " + image;
        return missing.empty();
    };
    EXPECT_TRUE(PollUntil(allAdded, 30000, nullptr, 250)) << "missing:" << missing;
}
