#include "image/ImageFile.h"

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

#include "CFile.h"
#include "CGlobalLock.h"
#include "image/ImageHeader.h"

namespace {

// Files beyond 2 GiB are refused as unopenable: a read call takes a 32-bit
// count, and no picture of that size could be decoded within the bound.
constexpr ULONGLONG kMaxImageFileBytes = INT_MAX;

// Enough for the size in the header of every format read there, even behind
// long leading segments.
constexpr UINT kHeadBytes = 64 * 1024;

// Reads all n bytes; false on an error or an early end.
bool ReadAll(CFile& file, unsigned char* p, ULONGLONG n)
{
    while (n > 0) {
        UINT got = 0;
        const UINT want = static_cast<UINT>(std::min<ULONGLONG>(n, 64u * 1024 * 1024));
        if (!file.ReadChecked(p, want, got) || got == 0)
            return false;
        p += got;
        n -= got;
    }
    return true;
}

} // namespace

ImageFileResult ReadImageFile(const char* path, CGlobalBlock& data)
{
    data.Close();
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone))
        return ImageFileResult::CannotOpen;
    const ULONGLONG length = file.GetLength();
    if (length == 0)
        return ImageFileResult::Unsupported; // nothing to decode
    if (length > kMaxImageFileBytes)
        return ImageFileResult::CannotOpen;

    const UINT headLength = static_cast<UINT>(std::min<ULONGLONG>(length, kHeadBytes));
    std::vector<unsigned char> head(headLength);
    if (!ReadAll(file, head.data(), headLength))
        return ImageFileResult::CannotOpen;
    if (IsImageTooLarge(head.data(), headLength))
        return ImageFileResult::Unsupported;

    CGlobalBlock block;
    if (!block.Allocate(static_cast<SIZE_T>(length)))
        return ImageFileResult::NoMemory;
    {
        CGlobalLock bytes(block.Get());
        if (!bytes.Get())
            return ImageFileResult::NoMemory;
        std::copy(head.begin(), head.end(), bytes.Get());
        if (!ReadAll(file, bytes.Get() + headLength, length - headLength))
            return ImageFileResult::CannotOpen;
        file.Close();
        if (IsImageRefused(bytes.Get(), static_cast<std::size_t>(length)))
            return ImageFileResult::Unsupported;
    }
    data = std::move(block);
    return ImageFileResult::Ok;
}
