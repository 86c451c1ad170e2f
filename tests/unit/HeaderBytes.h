// Made headers of every format the dimension reader knows, for its tests.
#pragma once

#include "image/ImageHeader.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <vector>

using Bytes = std::vector<unsigned char>;

constexpr auto Ok = ImageHeaderResult::Ok;
constexpr auto Unknown = ImageHeaderResult::Unknown;
constexpr auto Truncated = ImageHeaderResult::Truncated;

inline void Put(Bytes& b, std::initializer_list<int> v)
{
    for (int x : v)
        b.push_back(static_cast<unsigned char>(x));
}
inline void PutStr(Bytes& b, const char* s)
{
    b.insert(b.end(), s, s + std::strlen(s));
}
inline void Be16(Bytes& b, std::uint32_t v)
{
    Put(b, {int(v >> 8 & 0xFF), int(v & 0xFF)});
}
inline void Be32(Bytes& b, std::uint32_t v)
{
    Be16(b, v >> 16);
    Be16(b, v & 0xFFFF);
}
inline void Le16(Bytes& b, std::uint32_t v)
{
    Put(b, {int(v & 0xFF), int(v >> 8 & 0xFF)});
}
inline void Le32(Bytes& b, std::uint32_t v)
{
    Le16(b, v & 0xFFFF);
    Le16(b, v >> 16);
}

inline Bytes Png(std::uint32_t w, std::uint32_t h)
{
    Bytes b;
    Put(b, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A});
    Be32(b, 13);
    PutStr(b, "IHDR");
    Be32(b, w);
    Be32(b, h);
    Put(b, {8, 6, 0, 0, 0});
    Be32(b, 0); // CRC: not checked here
    return b;
}

// SOI, APP0 (JFIF), then the frame header with the given marker.
inline Bytes Jpeg(std::uint32_t w, std::uint32_t h, int sof = 0xC0, const Bytes& beforeSof = {})
{
    Bytes b;
    Put(b, {0xFF, 0xD8, 0xFF, 0xE0});
    Be16(b, 16);
    PutStr(b, "JFIF");
    Put(b, {0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
    b.insert(b.end(), beforeSof.begin(), beforeSof.end());
    Put(b, {0xFF, sof});
    Be16(b, 17);
    Put(b, {8});
    Be16(b, h);
    Be16(b, w);
    Put(b, {3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1});
    Put(b, {0xFF, 0xD9});
    return b;
}

inline Bytes Bmp(std::int32_t w, std::int32_t h)
{
    Bytes b;
    PutStr(b, "BM");
    Le32(b, 14 + 40);
    Le32(b, 0);
    Le32(b, 14 + 40);
    Le32(b, 40);
    Le32(b, static_cast<std::uint32_t>(w));
    Le32(b, static_cast<std::uint32_t>(h));
    Le16(b, 1);
    Le16(b, 24);
    for (int i = 0; i < 6; ++i)
        Le32(b, 0);
    return b;
}

inline Bytes BmpCore(std::uint32_t w, std::uint32_t h)
{
    Bytes b;
    PutStr(b, "BM");
    Le32(b, 14 + 12);
    Le32(b, 0);
    Le32(b, 14 + 12);
    Le32(b, 12);
    Le16(b, w);
    Le16(b, h);
    Le16(b, 1);
    Le16(b, 24);
    return b;
}

struct GifFrame {
    std::uint32_t left, top, w, h;
};

// Global colour table of 2 entries, a comment extension, then each frame with
// a local colour table and one data sub-block.
inline Bytes Gif(std::uint32_t w, std::uint32_t h, const std::vector<GifFrame>& frames)
{
    Bytes b;
    PutStr(b, "GIF89a");
    Le16(b, w);
    Le16(b, h);
    Put(b, {0x80, 0, 0});
    Put(b, {0, 0, 0, 255, 255, 255});
    Put(b, {0x21, 0xFE, 3, 'h', 'i', '!', 0});
    for (const GifFrame& f : frames) {
        Put(b, {0x2C});
        Le16(b, f.left);
        Le16(b, f.top);
        Le16(b, f.w);
        Le16(b, f.h);
        Put(b, {0x81});
        Put(b, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
        Put(b, {2, 2, 0x4C, 0x01, 0});
    }
    Put(b, {0x3B});
    return b;
}

struct TiffPage {
    std::uint32_t w, h;
    int type;
}; // type 3 SHORT, 4 LONG

// Header, then one IFD per page (compression, width, length), chained.
inline Bytes Tiff(bool bigEndian, const std::vector<TiffPage>& pages)
{
    Bytes b;
    auto u16 = [&](std::uint32_t v) { bigEndian ? Be16(b, v) : Le16(b, v); };
    auto u32 = [&](std::uint32_t v) { bigEndian ? Be32(b, v) : Le32(b, v); };
    PutStr(b, bigEndian ? "MM" : "II");
    u16(42);
    u32(8);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const TiffPage& p = pages[i];
        u16(3);
        auto entry = [&](std::uint32_t tag, int type, std::uint32_t value) {
            u16(tag);
            u16(type);
            u32(1);
            if (type == 3) {
                u16(value);
                u16(0);
            } else {
                u32(value);
            }
        };
        entry(259, 3, 1);
        entry(256, p.type, p.w);
        entry(257, p.type, p.h);
        const std::size_t next = b.size() + 4;
        u32(i + 1 < pages.size() ? static_cast<std::uint32_t>(next) : 0);
    }
    return b;
}

enum class Embedded {
    None,
    Png,
    Dib
};
struct IconEntry {
    int dirW, dirH;
    Embedded kind;
    std::uint32_t w, h;
};

inline Bytes Ico(const std::vector<IconEntry>& entries, int type = 1)
{
    std::vector<Bytes> images;
    for (const IconEntry& e : entries) {
        Bytes img;
        if (e.kind == Embedded::Png) {
            img = Png(e.w, e.h);
        } else if (e.kind == Embedded::Dib) {
            Le32(img, 40);
            Le32(img, e.w);
            Le32(img, e.h * 2); // colour and mask bitmaps
            Le16(img, 1);
            Le16(img, 32);
            for (int i = 0; i < 6; ++i)
                Le32(img, 0);
        }
        images.push_back(img);
    }
    Bytes b;
    Le16(b, 0);
    Le16(b, type);
    Le16(b, static_cast<std::uint32_t>(entries.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Put(b, {entries[i].dirW, entries[i].dirH, 0, 0});
        Le16(b, 1);
        Le16(b, 32);
        Le32(b, static_cast<std::uint32_t>(images[i].size()));
        Le32(b, images[i].empty() ? 0xFFFFFFF0u : offset); // no image: points past the end
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const Bytes& img : images)
        b.insert(b.end(), img.begin(), img.end());
    return b;
}

inline Bytes Text(const char* s)
{
    Bytes b;
    PutStr(b, s);
    return b;
}

// Reads from a heap block of exactly size bytes, so the sanitizers see any read past it.
inline ImageHeaderResult Read(const Bytes& b, std::size_t size, ImageDimensions* out)
{
    std::unique_ptr<unsigned char[]> copy(new unsigned char[size ? size : 1]);
    if (size)
        std::memcpy(copy.get(), b.data(), size);
    return ReadImageDimensions(copy.get(), size, out);
}

inline const char* ResultName(ImageHeaderResult r)
{
    switch (r) {
    case ImageHeaderResult::Ok: return "Ok";
    case ImageHeaderResult::Unknown: return "Unknown";
    case ImageHeaderResult::Truncated: return "Truncated";
    }
    return "?";
}
