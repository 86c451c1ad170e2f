#include "image/WicDecoder.h"

#include <wincodec.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "CComInit.h"
#include "CComPtr.h"
#include "image/ImageHeader.h"

namespace {

// Rows copied at a time: the converter and the codec work on one band, so
// their scratch memory stays small whatever the picture's size. A small band
// also costs few first touches of fresh memory (a page fault each, which on
// some machines costs more than the copy).
constexpr UINT kBandBytes = 256 * 1024;

// A block this large or larger has its pages touched beside the decoding;
// for a smaller one a thread costs more than it saves.
constexpr std::size_t kTouchedBytes = 1024 * 1024;

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

// Touches every page of a newly allocated block on a thread of its own while
// the codec decodes: the first write to a page costs the system a fault
// (on some machines as much as the decoding itself), which this way falls on
// the other core. It only writes while the block holds nothing yet, so it is
// stopped before the first pixel is put in; what it did not reach is touched
// by the pixels' own writes.
class CPageToucher {
public:
    CPageToucher(BYTE* pBlock, std::size_t size)
    {
        try {
            m_thread = std::thread([this, pBlock, size] {
                for (std::size_t i = 0; i < size && !m_stop.load(std::memory_order_relaxed); i += kPage)
                    static_cast<volatile BYTE*>(pBlock)[i] = 0;
            });
        } catch (const std::system_error&) {
            // No thread to spare: the writes fault the pages themselves.
        }
    }
    ~CPageToucher() { Stop(); }
    CPageToucher(const CPageToucher&) = delete;
    CPageToucher& operator=(const CPageToucher&) = delete;

    void Stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    static constexpr std::size_t kPage = 4096;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// The first frame of a picture in memory, opened by a codec of the system's
// (COM runs for the object's time on the calling thread).
struct OpenedFrame {
    CComInit com;
    CComPtr<IWICImagingFactory> factory;
    CComPtr<IWICStream> stream;
    CComPtr<IWICBitmapDecoder> decoder;
    CComPtr<IWICBitmapFrameDecode> frame;
    UINT width = 0;
    UINT height = 0;

    // Unsupported when no codec takes the picture or its size is over the
    // pixel bound; nothing is decoded yet.
    WicResult Open(const unsigned char* data, std::size_t size)
    {
        if (!data || size == 0 || size > MAXDWORD)
            return WicResult::Unsupported;
        factory = CreateFactory();
        if (!factory || FAILED(factory->CreateStream(stream.Receive())) ||
            FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size))) ||
            FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                    decoder.Receive())) ||
            FAILED(decoder->GetFrame(0, frame.Receive())))
            return WicResult::Unsupported;
        if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0 || width > INT_MAX / 4 ||
            height > INT_MAX || !IsDecodableImageSize(ImageDimensions{width, height}))
            return WicResult::Unsupported;
        return WicResult::Ok;
    }
};

// The rows of a band: about kBandBytes at 32 bits a pixel, no more than the
// picture has.
UINT BandRows(UINT width, UINT height)
{
    return std::min(height, std::max<UINT>(1, kBandBytes / (width * 4)));
}

// Copies the source a band of rows at a time: band y's rows go to where(y),
// stride bytes apart, and taken (when given) is told once they are there.
WicResult CopyBands(IWICBitmapSource* pSource, UINT width, UINT height, UINT stride,
                    const std::function<BYTE*(UINT y)>& where, const std::function<void(UINT y, UINT rows)>& taken,
                    const std::function<bool()>& cancelled)
{
    const UINT bandRows = BandRows(width, height);
    for (UINT y = 0; y < height; y += bandRows) {
        if (cancelled && cancelled())
            return WicResult::Cancelled;
        const UINT rows = std::min(bandRows, height - y);
        const WICRect rc = {0, static_cast<INT>(y), static_cast<INT>(width), static_cast<INT>(rows)};
        if (FAILED(pSource->CopyPixels(&rc, stride, stride * rows, where(y))))
            return WicResult::Unsupported;
        if (taken)
            taken(y, rows);
    }
    return WicResult::Ok;
}

} // namespace

WicResult ReadOpaqueStillBands(const unsigned char* data, std::size_t size,
                               const std::function<bool(UINT width, UINT height, UINT bytesPerPixel)>& begin,
                               const std::function<void(const WicBand& band)>& take,
                               const std::function<bool()>& cancelled)
{
    OpenedFrame opened;
    UINT frames = 0;
    WICPixelFormatGUID format = {};
    {
        const WicResult result = opened.Open(data, size);
        if (result != WicResult::Ok)
            return result;
    }
    if (FAILED(opened.decoder->GetFrameCount(&frames)) || frames != 1 ||
        FAILED(opened.frame->GetPixelFormat(&format)) ||
        (!IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) && !IsEqualGUID(format, GUID_WICPixelFormat32bppBGR)))
        return WicResult::NotApplicable;
    const UINT width = opened.width;
    const UINT height = opened.height;
    const UINT bytesPerPixel = IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) ? 3 : 4;
    if (!begin(width, height, bytesPerPixel))
        return WicResult::NoMemory;
    const UINT stride = (width * bytesPerPixel + 3) & ~3u;
    // About kBandBytes, or one row of a picture wider than that; taken
    // from the system like the picture's own pixels, not from the heap.
    CVirtualBlock band;
    if (!band.Allocate(static_cast<std::size_t>(stride) * BandRows(width, height)))
        return WicResult::NoMemory;
    return CopyBands(
        opened.frame.Get(), width, height, stride, [&](UINT) { return band.Get(); },
        [&](UINT y, UINT rows) {
            take(WicBand{band.Get(), stride, bytesPerPixel, y, rows});
        },
        cancelled);
}

WicResult DecodeWithWic(const unsigned char* data, std::size_t size, WicPixels* out,
                        const std::function<bool()>& cancelled)
{
    if (!out)
        return WicResult::Unsupported;
    OpenedFrame opened;
    const WicResult opening = opened.Open(data, size);
    if (opening != WicResult::Ok)
        return opening;
    const UINT width = opened.width;
    const UINT height = opened.height;
    CComPtr<IWICFormatConverter> converter;
    if (FAILED(opened.factory->CreateFormatConverter(converter.Receive())) ||
        FAILED(converter->Initialize(opened.frame.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                     nullptr, 0.0, WICBitmapPaletteTypeCustom)))
        return WicResult::Unsupported;
    const UINT stride = width * 4;
    CVirtualBlock pixels;
    if (!pixels.Allocate(static_cast<std::size_t>(stride) * height))
        return WicResult::NoMemory;
    const WicResult copied = CopyBands(
        converter.Get(), width, height, stride,
        [&](UINT y) { return pixels.Get() + static_cast<std::size_t>(y) * stride; }, nullptr, cancelled);
    if (copied != WicResult::Ok)
        return copied;
    out->width = static_cast<int>(width);
    out->height = static_cast<int>(height);
    out->bOpaque = AllAlphaOpaque(pixels.Get(), static_cast<std::size_t>(width) * height);
    out->pixels = std::move(pixels);
    return WicResult::Ok;
}

// The codec's own pixels are widened here rather than by a format converter
// of the system's: under Wine the converter takes longer than the decoding
// itself. The codec decodes the whole picture at the first band (Wine's codecs
// do), while the block's pages are touched beside it.
WicResult DecodeOpaqueStillWithWic(const unsigned char* data, std::size_t size, WicPixels* out,
                                   const std::function<bool()>& cancelled)
{
    if (!out)
        return WicResult::Unsupported;
    CVirtualBlock pixels;
    std::unique_ptr<CPageToucher> toucher; // stopped before the block goes
    UINT width = 0;
    UINT height = 0;
    const auto begin = [&](UINT w, UINT h, UINT) {
        width = w;
        height = h;
        const std::size_t bytes = static_cast<std::size_t>(w) * 4 * h;
        if (!pixels.Allocate(bytes))
            return false;
        if (bytes >= kTouchedBytes)
            toucher = std::make_unique<CPageToucher>(pixels.Get(), bytes);
        return true;
    };
    const auto take = [&](const WicBand& band) {
        if (toucher)
            toucher->Stop();
        for (UINT r = 0; r < band.count; ++r) {
            const BYTE* pIn = band.pRows + static_cast<std::size_t>(r) * band.stride;
            auto* pPixel = reinterpret_cast<DWORD*>(pixels.Get() + (static_cast<std::size_t>(band.y) + r) * width * 4);
            for (UINT x = 0; x < width; ++x, pIn += band.bytesPerPixel)
                pPixel[x] =
                    0xFF000000u | (static_cast<DWORD>(pIn[2]) << 16) | (static_cast<DWORD>(pIn[1]) << 8) | pIn[0];
        }
    };
    const WicResult result = ReadOpaqueStillBands(data, size, begin, take, cancelled);
    toucher.reset();
    if (result != WicResult::Ok)
        return result;
    out->width = static_cast<int>(width);
    out->height = static_cast<int>(height);
    out->bOpaque = true;
    out->pixels = std::move(pixels);
    return WicResult::Ok;
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
