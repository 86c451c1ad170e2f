// A decoded picture and everything that keeps it drawable: the file's bytes in
// a global block, the stream the decoder reads them from, the decoder's image,
// its size, its frames and their delays, and whether it is an opaque still.
// The view shows one; the history menu makes its thumbnails from one. Every
// part is owned here and let go in the right order (the image before the
// stream, the stream before the bytes).
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "CComPtr.h"
#include "CDibSection.h"
#include "CGlobalBlock.h"
#include "CVirtualBlock.h"
#include "image/ImageFormat.h"
#include "image/PictureTransform.h"

struct WicPixels;

enum class PictureResult {
    Ok,
    CannotOpen,  // the file cannot be opened or read
    Unsupported, // empty, refused by the checks, or no decoder takes it
    NoMemory,    // the block or the stream over it could not be had
    Cancelled,   // the caller no longer wanted it (a decode on the worker)
};

// Asked between the bands of a long decode: true when the result is no
// longer wanted.
using CancelCheck = std::function<bool()>;

struct GdiplusImageDeleter {
    void operator()(Gdiplus::GpImage* pImage) const;
};
using GdiplusImagePtr = std::unique_ptr<Gdiplus::GpImage, GdiplusImageDeleter>;

// Whether an opaque still of the format is decoded by the system's codecs
// straight into a bitmap of the picture's own (JPEG, PNG, BMP, TIFF: the
// codecs GDI+ shares), a band at a time.
bool IsOpaqueStillCodecFormat(ImageFormat format);

// How the picture in data is to be turned and mirrored to stand as the camera
// meant it: the EXIF orientation of a JPEG or TIFF, else the identity.
TransformState ReadPictureOrientation(const unsigned char* data, std::size_t size);

// How long a frame stays on the screen, in milliseconds, from the delays a
// picture lists in hundredths of a second: a frame beyond the list gets a
// default of 100 ms, and a delay too long for a timer the longest one.
UINT FrameDelayMs(const std::vector<UINT>& delays, int nFrame);

class CPicture {
public:
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;
    ~CPicture();

    // Reads the file (shared with other programs, checked before any decoder
    // sees it: image/ImageFile.h) and decodes it. *ppPicture is set on Ok
    // only.
    // Safe on any thread (the worker decodes ahead with it).
    static PictureResult Load(const char* path, std::unique_ptr<CPicture>* ppPicture,
                              const CancelCheck& cancelled = nullptr);
    // Decodes the bytes of a block the caller has checked; the picture takes
    // the block over.
    static PictureResult Decode(CGlobalBlock data, std::unique_ptr<CPicture>* ppPicture,
                                const CancelCheck& cancelled = nullptr);

    // The image GDI+ draws: the decoder's, or the 32-bit copy of an opaque
    // still once ConvertForDrawing made it.
    Gdiplus::GpImage* GetImage() const { return m_image.get(); }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    bool IsMetafile() const { return m_bMetafile; }
    // How the stored picture is to be turned and mirrored to stand as the
    // camera meant it (its EXIF orientation); the identity for most pictures.
    TransformState GetOrientation() const { return m_orientation; }
    // The size of the picture standing upright: the stored size, swapped for
    // an orientation that turns it by a quarter.
    SIZE GetUprightSize() const { return ShownSize(m_orientation, SIZE{m_nWidth, m_nHeight}); }
    // A still bitmap without transparency: it covers every pixel it is drawn
    // on at its own size.
    bool IsOpaqueStill() const { return m_bOpaqueStill; }

    // The number of frames in the picture's first frame dimension (the pages
    // of a multi-page picture count too); 0 when it has none.
    int GetFrameCount() const { return m_nFrameCount; }
    // Frames in time, more than one: an animation to play. The pages of a
    // multi-page picture are no animation; its first page stays.
    bool IsAnimated() const { return m_bTimeFrames && m_nFrameCount > 1; }
    UINT GetFrameDelayMs(int nFrame) const { return FrameDelayMs(m_delays, nFrame); }
    // Makes frame nFrame (in time) the one drawn.
    void SelectFrame(int nFrame);

    // A still, opaque picture of 24 bits a pixel or more is kept as a 32-bit
    // RGB bitmap of its own instead of the decoder's image: GDI+ then copies
    // it to the screen at 100 % without converting the whole picture at every
    // paint, and a scaled paint reads it as fast as the original. The
    // decoder's image, the stream and the file's bytes are let go, so this
    // costs no memory (it saves the decoder's own copy). Any other picture
    // stays as decoded.
    void ConvertForDrawing();

    // Draws an opaque still once, scaled to `upright` (its size as it stands
    // upright), into a 32-bit bitmap of its own, exactly as a paint draws it
    // at that size; a later paint of that size copies from it. For a picture
    // decoded ahead, so that its first paint is a copy. Nothing is made for
    // any other picture, or a size of no area.
    void MakeScaledCopy(SIZE upright);
    // The scaled copy for a draw into a rectangle of `stored` size (stored
    // orientation), or null when there is none of that size.
    HBITMAP ScaledCopyFor(SIZE stored) const;

    // Draws the current frame scaled into dest on hdc, only within clip
    // (dest may reach far beyond it). A metafile that would draw an ellipse
    // too large to work out is played without it (image/MetafileEllipses.h).
    void Draw(HDC hdc, const RECT& dest, const RECT& clip) const;
    // The same for an opaque still of its own pixels drawn at its own size:
    // the part within clip is copied straight from the pixels, as GDI+ would
    // draw them, without GDI+ going over the whole picture. False, having
    // drawn nothing, for any other picture or size.
    bool CopyOwnPixels(HDC hdc, const RECT& dest, const RECT& clip) const;
    // The metafile case of Draw alone: true when the picture is a metafile
    // with such an ellipse and was drawn into dest on hdc without it; false,
    // having drawn nothing, for every other picture.
    bool DrawWithHugeEllipsesLeftOut(HDC hdc, const RECT& dest) const;

    // What the picture still holds of its file: the stream and the block
    // (both null once an opaque still was converted).
    IStream* GetStream() const { return m_stream.Get(); }
    HGLOBAL GetData() const { return m_data.Get(); }
    // Whether the pixels GDI+ draws are the picture's own (decoded by the
    // system's codecs), not an image of GDI+'s decoder.
    bool HoldsOwnPixels() const { return static_cast<bool>(m_pixels); }

private:
    CPicture() = default;
    bool IsOfGdiplusFormat() const;
    void ReadOrientation();
    PictureResult DecodeOpaqueStill(const CancelCheck& cancelled);
    PictureResult DecodeWithGdiplus();
    PictureResult DecodeWithSystemCodecs();
    PictureResult AdoptPixels(WicPixels& decoded);
    void ReadFrames();

    // Declared in the order they are made; destroyed the other way round.
    CGlobalBlock m_data;
    SIZE_T m_cbData = 0;
    CComPtr<IStream> m_stream;
    CVirtualBlock m_pixels; // the pixels GDI+ draws, when they are the picture's own
    CDibSection m_scaled;   // a scaled copy (MakeScaledCopy), stored orientation
    GdiplusImagePtr m_image;

    int m_nWidth = 0;
    int m_nHeight = 0;
    bool m_bMetafile = false;
    TransformState m_orientation = {0, false};
    bool m_bOpaqueStill = false;
    int m_nFrameCount = 0;
    bool m_bTimeFrames = false;
    std::vector<UINT> m_delays; // hundredths of a second, one per frame
};
