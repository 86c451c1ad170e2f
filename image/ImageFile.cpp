#include "image/ImageFile.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "CFile.h"
#include "image/ImageHeader.h"

namespace {

// Files beyond 2 GiB are refused as unopenable: a read call takes a 32-bit
// count, and no picture of that size could be decoded within the bound.
constexpr ULONGLONG kMaxImageFileBytes = INT_MAX;

// Enough for the size in the header of every format read there, even behind
// long leading segments.
constexpr UINT kHeadBytes = 64 * 1024;

// A global block that is freed unless it is handed on.
class CGlobalBlock {
public:
    explicit CGlobalBlock(SIZE_T cb) : m_h(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, cb)) {}
    ~CGlobalBlock()
    {
        if (m_h)
            ::GlobalFree(m_h);
    }
    CGlobalBlock(const CGlobalBlock&) = delete;
    CGlobalBlock& operator=(const CGlobalBlock&) = delete;
    HGLOBAL Get() const { return m_h; }
    HGLOBAL Release()
    {
        HGLOBAL h = m_h;
        m_h = nullptr;
        return h;
    }

private:
    HGLOBAL m_h;
};

// Locks a global block for the life of the object.
class CGlobalLock {
public:
    explicit CGlobalLock(HGLOBAL h) : m_h(h), m_p(static_cast<unsigned char*>(::GlobalLock(h))) {}
    ~CGlobalLock()
    {
        if (m_p)
            ::GlobalUnlock(m_h);
    }
    CGlobalLock(const CGlobalLock&) = delete;
    CGlobalLock& operator=(const CGlobalLock&) = delete;
    unsigned char* Get() const { return m_p; }

private:
    HGLOBAL m_h;
    unsigned char* m_p;
};

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

ImageFileResult ReadImageFile(const char* path, HGLOBAL* phData, SIZE_T* pcbData)
{
    *phData = nullptr;
    *pcbData = 0;
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

    CGlobalBlock block(static_cast<SIZE_T>(length));
    if (!block.Get())
        return ImageFileResult::NoMemory;
    {
        CGlobalLock data(block.Get());
        if (!data.Get())
            return ImageFileResult::NoMemory;
        std::copy(head.begin(), head.end(), data.Get());
        if (!ReadAll(file, data.Get() + headLength, length - headLength))
            return ImageFileResult::CannotOpen;
        file.Close();
        if (IsImageRefused(data.Get(), static_cast<std::size_t>(length)))
            return ImageFileResult::Unsupported;
    }
    *pcbData = static_cast<SIZE_T>(length);
    *phData = block.Release();
    return ImageFileResult::Ok;
}
