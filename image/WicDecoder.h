// Decoding with the system's imaging codecs (WIC): whatever codecs the
// system has installed (on Windows WebP, HEIC, AVIF, JPEG XR, DDS, camera raw
// formats where installed; under Wine DDS, TGA and JPEG XR beside the
// common formats), into a 32-bit bitmap of the program's own.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "CVirtualBlock.h"

// The first frame of a picture as WIC decodes it: width x height pixels,
// top-down, four bytes a pixel (blue, green, red, alpha premultiplied), rows
// width pixels apart. bOpaque when every alpha byte is 255.
struct WicPixels {
    int width = 0;
    int height = 0;
    bool bOpaque = true;
    CVirtualBlock pixels;
};

enum class WicResult {
    Ok,
    Unsupported,   // no codec takes it, it is damaged, or over the pixel bound
    NoMemory,      // the pixels could not be had
    NotApplicable, // not a picture of the kind asked for; nothing was decoded
    Cancelled,     // the caller no longer wanted it (asked between bands)
};

// Decodes the first frame of the picture held in memory. The size is read
// and checked against the pixel bound before any pixel is decoded; the
// pixels are decoded a band of rows at a time, so the codec never converts
// more than a band at once, and cancelled (when given) is asked before each
// band. Runs COM for its own time on the calling thread.
WicResult DecodeWithWic(const unsigned char* data, std::size_t size, WicPixels* out,
                        const std::function<bool()>& cancelled = nullptr);

// The same for an opaque still only: a single frame of 24 or 32 bits
// without alpha (blue, green, red), decoded into 32-bit pixels whose colour
// bytes are those GDI+ gives (the fourth byte is 255). Any other picture is
// NotApplicable, found before a pixel is decoded. Decoding such a picture
// straight into the program's own bitmap, a band at a time, holds the least
// memory: no decoder keeps a copy of its own afterwards.
WicResult DecodeOpaqueStillWithWic(const unsigned char* data, std::size_t size, WicPixels* out,
                                   const std::function<bool()>& cancelled = nullptr);

// A band of an opaque still's rows as its codec gives them: count rows from
// row y down, stride bytes apart, bytesPerPixel 3 or 4 (blue, green, red,
// and for 4 a byte to ignore).
struct WicBand {
    const BYTE* pRows;
    UINT stride;
    UINT bytesPerPixel;
    UINT y;
    UINT count;
};

// Reads an opaque still (the kind DecodeOpaqueStillWithWic takes) a band of
// rows at a time, top to bottom, without a bitmap of the whole picture:
// begin is told its size and bytes a pixel first (false: no memory for what the caller makes
// of it, NoMemory), then take is handed each band, which lives until take
// returns. NotApplicable for any other picture, before anything is decoded;
// cancelled (when given) is asked before each band.
WicResult ReadOpaqueStillBands(const unsigned char* data, std::size_t size,
                               const std::function<bool(UINT width, UINT height, UINT bytesPerPixel)>& begin,
                               const std::function<void(const WicBand& band)>& take,
                               const std::function<bool()>& cancelled = nullptr);

// The file extensions of every WIC decoder installed, one list per decoder
// as the decoder gives it (".bmp,.dib,.rle"), in the order the system lists
// the decoders.
std::vector<std::wstring> WicDecoderExtensionLists();
