// The program's two per-user files (window settings and history) as the tests
// write and read them. The per-user folder is beside the executable, named
// after the user, as the program makes it.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "settings/ZoomMode.h"
#include "support/TestFiles.h"

// Offsets of the fields in the version-5 wndset.def, in integers.
enum SettingsField {
    kVersion,
    kFrameless,
    kZoomValue,
    kZoomMode,
    kStatusBar,
    kAlpha,
    kTopMost,
    kBandPos,
    kBandStyle,
    kBandWidth
};

std::string SettingsFolderPath();
// The path of a file of the per-user folder (wndset.def, history.def).
std::string SettingsFilePath(const std::string& name);
// Writes a file of the per-user folder, making the folder when it is missing.
bool WriteSettingsFile(const std::string& name, const Bytes& bytes);
void RemoveSettingsFiles();

// The 4-byte integers of wndset.def, or nothing when there is no file.
std::vector<int> ReadSettingsInts();
// Writes wndset.def from its 4-byte integers (see SettingsField).
void WriteSettingsInts(std::initializer_list<long long> values);

class HistoryList;

// The paths of a history list, and those of the history file as the program reads it.
std::vector<std::string> PathsOf(const HistoryList& history);
std::vector<std::string> StoredHistoryPaths();

// A string as the program's archives store a short one: a one-byte length, then the bytes.
Bytes ArchiveString(const std::string& text);
// A version-1 history file: its settings, then the paths.
Bytes HistoryFileBytes(int maxCount, int showThumbnails, int width, int height, const std::vector<std::string>& paths);
