// Copy and paste: the picture shown goes to the clipboard as the screen
// shows it (and as a file Explorer can paste); a file list on the clipboard
// opens like a drop of those files, and a bitmap becomes a PNG file of the
// clipboard folder that opens like any other picture.
#include "CMainFrame.h"

#include <cstdint>
#include <string>
#include <vector>

#include "CCmdUI.h"
#include "CClipboard.h"
#include "CGlobalLock.h"
#include "CVirtualBlock.h"
#include "framework/AnsiPath.h"
#include "image/ClipboardDib.h"
#include "image/PicturePixels.h"
#include "image/PngEncoder.h"
#include "res/resource.h"
#include "settings/ClipboardFolder.h"

namespace {

const char kMsgUnsupported[] = "未対応のフォーマットです";

// A DIB of the pixels in a block the clipboard can take.
BOOL MakeDibBlock(DibKind kind, const std::uint32_t* pixels, SIZE size, CGlobalBlock* pBlock)
{
    const std::size_t cb = DibByteSize(kind, size.cx, size.cy);
    CGlobalBlock block;
    if (cb == 0 || !block.Allocate(cb))
        return FALSE;
    {
        CGlobalLock bytes(block.Get());
        if (!bytes.Get())
            return FALSE;
        WriteDib(kind, pixels, size.cx, size.cy, bytes.Get());
    }
    *pBlock = std::move(block);
    return TRUE;
}

// The file's full, long path: what Explorer pastes it by (a short name, or a
// path relative to this process's folder, would mean nothing there).
std::wstring LongPathOf(const CString& path)
{
    const std::wstring wide = AnsiToWide(path.GetString());
    std::wstring full(MAX_PATH, L'\0');
    DWORD n = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n >= full.size()) {
        full.resize(n);
        n = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (n == 0 || n >= full.size())
        return wide;
    full.resize(n);
    std::wstring longPath(MAX_PATH, L'\0');
    n = ::GetLongPathNameW(full.c_str(), longPath.data(), static_cast<DWORD>(longPath.size()));
    if (n >= longPath.size()) {
        longPath.resize(n);
        n = ::GetLongPathNameW(full.c_str(), longPath.data(), static_cast<DWORD>(longPath.size()));
    }
    if (n == 0 || n >= longPath.size())
        return full;
    longPath.resize(n);
    return longPath;
}

// What a paste found on the clipboard.
struct Pasted {
    enum Kind {
        Nothing,
        Files,
        Bitmap,
        BadBitmap,
    } kind = Nothing;
    std::vector<std::wstring> files;
    CVirtualBlock pixels; // the bitmap's, top-down 0xAARRGGBB
    SIZE size = {0, 0};
};

// The bitmap of a DIB block, checked before a pixel is read; a block that
// lies about its sizes is bad.
void ReadDibBlock(HGLOBAL hDib, Pasted* pPasted)
{
    pPasted->kind = Pasted::BadBitmap;
    CGlobalLock bytes(hDib);
    DibLayout layout;
    if (!bytes.Get() || !CheckClipboardDib(bytes.Get(), bytes.GetSize(), &layout))
        return;
    const std::size_t count = static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(layout.height);
    if (!pPasted->pixels.Allocate(count * 4)) {
        pPasted->kind = Pasted::Nothing; // no memory: quietly nothing
        return;
    }
    ReadDibPixels(bytes.Get(), layout, reinterpret_cast<std::uint32_t*>(pPasted->pixels.Get()));
    pPasted->size = SIZE{layout.width, layout.height};
    pPasted->kind = Pasted::Bitmap;
}

// Reads what the clipboard offers, a file list before a bitmap (the files
// are the originals), and a bitmap with alpha (CF_DIBV5) before one
// without. The clipboard is left as it was.
void ReadClipboard(HWND hOwner, Pasted* pPasted)
{
    CClipboard clipboard(hOwner);
    if (!clipboard.IsOpen())
        return;
    if (::IsClipboardFormatAvailable(CF_HDROP)) {
        HGLOBAL hDrop = clipboard.GetData(CF_HDROP);
        CGlobalLock bytes(hDrop);
        if (bytes.Get() && ReadFileList(bytes.Get(), bytes.GetSize(), &pPasted->files)) {
            pPasted->kind = Pasted::Files;
            return;
        }
        // A file list that cannot be read: a bitmap offered with it is
        // taken instead, else the paste is reported as unsupported.
        pPasted->kind = Pasted::BadBitmap;
    }
    const UINT format = ::IsClipboardFormatAvailable(CF_DIBV5) ? CF_DIBV5 : CF_DIB;
    if (!::IsClipboardFormatAvailable(format))
        return;
    HGLOBAL hDib = clipboard.GetData(format);
    if (!hDib) {
        pPasted->kind = Pasted::BadBitmap; // offered, but an empty handle
        return;
    }
    ReadDibBlock(hDib, pPasted);
}

bool IsFolder(const CString& path)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

void CMainFrame::OnCopy()
{
    const CPicture* pPicture = m_wndView.m_pImage.get();
    if (!pPicture)
        return;
    const TransformState shown =
        Compose(pPicture->GetOrientation(), TransformState{m_wndView.m_nRotation, m_wndView.m_bMirrored != FALSE});
    CVirtualBlock pixels;
    SIZE size = {0, 0};
    if (!ReadShownPixels(*pPicture, shown, &pixels, &size))
        return;
    const auto* pPixels = reinterpret_cast<const std::uint32_t*>(pixels.Get());
    CGlobalBlock dib;
    CGlobalBlock dibWithAlpha;
    CGlobalBlock files;
    if (!MakeDibBlock(DibKind::Rgb24, pPixels, size, &dib))
        return;
    if (HasTransparency(pPixels, static_cast<std::size_t>(size.cx) * static_cast<std::size_t>(size.cy)) &&
        !MakeDibBlock(DibKind::Argb32V5, pPixels, size, &dibWithAlpha))
        return;
    pixels.Free();
    // The file as well, while it is there (a file deleted since it was
    // shown would only make Explorer's paste fail).
    const std::wstring file = LongPathOf(m_wndView.m_strPath);
    if (::GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES)
        MakeFileListBlock({file}, &files);

    CClipboard clipboard(m_hWnd);
    if (!clipboard.Empty())
        return;
    clipboard.SetData(CF_DIB, dib);
    if (dibWithAlpha)
        clipboard.SetData(CF_DIBV5, dibWithAlpha);
    if (files)
        clipboard.SetData(CF_HDROP, files);
}

void CMainFrame::OnUpdateCopy(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_wndView.m_pImage != nullptr);
}

void CMainFrame::OnPaste()
{
    const bool bNewWindow = ::GetKeyState(VK_SHIFT) < 0;
    Pasted pasted;
    ReadClipboard(m_hWnd, &pasted);
    switch (pasted.kind) {
    case Pasted::Nothing: return;
    case Pasted::BadBitmap: m_wndView.MessageBox(kMsgUnsupported, nullptr, MB_OK); return;
    case Pasted::Files: {
        // As a drop of the files: the first here (with Shift in a new window
        // too), every other one in a new window; folders are skipped.
        bool bHere = !bNewWindow;
        for (const std::wstring& wide : pasted.files) {
            const CString path = AnsiPathForWide(wide).c_str();
            if (IsFolder(path))
                continue;
            if (bHere)
                OpenPastedFile(path);
            else
                m_wndView.OpenInNewInstance(path);
            bHere = false;
        }
        return;
    }
    case Pasted::Bitmap: break;
    }

    const auto* pPixels = reinterpret_cast<const std::uint32_t*>(pasted.pixels.Get());
    const BOOL bAlpha =
        HasTransparency(pPixels, static_cast<std::size_t>(pasted.size.cx) * static_cast<std::size_t>(pasted.size.cy));
    CGlobalBlock png;
    SIZE_T cb = 0;
    if (!EncodePng(pPixels, pasted.size.cx, pasted.size.cy, bAlpha, &png, &cb))
        return;
    pasted.pixels.Free();
    CString path;
    {
        CGlobalLock bytes(png.Get());
        if (!bytes.Get() || !WriteNewClipboardFile(bytes.Get(), cb, &path))
            return;
    }
    if (bNewWindow)
        m_wndView.OpenInNewInstance(path);
    else
        OpenPastedFile(path);
}

void CMainFrame::OnUpdatePaste(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(::IsClipboardFormatAvailable(CF_HDROP) || ::IsClipboardFormatAvailable(CF_DIB) ||
                   ::IsClipboardFormatAvailable(CF_DIBV5));
}

// Loaded as File Open loads a file: into the history, then the frame fits it.
void CMainFrame::OpenPastedFile(const CString& path)
{
    if (m_wndView.LoadImageFile(path)) {
        m_wndView.InvalidateRect(nullptr, TRUE);
        FitWindowToImage();
    }
}
