// What kind of picture a file holds, told by its first bytes (its magic),
// never by its name. Every reader in image/ dispatches on this one answer.
//
// Besides the formats the program decodes, it knows the magic of some it
// does not decode (yet), so "no decoder for this" can be told from "a broken
// file".
//
// Pure byte reading, bounds-checked everywhere: no Windows calls.
#pragma once

#include <cstddef>

enum class ImageFormat {
    Unknown,
    Bmp,          // "BM"
    Jpeg,         // FF D8
    Png,          // 89 "PNG" 0D 0A 1A 0A
    Gif,          // "GIF87a", "GIF89a"
    Tiff,         // "II" 42 or "MM" 42
    BigTiff,      // "II" 43 or "MM" 43
    Icon,         // 00 00 01 00 and at least one entry
    Cursor,       // 00 00 02 00 and at least one entry
    Emf,          // EMR_HEADER with " EMF" at 40
    PlaceableWmf, // D7 CD C6 9A
    Wmf,          // a memory or disk metafile header of 9 words
    // Known, not decoded here:
    Dds,    // "DDS "
    JpegXr, // "II" BC 01 (or 00)
    WebP,   // "RIFF" .... "WEBP"
    Heic,   // ISO base media "ftyp" with a HEIF brand
    Avif,   // ISO base media "ftyp" with an AVIF brand
    Tga,    // no magic: a header that holds together, or the version 2 footer
};

// The format of the data; Unknown for anything else (null data included).
// A few bytes are enough for most formats: data cut short after the magic
// is still told by it, so the readers can say "truncated".
ImageFormat DetectImageFormat(const unsigned char* data, std::size_t size);

// A short name ("BMP", "JPEG", ...), for messages and test output.
const char* ImageFormatName(ImageFormat format);
