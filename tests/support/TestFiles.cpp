#include "support/TestFiles.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>

namespace {

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE hFind = ::FindFirstFileA((path + "\\*").c_str(), &found);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                ::DeleteFileA(child.c_str());
        } while (::FindNextFileA(hFind, &found));
        ::FindClose(hFind);
    }
    ::RemoveDirectoryA(path.c_str());
}

} // namespace

TempFolder::TempFolder(const std::string& name)
{
    // The tests of a suite share one process: a counter keeps their folders apart.
    static int s_nCount = 0;
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    m_path = std::string(temp) + "kep_" + name + "_" + std::to_string(::GetCurrentProcessId()) + "_" +
             std::to_string(++s_nCount);
    RemoveTree(m_path);
    ::CreateDirectoryA(m_path.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    RemoveTree(m_path);
}

HeldFile::HeldFile(const std::string& path)
    : m_hFile(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr))
{
}

Bytes HeldFile::Contents() const
{
    Bytes bytes;
    if (!Held() || ::SetFilePointer(m_hFile, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return bytes;
    unsigned char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(m_hFile, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.insert(bytes.end(), buffer, buffer + read);
    return bytes;
}

void HeldFile::Release()
{
    if (Held())
        ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
}

Bytes LittleEndianInts(std::initializer_list<long long> values)
{
    Bytes bytes;
    for (long long v : values) {
        const unsigned int u = static_cast<unsigned int>(v);
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<unsigned char>(u >> (8 * i)));
    }
    return bytes;
}

std::vector<int> IntsOf(const Bytes& bytes)
{
    std::vector<int> values;
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4)
        values.push_back(static_cast<int>(bytes[i] | (bytes[i + 1] << 8) | (bytes[i + 2] << 16) |
                                          (static_cast<unsigned>(bytes[i + 3]) << 24)));
    return values;
}

bool WriteBytes(const std::string& path, const Bytes& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

bool WriteText(const std::string& path, const std::string& text)
{
    return WriteBytes(path, Bytes(text.begin(), text.end()));
}

Bytes ReadBytes(const std::string& path)
{
    Bytes bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    unsigned char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return bytes;
}

bool FileExists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ContainsText(const Bytes& bytes, const std::string& text)
{
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

namespace {

void Put32(Bytes& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
}

// The file and information headers of a BMP and room for its palette; the
// sizes are filled in by WriteBmpBytes once the pixels follow.
Bytes BmpHeaders(int width, int height, int bitCount, uint32_t compression, uint32_t colours)
{
    Bytes bytes(54 + 4 * colours, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 10, static_cast<uint32_t>(bytes.size()));
    Put32(bytes, 14, 40);
    Put32(bytes, 18, static_cast<uint32_t>(width));
    Put32(bytes, 22, static_cast<uint32_t>(height));
    bytes[26] = 1;
    bytes[28] = static_cast<unsigned char>(bitCount);
    Put32(bytes, 30, compression);
    Put32(bytes, 46, colours);
    return bytes;
}

bool WriteBmpBytes(const std::string& path, Bytes& bytes)
{
    const uint32_t pixelsAt = bytes[10] | (bytes[11] << 8);
    Put32(bytes, 2, static_cast<uint32_t>(bytes.size()));
    Put32(bytes, 34, static_cast<uint32_t>(bytes.size()) - pixelsAt);
    return WriteBytes(path, bytes);
}

} // namespace

bool WriteBmp(const std::string& path, int width, int height, const PixelFunction& pixel)
{
    return WriteBmpOfDepth(path, width, height, pixel, 24);
}

bool WriteBmpOfDepth(const std::string& path, int width, int height, const PixelFunction& pixel, int bitCount)
{
    const int bytesPerPixel = bitCount / 8;
    const int stride = (width * bytesPerPixel + 3) & ~3;
    Bytes bytes = BmpHeaders(width, height, bitCount, BI_RGB, 0);
    bytes.resize(bytes.size() + static_cast<size_t>(stride) * static_cast<size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        size_t row = 54 + static_cast<size_t>((height - 1 - y) * stride);
        for (int x = 0; x < width; ++x) {
            uint32_t c = pixel(x, y);
            const size_t at = row + static_cast<size_t>(bytesPerPixel * x);
            bytes[at + 0] = static_cast<unsigned char>(c);
            bytes[at + 1] = static_cast<unsigned char>(c >> 8);
            bytes[at + 2] = static_cast<unsigned char>(c >> 16);
        }
    }
    return WriteBmpBytes(path, bytes);
}

namespace {

// Saves the picture with the GDI+ encoder of the MIME type.
bool WriteWithEncoder(const std::string& path, const wchar_t* mimeType, int width, int height,
                      const PixelFunction& argb, bool bAlpha = true)
{
    using namespace Gdiplus::DllExports;
    UINT nCount = 0, nBytes = 0;
    if (GdipGetImageEncodersSize(&nCount, &nBytes) != Gdiplus::Ok || nBytes == 0)
        return false;
    std::vector<BYTE> codecs(nBytes);
    auto* pCodecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(codecs.data());
    if (GdipGetImageEncoders(nCount, nBytes, pCodecs) != Gdiplus::Ok)
        return false;
    const auto* pCodec = std::find_if(pCodecs, pCodecs + nCount, [mimeType](const Gdiplus::ImageCodecInfo& c) {
        return wcscmp(c.MimeType, mimeType) == 0;
    });
    if (pCodec == pCodecs + nCount)
        return false;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = argb(x, y);
    Gdiplus::GpBitmap* pBitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppARGB,
                                  reinterpret_cast<BYTE*>(pixels.data()), &pBitmap) != Gdiplus::Ok)
        return false;
    // Without alpha the encoders write 24 bits a pixel.
    Gdiplus::GpBitmap* pSaved = pBitmap;
    if (!bAlpha && GdipCloneBitmapAreaI(0, 0, width, height, PixelFormat24bppRGB, pBitmap, &pSaved) != Gdiplus::Ok)
        pSaved = nullptr;
    const std::wstring widePath(path.begin(), path.end()); // the tests' paths are ASCII
    const bool bSaved = pSaved && GdipSaveImageToFile(pSaved, widePath.c_str(), &pCodec->Clsid, nullptr) == Gdiplus::Ok;
    if (pSaved && pSaved != pBitmap)
        GdipDisposeImage(pSaved);
    GdipDisposeImage(pBitmap);
    return bSaved;
}

} // namespace

bool WritePng(const std::string& path, int width, int height, const PixelFunction& argb)
{
    return WriteWithEncoder(path, L"image/png", width, height, argb);
}

bool WriteTiff(const std::string& path, int width, int height, const PixelFunction& rgb)
{
    return WriteWithEncoder(
        path, L"image/tiff", width, height, [&](int x, int y) { return 0xFF000000u | rgb(x, y); }, false);
}

bool WriteJpeg(const std::string& path, int width, int height, const PixelFunction& rgb, int orientation)
{
    if (!WriteWithEncoder(path, L"image/jpeg", width, height, [&](int x, int y) { return 0xFF000000u | rgb(x, y); }))
        return false;
    if (orientation == 0)
        return true;
    Bytes jpeg = ReadBytes(path);
    if (jpeg.size() < 2)
        return false;
    // APP1 "Exif": a big-endian TIFF structure whose first directory holds
    // the orientation (a SHORT, in the first half of its value field).
    const Bytes app1 = {0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0,
                        'M',  'M',  0,    42,   0,   0,   0,   8,   0, 1,
                        0x01, 0x12, 0,    3,    0,   0,   0,   1,   0, static_cast<unsigned char>(orientation),
                        0,    0,    0,    0,    0,   0};
    jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
    return WriteBytes(path, jpeg);
}

Bytes EncodeJpeg(int width, int height, const PixelFunction& rgb)
{
    char folder[MAX_PATH] = {};
    char path[MAX_PATH] = {};
    if (!::GetTempPathA(MAX_PATH, folder) || !::GetTempFileNameA(folder, "jpg", 0, path))
        return {};
    Bytes bytes;
    if (WriteJpeg(path, width, height, rgb))
        bytes = ReadBytes(path);
    ::DeleteFileA(path);
    return bytes;
}

bool WriteSolidRle8Bmp(const std::string& path, int width, int height, uint32_t colour)
{
    Bytes bytes = BmpHeaders(width, height, 8, BI_RLE8, 1); // one palette colour
    Put32(bytes, 54, colour & 0x00FFFFFF);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; x += 255) {
            bytes.push_back(static_cast<unsigned char>(width - x < 255 ? width - x : 255));
            bytes.push_back(0);
        }
        bytes.push_back(0); // end of line
        bytes.push_back(0);
    }
    bytes.push_back(0); // end of bitmap
    bytes.push_back(1);
    return WriteBmpBytes(path, bytes);
}

uint32_t AsymmetricPixel(int x, int y, int width, int height)
{
    // Red grows to the right, green downwards, blue marks the top-left quarter;
    // no channel reaches 255 together with the others, so no pixel is white.
    uint32_t r = static_cast<uint32_t>(40 + 200 * x / (width > 1 ? width - 1 : 1));
    uint32_t g = static_cast<uint32_t>(40 + 200 * y / (height > 1 ? height - 1 : 1));
    uint32_t b = (x < width / 2 && y < height / 2) ? 200u : 20u;
    return (r << 16) | (g << 8) | b;
}

std::string ModuleFolder()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

namespace {

std::string WinePath(const std::string& linuxPath)
{
    std::string path = "Z:" + linuxPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

} // namespace

std::string BuildPath(const std::string& relative)
{
    return WinePath(std::string(KEP_BINARY_DIR) + "/" + relative);
}

std::string SourcePath(const std::string& relative)
{
    std::string path = std::string("Z:") + KEP_SOURCE_DIR + "/" + relative;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}
