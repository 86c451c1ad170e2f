// The files of the clipboard: the names pasted pictures get, and file lists
// as a drop carries them.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CClipboard.h"
#include "CGlobalLock.h"
#include "settings/ClipboardFolder.h"

TEST(ClipboardFiles, NamesFollowTheDateAndTimeAndCountOn)
{
    SYSTEMTIME t = {};
    t.wYear = 2026;
    t.wMonth = 3;
    t.wDay = 7;
    t.wHour = 9;
    t.wMinute = 5;
    t.wSecond = 4;
    EXPECT_EQ(ClipboardFileName(t, 1), "clip-20260307-090504.png");
    EXPECT_EQ(ClipboardFileName(t, 2), "clip-20260307-090504-2.png");
    EXPECT_EQ(ClipboardFileName(t, 13), "clip-20260307-090504-13.png");
}

TEST(ClipboardFiles, FileListsReadBackAndBrokenOnesAreRefused)
{
    const std::vector<std::wstring> paths = {L"C:\\写真\\a.png", L"Z:\\tmp\\b c.jpg"};
    CGlobalBlock block;
    ASSERT_TRUE(MakeFileListBlock(paths, &block));
    {
        CGlobalLock bytes(block.Get());
        std::vector<std::wstring> read;
        ASSERT_TRUE(ReadFileList(bytes.Get(), bytes.GetSize(), &read));
        EXPECT_EQ(read, paths);
        // What the shell reads from it.
        wchar_t first[MAX_PATH] = {};
        EXPECT_EQ(::DragQueryFileW(static_cast<HDROP>(block.Get()), 0xFFFFFFFF, nullptr, 0), 2u);
        ::DragQueryFileW(static_cast<HDROP>(block.Get()), 0, first, MAX_PATH);
        EXPECT_EQ(std::wstring(first), paths[0]);
    }

    // An ANSI list.
    std::vector<unsigned char> ansi(sizeof(DROPFILES));
    reinterpret_cast<DROPFILES*>(ansi.data())->pFiles = sizeof(DROPFILES);
    for (const char* s : {"C:\\x.bmp", ""})
        ansi.insert(ansi.end(), s, s + std::strlen(s) + 1);
    std::vector<std::wstring> read;
    ASSERT_TRUE(ReadFileList(ansi.data(), ansi.size(), &read));
    EXPECT_EQ(read, std::vector<std::wstring>{L"C:\\x.bmp"});

    // The list begins beyond the data; a path runs off its end.
    std::vector<unsigned char> beyond = ansi;
    reinterpret_cast<DROPFILES*>(beyond.data())->pFiles = 4096;
    EXPECT_FALSE(ReadFileList(beyond.data(), beyond.size(), &read));
    std::vector<unsigned char> unended(ansi.begin(), ansi.begin() + sizeof(DROPFILES) + 4);
    EXPECT_FALSE(ReadFileList(unended.data(), unended.size(), &read));
    EXPECT_FALSE(ReadFileList(ansi.data(), 8, &read));
}
