#include "CClipboard.h"

#include <shlobj.h>

#include <cstring>

#include "AnsiPath.h"
#include "CGlobalLock.h"

namespace {

constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryMs = 20;

} // namespace

CClipboard::CClipboard(HWND hOwner)
{
    for (int attempt = 0; attempt < kOpenAttempts && !m_bOpen; ++attempt) {
        if (attempt > 0)
            ::Sleep(kOpenRetryMs);
        m_bOpen = ::OpenClipboard(hOwner) != FALSE;
    }
}

CClipboard::~CClipboard()
{
    if (m_bOpen)
        ::CloseClipboard();
}

BOOL CClipboard::Empty()
{
    return m_bOpen && ::EmptyClipboard();
}

BOOL CClipboard::SetData(UINT format, CGlobalBlock& block)
{
    if (!m_bOpen || !block || !::SetClipboardData(format, block.Get()))
        return FALSE;
    block.Detach();
    return TRUE;
}

HGLOBAL CClipboard::GetData(UINT format) const
{
    return m_bOpen ? static_cast<HGLOBAL>(::GetClipboardData(format)) : nullptr;
}

BOOL MakeFileListBlock(const std::vector<std::wstring>& paths, CGlobalBlock* pBlock)
{
    SIZE_T chars = 1; // the null that ends the list
    for (const std::wstring& path : paths)
        chars += path.size() + 1;
    CGlobalBlock block;
    if (!block.Allocate(sizeof(DROPFILES) + chars * sizeof(wchar_t)))
        return FALSE;
    {
        CGlobalLock bytes(block.Get());
        if (!bytes.Get())
            return FALSE;
        auto* pDrop = reinterpret_cast<DROPFILES*>(bytes.Get());
        pDrop->pFiles = sizeof(DROPFILES);
        pDrop->fWide = TRUE;
        auto* p = reinterpret_cast<wchar_t*>(bytes.Get() + sizeof(DROPFILES));
        for (const std::wstring& path : paths) {
            std::memcpy(p, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
            p += path.size() + 1;
        }
        // The block is zeroed: the list's last null is there already.
    }
    *pBlock = std::move(block);
    return TRUE;
}

BOOL ReadFileList(const unsigned char* data, std::size_t size, std::vector<std::wstring>* pPaths)
{
    pPaths->clear();
    if (!data || size < sizeof(DROPFILES))
        return FALSE;
    DROPFILES header;
    std::memcpy(&header, data, sizeof(header));
    std::size_t pos = header.pFiles;
    if (pos < sizeof(DROPFILES) || pos > size)
        return FALSE;
    const std::size_t unit = header.fWide ? sizeof(wchar_t) : 1;
    for (;;) {
        // One path: the units up to its null, all inside the data.
        std::size_t end = pos;
        for (;;) {
            if (size - end < unit)
                return FALSE;
            wchar_t c = 0;
            if (header.fWide)
                std::memcpy(&c, data + end, sizeof(c));
            else
                c = data[end];
            if (c == 0)
                break;
            end += unit;
        }
        if (end == pos)
            return TRUE;
        if (header.fWide) {
            std::wstring path((end - pos) / unit, L'\0');
            std::memcpy(path.data(), data + pos, end - pos);
            pPaths->push_back(path);
        } else {
            pPaths->push_back(AnsiToWide(std::string(reinterpret_cast<const char*>(data + pos), end - pos)));
        }
        pos = end + unit;
    }
}
