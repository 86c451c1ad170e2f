#include "image/PngEncoder.h"

#include <objidl.h>
#include <gdiplus.h>

#include <memory>

#include "CComPtr.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// GDI+'s built-in PNG encoder.
const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

struct BitmapDeleter {
    void operator()(GpBitmap* p) const { GdipDisposeImage(p); }
};

} // namespace

BOOL EncodePng(const std::uint32_t* pixels, int width, int height, BOOL bAlpha, CGlobalBlock* pPng, SIZE_T* pcb)
{
    if (width <= 0 || height <= 0 || width > INT_MAX / 4)
        return FALSE;
    // GDI+ reads the pixels in place; they are not written.
    GpBitmap* pBitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, width * 4, bAlpha ? PixelFormat32bppARGB : PixelFormat32bppRGB,
                                  reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(pixels)), &pBitmap) != Ok ||
        !pBitmap)
        return FALSE;
    std::unique_ptr<GpBitmap, BitmapDeleter> bitmap(pBitmap);

    // The stream grows its own block, which is taken over afterwards.
    CComPtr<IStream> stream;
    if (::CreateStreamOnHGlobal(nullptr, FALSE, stream.Receive()) != S_OK || !stream)
        return FALSE;
    HGLOBAL hBlock = nullptr;
    const bool bSaved = GdipSaveImageToStream(bitmap.get(), stream.Get(), &kPngEncoder, nullptr) == Ok;
    STATSTG stat = {};
    const bool bStat = bSaved && stream->Stat(&stat, STATFLAG_NONAME) == S_OK;
    if (::GetHGlobalFromStream(stream.Get(), &hBlock) != S_OK)
        return FALSE;
    stream.Release();
    CGlobalBlock block(hBlock);
    if (!bStat || stat.cbSize.QuadPart == 0 || stat.cbSize.QuadPart > block.GetSize())
        return FALSE;
    *pcb = static_cast<SIZE_T>(stat.cbSize.QuadPart);
    *pPng = std::move(block);
    return TRUE;
}
