// The shared history file across real processes: a held file is written by
// a later retry, and processes adding at the same moment lose no entry.
#include <algorithm>
#include <memory>

#include "ProcessHarness.h"
#include "support/TestFiles.h"

namespace {

uint32_t Pattern(int x, int y) { return AsymmetricPixel(x, y, 200, 150); }

std::string HistoryPath() { return SettingsFolderPath() + "\\history.def"; }

bool HistoryHolds(const std::string& path)
{
    std::vector<unsigned char> bytes = ReadBytes(HistoryPath());
    return std::search(bytes.begin(), bytes.end(), path.begin(), path.end()) != bytes.end();
}

} // namespace

TEST_F(ProcessTest, HistoryHeldByAnotherProcessIsWrittenByALaterRetry)
{
    TempFolder folder("histheld");
    std::string image = folder.File("held.bmp");
    ASSERT_TRUE(WriteBmp(image, 200, 150, Pattern));
    ::CreateDirectoryA(SettingsFolderPath().c_str(), nullptr);
    // An empty history: version 1, maximum 10, thumbnails on, 30 x 30, no entries.
    ASSERT_TRUE(WriteBytes(HistoryPath(), {1, 0, 0, 0, 10, 0, 0, 0, 1, 0, 0, 0, 30, 0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0}));
    HANDLE hHeld = ::CreateFileA(HistoryPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);

    KepProcess kep("\"" + image + "\"");
    ASSERT_TRUE(WaitUntil([&] { return FindKepFrames(true).size() == 1 && TitleOf(FindKepFrames(true)[0]) == "KEP - " + image; }, 20000))
        << "the image is shown at once while the history is held";
    ::Sleep(2000);
    ::CloseHandle(hHeld);
    EXPECT_FALSE(HistoryHolds(image)) << "nothing could be written while held";
    DWORD released = ::GetTickCount();
    EXPECT_TRUE(WaitUntil([&] { return HistoryHolds(image); }, 3000));
    EXPECT_LT(::GetTickCount() - released, 1500u) << "a retry comes every 500 ms";
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
    bool all = WaitUntil(
        [&] {
            for (const std::string& image : images)
                if (!HistoryHolds(image))
                    return false;
            return true;
        },
        20000);
    for (const std::string& image : images)
        EXPECT_TRUE(HistoryHolds(image)) << image;
    EXPECT_TRUE(all);
}
