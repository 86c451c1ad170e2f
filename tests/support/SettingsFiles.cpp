#include "support/SettingsFiles.h"

#include <algorithm>

#include "history/HistoryList.h"

std::string SettingsFolderPath()
{
    char user[256] = {};
    DWORD size = 255;
    std::string name = ::GetUserNameA(user, &size) ? user : "defaultuser";
    return ModuleFolder() + "\\" + name;
}

std::string SettingsFilePath(const std::string& name)
{
    return SettingsFolderPath() + "\\" + name;
}

bool WriteSettingsFile(const std::string& name, const Bytes& bytes)
{
    ::CreateDirectoryA(SettingsFolderPath().c_str(), nullptr);
    return WriteBytes(SettingsFilePath(name), bytes);
}

void RemoveSettingsFiles()
{
    ::DeleteFileA(SettingsFilePath("wndset.def").c_str());
    ::DeleteFileA(SettingsFilePath("history.def").c_str());
}

std::vector<int> ReadSettingsInts()
{
    return IntsOf(ReadBytes(SettingsFilePath("wndset.def")));
}

void WriteSettingsInts(std::initializer_list<long long> values)
{
    WriteSettingsFile("wndset.def", LittleEndianInts(values));
}

Bytes ArchiveString(const std::string& text)
{
    Bytes bytes(1 + text.size());
    bytes[0] = static_cast<unsigned char>(text.size());
    std::copy(text.begin(), text.end(), bytes.begin() + 1);
    return bytes;
}

Bytes HistoryFileBytes(int maxCount, int showThumbnails, int width, int height, const std::vector<std::string>& paths)
{
    Bytes bytes = LittleEndianInts({1, maxCount, showThumbnails, width, height, static_cast<long long>(paths.size())});
    for (const std::string& path : paths) {
        const Bytes s = ArchiveString(path);
        bytes.insert(bytes.end(), s.begin(), s.end());
    }
    return bytes;
}

std::vector<std::string> PathsOf(const HistoryList& history)
{
    std::vector<std::string> paths;
    for (const CString& path : history.m_paths)
        paths.push_back(path.GetString());
    return paths;
}

std::vector<std::string> StoredHistoryPaths()
{
    HistoryList history;
    history.Load();
    return PathsOf(history);
}
