// Files the tests make: temporary folders and pictures drawn pixel by pixel.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// A fresh, empty folder under the temporary folder, removed with the object.
class TempFolder {
public:
    explicit TempFolder(const std::string& name);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// 0x00RRGGBB for pixel (x, y).
using PixelFunction = std::function<uint32_t(int x, int y)>;

// Writes a 24-bit bottom-up BMP.
bool WriteBmp(const std::string& path, int width, int height, const PixelFunction& pixel);
// Writes an 8-bit run-length-encoded BMP of one colour: a picture of any size
// in a small file (about width / 128 bytes a row).
bool WriteSolidRle8Bmp(const std::string& path, int width, int height, uint32_t colour);
// 4-byte little-endian integers, as the program's files store them.
std::vector<unsigned char> LittleEndianInts(std::initializer_list<long long> values);

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
bool WriteText(const std::string& path, const std::string& text);
std::vector<unsigned char> ReadBytes(const std::string& path);
bool FileExists(const std::string& path);

// An asymmetric picture of solid 1-pixel-exact colours: every pixel differs
// from its mirror and turned images, so any wrong transform shows.
uint32_t AsymmetricPixel(int x, int y, int width, int height);

// The folder of this executable and the program's per-user settings folder.
std::string ModuleFolder();
std::string SettingsFolderPath();
void RemoveSettingsFiles();

// A path of the source tree (given at build time) as Wine sees it.
std::string SourcePath(const std::string& relative);
