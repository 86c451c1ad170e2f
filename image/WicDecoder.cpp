#include "image/WicDecoder.h"

#include <wincodec.h>

#include <algorithm>

#include "CComInit.h"
#include "CComPtr.h"
#include "image/ImageHeader.h"

namespace {

// Rows converted at a time: the converter and the codec work on one band,
// so their scratch memory stays small whatever the picture's size.
constexpr UINT kBandBytes = 4 * 1024 * 1024;

CComPtr<IWICImagingFactory> CreateFactory()
{
    CComPtr<IWICImagingFactory> factory;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  factory.ReceiveVoid())))
        factory.Release();
    return factory;
}

bool AllAlphaOpaque(const BYTE* pPixels, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (pPixels[i * 4 + 3] != 0xFF)
            return false;
    }
    return true;
}

} // namespace

namespace {

// Decodes frame 0 of the picture converted to `format` (32 bits a pixel) into
// out, a band of rows at a time. With bOpaqueStillsOnly, a picture that is
// not a single frame of 24 or 32 bits without alpha is NotApplicable before
// anything is decoded.
WicResult Decode(const unsigned char* data, std::size_t size, bool bOpaqueStillsOnly, WicPixels* out,
                 const std::function<bool()>& cancelled)
{
    if (!data || size == 0 || size > MAXDWORD || !out)
        return WicResult::Unsupported;
    CComInit com;
    CComPtr<IWICImagingFactory> factory = CreateFactory();
    CComPtr<IWICStream> stream;
    CComPtr<IWICBitmapDecoder> decoder;
    CComPtr<IWICBitmapFrameDecode> frame;
    if (!factory || FAILED(factory->CreateStream(stream.Receive())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                decoder.Receive())) ||
        FAILED(decoder->GetFrame(0, frame.Receive())))
        return WicResult::Unsupported;

    WICPixelFormatGUID source = {};
    UINT frames = 0;
    if (bOpaqueStillsOnly &&
        (FAILED(decoder->GetFrameCount(&frames)) || frames != 1 || FAILED(frame->GetPixelFormat(&source)) ||
         (!IsEqualGUID(source, GUID_WICPixelFormat24bppBGR) && !IsEqualGUID(source, GUID_WICPixelFormat32bppBGR))))
        return WicResult::NotApplicable;

    UINT width = 0;
    UINT height = 0;
    if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0 || width > INT_MAX / 4 ||
        height > INT_MAX || !IsDecodableImageSize(ImageDimensions{width, height}))
        return WicResult::Unsupported;

    const GUID& target = bOpaqueStillsOnly ? GUID_WICPixelFormat32bppBGR : GUID_WICPixelFormat32bppPBGRA;
    CComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.Receive())) ||
        FAILED(converter->Initialize(frame.Get(), target, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return WicResult::Unsupported;

    const UINT stride = width * 4;
    const std::size_t bytes = static_cast<std::size_t>(stride) * height;
    CVirtualBlock pixels;
    if (!pixels.Allocate(bytes))
        return WicResult::NoMemory;
    const UINT bandRows = std::max<UINT>(1, kBandBytes / stride);
    for (UINT y = 0; y < height; y += bandRows) {
        if (cancelled && cancelled())
            return WicResult::Cancelled;
        const UINT rows = std::min(bandRows, height - y);
        const WICRect rc = {0, static_cast<INT>(y), static_cast<INT>(width), static_cast<INT>(rows)};
        if (FAILED(
                converter->CopyPixels(&rc, stride, stride * rows, pixels.Get() + static_cast<std::size_t>(y) * stride)))
            return WicResult::Unsupported;
    }
    out->width = static_cast<int>(width);
    out->height = static_cast<int>(height);
    out->bOpaque = bOpaqueStillsOnly || AllAlphaOpaque(pixels.Get(), static_cast<std::size_t>(width) * height);
    out->pixels = std::move(pixels);
    return WicResult::Ok;
}

} // namespace

WicResult DecodeWithWic(const unsigned char* data, std::size_t size, WicPixels* out,
                        const std::function<bool()>& cancelled)
{
    return Decode(data, size, false, out, cancelled);
}

WicResult DecodeOpaqueStillWithWic(const unsigned char* data, std::size_t size, WicPixels* out,
                                   const std::function<bool()>& cancelled)
{
    return Decode(data, size, true, out, cancelled);
}

std::vector<std::wstring> WicDecoderExtensionLists()
{
    std::vector<std::wstring> lists;
    CComInit com;
    CComPtr<IWICImagingFactory> factory = CreateFactory();
    CComPtr<IEnumUnknown> components;
    if (!factory ||
        FAILED(factory->CreateComponentEnumerator(WICDecoder, WICComponentEnumerateDefault, components.Receive())))
        return lists;
    for (;;) {
        CComPtr<IUnknown> component;
        ULONG fetched = 0;
        if (components->Next(1, component.Receive(), &fetched) != S_OK || fetched != 1)
            break;
        CComPtr<IWICBitmapDecoderInfo> info;
        if (FAILED(component->QueryInterface(IID_IWICBitmapDecoderInfo, info.ReceiveVoid())))
            continue;
        UINT length = 0;
        if (FAILED(info->GetFileExtensions(0, nullptr, &length)) || length == 0 || length > 4096)
            continue;
        std::wstring list(length, L'\0');
        if (FAILED(info->GetFileExtensions(length, list.data(), &length)))
            continue;
        list.resize(std::min<std::size_t>(list.find(L'\0'), list.size()));
        lists.push_back(list);
    }
    return lists;
}
