// Reading the window-settings file the frame writes.
#pragma once

#include <vector>

#include "support/TestFiles.h"

// The 4-byte integers of wndset.def, or nothing when there is no file.
inline std::vector<int> ReadSettingsInts()
{
    std::vector<unsigned char> bytes = ReadBytes(SettingsFolderPath() + "\\wndset.def");
    std::vector<int> values;
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4)
        values.push_back(static_cast<int>(bytes[i] | (bytes[i + 1] << 8) | (bytes[i + 2] << 16) |
                                          (static_cast<unsigned>(bytes[i + 3]) << 24)));
    return values;
}

// Offsets of the fields in the version-5 file, in integers.
enum SettingsField { kVersion, kFrameless, kZoomValue, kZoomMode, kStatusBar, kAlpha, kTopMost, kBandPos, kBandStyle, kBandWidth };

inline void WriteSettingsInts(std::initializer_list<long long> values)
{
    ::CreateDirectoryA(SettingsFolderPath().c_str(), nullptr);
    WriteBytes(SettingsFolderPath() + "\\wndset.def", LittleEndianInts(values));
}
