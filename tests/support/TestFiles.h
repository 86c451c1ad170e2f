// Files the tests make: temporary folders, bytes and pictures drawn pixel by
// pixel, and files held open as another process holds them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// A fresh, empty folder under the temporary folder, removed with everything
// in it when the object goes. Each object has a folder of its own.
class TempFolder {
public:
    explicit TempFolder(const std::string& name);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // A path in the folder (a file or a subfolder; not made here).
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Holds a file open for reading with no sharing, as a process of the program
// does while it reads or writes it: every other open fails until Release.
class HeldFile {
public:
    explicit HeldFile(const std::string& path);
    ~HeldFile() { Release(); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    bool Held() const { return m_hFile != INVALID_HANDLE_VALUE; }
    // The file's bytes, read through the held handle: what the file holds
    // while nobody else can open it.
    Bytes Contents() const;
    void Release();

private:
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
};

// 0x00RRGGBB for pixel (x, y).
using PixelFunction = std::function<uint32_t(int x, int y)>;

// Writes a 24-bit bottom-up BMP.
bool WriteBmp(const std::string& path, int width, int height, const PixelFunction& pixel);
// The same at 24 or 32 bits a pixel (the fourth byte of a 32-bit pixel 0, as
// most programs leave it).
bool WriteBmpOfDepth(const std::string& path, int width, int height, const PixelFunction& pixel, int bitCount);
// Writes a PNG with an alpha channel (GDI+'s encoder); argb gives
// 0xAARRGGBB for pixel (x, y).
bool WritePng(const std::string& path, int width, int height, const PixelFunction& argb);
// Writes an 8-bit run-length-encoded BMP of one colour: a picture of any size
// in a small file (about width / 128 bytes a row).
// A JPEG of 0xRRGGBB pixels (GDI+'s encoder); with an orientation (1..8,
// or any other value to test) an EXIF block holding it follows the SOI.
bool WriteJpeg(const std::string& path, int width, int height, const PixelFunction& rgb, int orientation = 0);
// A TIFF of 0xRRGGBB pixels, 24 bits a pixel (GDI+'s encoder).
bool WriteTiff(const std::string& path, int width, int height, const PixelFunction& rgb);
// The bytes of a JPEG of 0xRRGGBB pixels, as GDI+'s encoder writes it.
Bytes EncodeJpeg(int width, int height, const PixelFunction& rgb);
bool WriteSolidRle8Bmp(const std::string& path, int width, int height, uint32_t colour);
// 4-byte little-endian integers, as the program's files store them, and back.
Bytes LittleEndianInts(std::initializer_list<long long> values);
std::vector<int> IntsOf(const Bytes& bytes);

bool WriteBytes(const std::string& path, const Bytes& bytes);
bool WriteText(const std::string& path, const std::string& text);
Bytes ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
bool ContainsText(const Bytes& bytes, const std::string& text);

// An asymmetric picture of solid 1-pixel-exact colours: every pixel differs
// from its mirror and turned images, so any wrong transform shows.
uint32_t AsymmetricPixel(int x, int y, int width, int height);

// The folder of this executable.
std::string ModuleFolder();

// A path of the source tree (given at build time) as Wine sees it.
std::string SourcePath(const std::string& relative);
// A path of the build folder (given at build time) as Wine sees it.
std::string BuildPath(const std::string& relative);
