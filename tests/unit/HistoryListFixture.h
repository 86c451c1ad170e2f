// The history file's test fixture: a settings folder and picture files of
// its own, every message box answered and counted.
#pragma once

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

const char kDamagedCaption[] = "エラー";
const char kDamagedText[] = "ヒストリー設定のバックアップからの回復に失敗しました\r\nヒストリー設定を初期値に戻します";

inline Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes bytes;
    for (const Bytes& part : parts)
        bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
}

inline void SetPaths(HistoryList& h, const std::vector<std::string>& paths)
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

inline Settings SettingsOf(const HistoryList& h)
{
    return {h.m_nMaxCount, h.m_bShowThumbnails, h.m_nThumbWidth, h.m_nThumbHeight};
}

inline void PrintTo(const Settings& s, std::ostream* os)
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
