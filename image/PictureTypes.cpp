#include "image/PictureTypes.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <set>

#include "image/WicDecoder.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

const char kOpenFilter[] =
    "BMPファイル (*.bmp;*.dib;*.rle)|*.bmp;*.dib;*.rle|JPEGファイル (*.jpg;*.jpeg;*.jpe)|*.jpg;*.jpeg;*.jpe|"
    "PNGファイル (*.png)|*.png|TIFFファイル(*.tif;*.tiff)|*.tif;*.tiff|GIFファイル (*.gif)|*.gif|"
    "EMFファイル (*.emf)|*.emf|WMFファイル (*.wmf)|*.wmf|ICOファイル (*.ico)|*.ico|"
    "すべてのファイル (*.*)|*.*||";

namespace {

// The extension lists of GDI+'s decoders ("*.BMP;*.DIB;*.RLE").
std::vector<std::wstring> GdiplusDecoderExtensionLists()
{
    std::vector<std::wstring> lists;
    UINT count = 0;
    UINT size = 0;
    if (GdipGetImageDecodersSize(&count, &size) != Ok || count == 0 || size < count * sizeof(ImageCodecInfo))
        return lists;
    std::vector<BYTE> buffer(size);
    auto* pCodecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    if (GdipGetImageDecoders(count, size, pCodecs) != Ok)
        return lists;
    for (UINT i = 0; i < count; ++i) {
        if (pCodecs[i].FilenameExtension)
            lists.emplace_back(pCodecs[i].FilenameExtension);
    }
    return lists;
}

} // namespace

std::vector<std::string> ExtensionsOfFilter(const char* filter)
{
    // Every second field holds patterns. '|', ';', '*' and '.' are below 0x40
    // and never the trail byte of a double-byte character of the description.
    std::vector<std::string> extensions;
    std::string text = filter ? filter : "";
    std::size_t start = 0;
    for (int field = 0; start < text.size(); ++field) {
        std::size_t end = text.find('|', start);
        if (end == std::string::npos)
            end = text.size();
        if (field % 2 == 1) {
            std::string patterns = text.substr(start, end - start) + ';';
            std::size_t p = 0;
            for (std::size_t semi; (semi = patterns.find(';', p)) != std::string::npos; p = semi + 1) {
                const std::string pattern = patterns.substr(p, semi - p);
                if (pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0 && pattern != "*.*") {
                    std::string ext = pattern.substr(2);
                    std::transform(ext.begin(), ext.end(), ext.begin(),
                                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
                    extensions.push_back(ext);
                }
            }
        }
        start = end + 1;
    }
    return extensions;
}

std::vector<std::string> ExtensionsOfList(const std::wstring& list)
{
    std::vector<std::string> extensions;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find_first_of(L",;", start);
        if (end == std::wstring::npos)
            end = list.size();
        std::wstring item = list.substr(start, end - start);
        // Blanks around the item, then its "*." or "." go.
        const std::size_t first = item.find_first_not_of(L' ');
        const std::size_t last = item.find_last_not_of(L' ');
        item = first == std::wstring::npos ? std::wstring() : item.substr(first, last - first + 1);
        if (item.compare(0, 2, L"*.") == 0)
            item.erase(0, 2);
        else if (item.compare(0, 1, L".") == 0)
            item.erase(0, 1);
        std::string ext;
        bool plain = !item.empty();
        for (std::size_t i = 0; plain && i < item.size(); ++i) {
            const wchar_t c = item[i];
            plain = c > L' ' && c < 0x7F && c != L'|' && c != L';' && c != L'*' && c != L'?' && c != L'.';
            ext += static_cast<char>(c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c);
        }
        if (plain)
            extensions.push_back(ext);
        start = end + 1;
    }
    return extensions;
}

std::vector<std::string> MergeExtensions(const std::vector<std::wstring>& lists, const std::vector<std::string>& more)
{
    std::set<std::string> merged(more.begin(), more.end());
    for (const std::wstring& list : lists) {
        for (std::string& ext : ExtensionsOfList(list))
            merged.insert(std::move(ext));
    }
    return std::vector<std::string>(merged.begin(), merged.end());
}

std::string AllPicturesFilter(const std::vector<std::string>& extensions)
{
    std::string patterns;
    for (const std::string& ext : extensions)
        patterns += (patterns.empty() ? "*." : ";*.") + ext;
    if (patterns.empty())
        return kOpenFilter;
    return "すべての画像 (" + patterns + ")|" + patterns + "|" + kOpenFilter;
}

const std::vector<std::string>& ReadablePictureExtensions()
{
    static const std::vector<std::string> extensions = [] {
        std::vector<std::wstring> lists = GdiplusDecoderExtensionLists();
        for (std::wstring& list : WicDecoderExtensionLists())
            lists.push_back(std::move(list));
        return MergeExtensions(lists, ExtensionsOfFilter(kOpenFilter));
    }();
    return extensions;
}

const std::string& OpenDialogFilter()
{
    static const std::string filter = AllPicturesFilter(ReadablePictureExtensions());
    return filter;
}
