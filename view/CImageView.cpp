#include "CImageView.h"

#include <gdiplus.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "AfxGlobals.h"
#include "AfxStream.h"
#include "afxres.h"
#include "CFile.h"
#include "CPaintDC.h"
#include "MbString.h"
#include "ParallelogramBlt.h"
#include "frame/CommandLine.h"
#include "res/resource.h"
#include "view/ImageGeometry.h"
#include "view/ImageHeader.h"
#include "view/MetafileEllipses.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// Timers of the view window.
constexpr UINT_PTR kHistoryRetryTimer = 1;
constexpr UINT_PTR kFrameTimer = 2;
constexpr UINT kHistoryRetryMs = 500;
// A frame whose delay the image does not give stays this long.
constexpr UINT kDefaultFrameDelayMs = 100;
constexpr PROPID kFrameDelayProperty = 0x5100;
// The margins of a picture smaller than its display: opaque white (ARGB).
constexpr ARGB kMarginColour = 0xFFFFFFFF;

// The time dimension of animated images.
const GUID kFrameDimensionTime = {0x6AEDBD6D, 0x3FB5, 0x418A, {0x83, 0xA6, 0x7F, 0x45, 0x22, 0x9D, 0xC8, 0x72}};

const char kMsgCannotOpen[] = "ファイルがオープンできません";
const char kMsgUnsupported[] = "未対応のフォーマットです";

// The whole file is held in memory twice for a moment (the read buffer and
// the global block), so files beyond 2 GiB are refused as unopenable; this
// also keeps the length within one read call.
constexpr ULONGLONG kMaxImageFileBytes = INT_MAX;

void TrimWorkingSet()
{
    ::SetProcessWorkingSetSize(::GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

// A GDI+ graphics object or brush for one paint.
struct GraphicsDeleter {
    void operator()(GpGraphics* p) const { GdipDeleteGraphics(p); }
};
struct BrushDeleter {
    void operator()(GpSolidFill* p) const { GdipDeleteBrush(p); }
};

} // namespace

BEGIN_MESSAGE_MAP(CImageView, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_DROPFILES()
    ON_WM_RBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

BOOL(WINAPI* CImageView::s_pfnShellExecuteEx)(SHELLEXECUTEINFOA*) = &::ShellExecuteExA;

CImageView::CImageView() = default;

CImageView::~CImageView()
{
    // The last off-screen bitmap can only be deleted once it is no longer selected.
    if (m_memDC && m_hStockBitmap)
        m_memDC.SelectObject(m_hStockBitmap);
    ReleaseImage();
    std::free(m_pFrameDelays);
}

BOOL CImageView::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!CWnd::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle |= WS_EX_ACCEPTFILES;
    cs.style &= ~WS_BORDER;
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr);
    return cs.lpszClass != nullptr;
}

void CImageView::ReleaseImage()
{
    if (m_pImage) {
        GdipDisposeImage(m_pImage);
        m_pImage = nullptr;
    }
    if (m_pStream) {
        m_pStream->Release(); // the stream owns the block and frees it
        m_pStream = nullptr;
        m_hImageData = nullptr;
    }
    if (m_hImageData) {
        ::GlobalFree(m_hImageData);
        m_hImageData = nullptr;
    }
}

void CImageView::RepaintNow()
{
    InvalidateRect(nullptr, TRUE);
    UpdateWindow();
}

BOOL CImageView::ReadFileIntoMemory(const CString& path, SIZE_T* pcbData)
{
    CFile file;
    // The picture is read whole and closed at once, so it is shared for reading
    // and writing: another window, an editor or a browser may have it open.
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone)) {
        RepaintNow();
        MessageBox(kMsgCannotOpen, nullptr, MB_OK);
        return FALSE;
    }
    ULONGLONG length = file.GetLength();
    if (length == 0) {
        // Nothing to decode.
        file.Close();
        MessageBox(kMsgUnsupported, nullptr, MB_OK);
        RepaintNow();
        return FALSE;
    }
    std::unique_ptr<char[]> buffer(length <= kMaxImageFileBytes ? new (std::nothrow) char[length] : nullptr);
    if (!buffer || file.Read(buffer.get(), static_cast<UINT>(length)) != length) {
        // Too large to hold in memory, or the read fell short.
        file.Close();
        RepaintNow();
        MessageBox(kMsgCannotOpen, nullptr, MB_OK);
        return FALSE;
    }
    file.Close();

    m_hImageData = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(length));
    if (!m_hImageData)
        return FALSE;
    void* pData = ::GlobalLock(m_hImageData);
    if (!pData)
        return FALSE;
    std::memcpy(pData, buffer.get(), static_cast<size_t>(length));
    // A header that claims more pixels than can be decoded safely, or points
    // beyond the end of the file, is refused before any decoder sees it.
    bool refused = IsImageRefused(static_cast<const unsigned char*>(pData), static_cast<size_t>(length));
    ::GlobalUnlock(m_hImageData);
    if (refused) {
        ::GlobalFree(m_hImageData);
        m_hImageData = nullptr;
        MessageBox(kMsgUnsupported, nullptr, MB_OK);
        RepaintNow();
        return FALSE;
    }
    *pcbData = static_cast<SIZE_T>(length);
    return TRUE;
}

BOOL CImageView::LoadImageFile(CString path)
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain)
        pMain->SetWindowText("KEP");
    m_strPath.Empty();
    KillTimer(kFrameTimer);
    m_nCurFrame = 0;
    m_nFrameCount = 0;
    std::free(m_pFrameDelays);
    m_pFrameDelays = nullptr;
    ReleaseImage();

    SIZE_T cbData = 0;
    if (ReadFileIntoMemory(path, &cbData)) {
        if (AfxCreateStreamOnHGlobal(m_hImageData, TRUE, &m_pStream) != S_OK) {
            m_pStream = nullptr;
        } else {
            GpImage* pImage = nullptr;
            GpStatus status = GdipLoadImageFromStream(m_pStream, &pImage);
            m_pImage = pImage;
            if (status != Ok) {
                MessageBox(kMsgUnsupported, nullptr, MB_OK);
                ReleaseImage();
                RepaintNow();
            } else {
                m_strPath = path;
                UINT width = 0;
                UINT height = 0;
                GdipGetImageWidth(m_pImage, &width);
                GdipGetImageHeight(m_pImage, &height);
                m_nImageWidth = static_cast<int>(width);
                m_nImageHeight = static_cast<int>(height);
                if (pMain) {
                    pMain->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
                    pMain->SetWindowText("KEP - " + m_strPath);
                }
                CString added = m_strPath;
                if (!m_history.AddPath(added))
                    SetTimer(kHistoryRetryTimer, kHistoryRetryMs);
                if (ReadFrameInfo()) {
                    SelectFrame(m_nCurFrame);
                    SetTimer(kFrameTimer, GetFrameDelayMs(m_nCurFrame));
                    RepaintNow();
                }
            }
        }
        if (!m_pImage)
            ReleaseImage();
    }
    TrimWorkingSet();
    return TRUE;
}

BOOL CImageView::ReadFrameInfo()
{
    m_nCurFrame = 0;
    m_nFrameCount = 0;
    std::free(m_pFrameDelays);
    m_pFrameDelays = nullptr;
    if (!m_pImage)
        return FALSE;

    UINT dimensions = 0;
    GdipImageGetFrameDimensionsCount(m_pImage, &dimensions);
    if (dimensions == 0)
        return FALSE;
    std::vector<GUID> ids(dimensions);
    GdipImageGetFrameDimensionsList(m_pImage, ids.data(), dimensions);
    UINT frames = 0;
    GdipImageGetFrameCount(m_pImage, &ids[0], &frames);
    m_nFrameCount = static_cast<int>(frames);

    UINT size = 0;
    if (GdipGetPropertyItemSize(m_pImage, kFrameDelayProperty, &size) == Ok && size >= sizeof(PropertyItem)) {
        m_pFrameDelays = std::malloc(size);
        if (m_pFrameDelays &&
            GdipGetPropertyItem(m_pImage, kFrameDelayProperty, size, static_cast<PropertyItem*>(m_pFrameDelays)) != Ok) {
            std::free(m_pFrameDelays);
            m_pFrameDelays = nullptr;
        }
    }
    // Only frames in time play: the pages of a multi-page picture (whose first
    // dimension is not time) are not an animation, and its first page stays.
    if (!IsEqualGUID(ids[0], kFrameDimensionTime))
        return FALSE;
    return m_nFrameCount > 1;
}

UINT CImageView::GetFrameDelayMs(int nFrame) const
{
    // The delays are 32-bit values in hundredths of a second, one per frame;
    // a frame beyond the list (or an image without one) gets a default.
    const auto* item = static_cast<const PropertyItem*>(m_pFrameDelays);
    if (!item || !item->value || nFrame < 0 || static_cast<ULONG>(nFrame) >= item->length / sizeof(UINT32))
        return kDefaultFrameDelayMs;
    UINT32 delay = static_cast<const UINT32*>(item->value)[nFrame];
    return delay > UINT_MAX / 10 ? UINT_MAX : delay * 10;
}

void CImageView::SelectFrame(int nFrame)
{
    GdipImageSelectActiveFrame(m_pImage, &kFrameDimensionTime, static_cast<UINT>(nFrame));
}

void CImageView::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kHistoryRetryTimer) {
        KillTimer(kHistoryRetryTimer);
        CString added = m_strPath;
        if (!m_history.AddPath(added))
            SetTimer(kHistoryRetryTimer, kHistoryRetryMs);
    } else if (nIDEvent == kFrameTimer) {
        KillTimer(kFrameTimer);
        if (!m_pImage || m_nFrameCount < 2)
            return;
        if (++m_nCurFrame >= m_nFrameCount)
            m_nCurFrame = 0;
        SelectFrame(m_nCurFrame);
        RepaintNow();
        // Each frame stays for its own delay, counted from its paint.
        SetTimer(kFrameTimer, GetFrameDelayMs(m_nCurFrame));
    } else {
        Default();
    }
}

SIZE CImageView::GetDisplaySize() const
{
    return ComputeDisplaySize(m_nImageWidth, m_nImageHeight, m_settings.m_nZoomMode, m_settings.m_nZoomValue,
                              m_dFreeZoom, m_nRotation);
}

BOOL CImageView::GetImageRect(RECT* lpRect)
{
    if (!m_pImage)
        return FALSE;
    RECT rcView;
    GetWindowRect(&rcView);
    *lpRect = CenteredImageRect(rcView, GetDisplaySize());
    return TRUE;
}

void CImageView::UpdateFreeZoom()
{
    if (!m_pImage || m_settings.m_nZoomMode != ZOOM_ANY)
        return;
    RECT rc;
    GetWindowRect(&rc);
    m_dFreeZoom = ComputeFreeZoom(rc.right - rc.left, rc.bottom - rc.top, m_nImageWidth, m_nImageHeight, m_nRotation);
}

void CImageView::ApplyTransform(TransformState (*operation)(TransformState))
{
    TransformState s = operation({m_nRotation, m_bMirrored != FALSE});
    m_nRotation = s.rotation;
    m_bMirrored = s.mirrored;
}

void CImageView::RotateRight()
{
    ApplyTransform(&RotateRightState);
}

void CImageView::RotateLeft()
{
    ApplyTransform(&RotateLeftState);
}

void CImageView::FlipHorizontal()
{
    ApplyTransform(&FlipHorizontalState);
}

void CImageView::FlipVertical()
{
    ApplyTransform(&FlipVerticalState);
}

void CImageView::OnPaint()
{
    // All drawing happens in the erase, which beginning the paint triggers.
    CPaintDC dc(this);
}

BOOL CImageView::OnEraseBkgnd(HDC hdc)
{
    if (!m_pImage)
        return static_cast<BOOL>(Default());

    UpdateFreeZoom();
    RECT rcImage;
    GetImageRect(&rcImage);
    SIZE display = {rcImage.right - rcImage.left, rcImage.bottom - rcImage.top};
    SIZE bitmap = BitmapSizeForDisplay(display, m_nRotation);
    DrawnSize drawn = ComputeDrawnSize(m_nImageWidth, m_nImageHeight, bitmap.cx, bitmap.cy, m_settings.m_nZoomMode,
                                       m_settings.m_nZoomValue, m_bCoverView != FALSE);
    m_nZoomPercent = drawn.percent;

    if (m_bNeedMemDC) {
        m_bNeedMemDC = FALSE;
        m_memDC.CreateCompatibleDC(hdc);
        m_hStockBitmap = ::GetCurrentObject(m_memDC, OBJ_BITMAP);
    }
    // Only the part of the picture that lands in the view is drawn: a display
    // larger than the view (a picture zoomed beyond what the frame can grow
    // to) would otherwise ask for a bitmap of gigabytes. An empty display (a
    // zoom value of 0 or below) has nothing to draw.
    RECT rcClient;
    GetClientRect(&rcClient);
    const VisibleBitmapPart part =
        VisiblePartOfBitmap(m_nRotation, m_bMirrored != FALSE, display, SIZE{rcClient.right, rcClient.bottom});
    const int pw = part.rect.right - part.rect.left;
    const int ph = part.rect.bottom - part.rect.top;
    if (pw > 0 && ph > 0 && m_memDC) {
        CBitmap newBitmap;
        newBitmap.CreateCompatibleBitmap(hdc, pw, ph);
        if (newBitmap) {
            m_memDC.SelectObject(newBitmap);
            m_bitmap = std::move(newBitmap); // deletes the previous paint's bitmap, no longer selected

            const int x0 = -part.rect.left;
            const int y0 = -part.rect.top;
            const bool metafileDrawn =
                DrawMetafileWithHugeEllipsesLeftOut(RECT{x0, y0, x0 + drawn.width, y0 + drawn.height});
            GpGraphics* pGraphics = nullptr;
            GdipCreateFromHDC(m_memDC, &pGraphics);
            std::unique_ptr<GpGraphics, GraphicsDeleter> graphics(pGraphics);
            if (graphics) {
                if (!metafileDrawn)
                    GdipDrawImageRectI(graphics.get(), m_pImage, x0, y0, drawn.width, drawn.height);
                if (!m_bCoverView) {
                    RECT strips[2];
                    int n = MarginRects(bitmap.cx, bitmap.cy, drawn.width, drawn.height, strips);
                    GpSolidFill* pBrush = nullptr;
                    GdipCreateSolidFill(kMarginColour, &pBrush);
                    std::unique_ptr<GpSolidFill, BrushDeleter> brush(pBrush);
                    for (int i = 0; i < n && brush; ++i)
                        GdipFillRectangleI(graphics.get(), brush.get(), x0 + strips[i].left, y0 + strips[i].top,
                                           strips[i].right - strips[i].left, strips[i].bottom - strips[i].top);
                }
            }
            ParallelogramBlt(hdc, part.pts, m_memDC, 0, 0, pw, ph);
        }
    }
    FillOutsideDisplay(hdc, display);
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
    return TRUE;
}

// Under Wine an ellipse costs time and memory by its whole size, however
// little of it shows: a metafile that would draw one larger than the bound
// here is drawn record by record without it (see view/MetafileEllipses.h).
bool CImageView::DrawMetafileWithHugeEllipsesLeftOut(const RECT& dest)
{
    ImageType type = ImageTypeUnknown;
    if (GdipGetImageType(m_pImage, &type) != Ok || type != ImageTypeMetafile || !m_hImageData)
        return false;
    const void* pData = ::GlobalLock(m_hImageData);
    if (!pData)
        return false;
    const bool drawn = DrawMetafileWithoutHugeEllipses(m_memDC, static_cast<const unsigned char*>(pData),
                                                       ::GlobalSize(m_hImageData), dest);
    ::GlobalUnlock(m_hImageData);
    return drawn;
}

// When the frame cannot shrink the view to the picture (a window has a
// smallest size), the rest of the view shows the window colour rather than
// whatever was there before.
void CImageView::FillOutsideDisplay(HDC hdc, SIZE display)
{
    RECT rc;
    GetClientRect(&rc);
    LONG dw = std::max<LONG>(display.cx, 0);
    LONG dh = std::max<LONG>(display.cy, 0);
    HBRUSH brush = ::GetSysColorBrush(COLOR_WINDOW);
    if (rc.right > dw) {
        RECT right = {dw, 0, rc.right, rc.bottom};
        ::FillRect(hdc, &right, brush);
    }
    if (rc.bottom > dh) {
        RECT below = {0, dh, std::min(dw, rc.right), rc.bottom};
        ::FillRect(hdc, &below, brush);
    }
}

BOOL CImageView::OpenInNewInstance(CString path)
{
    char module[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string folder = FolderOfPath(module);
    std::string parameters = QuoteForNewInstance(path.GetString());

    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpFile = module;
    info.lpParameters = parameters.c_str();
    info.lpDirectory = folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    s_pfnShellExecuteEx(&info);
    return TRUE;
}

// ---- input ----------------------------------------------------------------

namespace {

// The index that asks DragQueryFile for the number of dropped items.
constexpr UINT kDropCountQuery = 0xFFFFFFFF;

CString DroppedPath(HDROP hDrop, UINT index)
{
    UINT length = ::DragQueryFileA(hDrop, index, nullptr, 0);
    CString path;
    char* buffer = path.GetBuffer(static_cast<int>(length) + 1);
    ::DragQueryFileA(hDrop, index, buffer, length + 1);
    path.ReleaseBuffer();
    return path;
}

// Files only: folders (and what lies above them) and items outside the file
// system are skipped; so is an item the shell has nothing to say about.
bool IsDroppableFile(const CString& path)
{
    SHFILEINFOA info = {};
    if (!::SHGetFileInfoA(path, 0, &info, sizeof(info), SHGFI_ATTRIBUTES))
        return false;
    return (info.dwAttributes & SFGAO_FILESYSTEM) && !(info.dwAttributes & SFGAO_FILESYSANCESTOR);
}

} // namespace

void CImageView::LoadDropped(const CString& path)
{
    LoadImageFile(path);
    InvalidateRect(nullptr, TRUE);
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(WM_COMMAND, ID_FIT_WINDOW, 0);
}

void CImageView::OnDropFiles(HDROP hDropInfo)
{
    UINT count = ::DragQueryFileA(hDropInfo, kDropCountQuery, nullptr, 0);
    if (count == 1) {
        CString path = DroppedPath(hDropInfo, 0);
        if (::GetKeyState(VK_SHIFT) < 0)
            OpenInNewInstance(path);
        else
            LoadDropped(path);
    } else {
        // Only an empty window takes the first item; every other file goes
        // to a new process. Shift plays no part here.
        for (UINT i = 0; i < count; ++i) {
            CString path = DroppedPath(hDropInfo, i);
            if (!IsDroppableFile(path))
                continue;
            if (i == 0 && m_strPath.IsEmpty())
                LoadDropped(path);
            else
                OpenInNewInstance(path);
        }
    }
    Default();
    // The drop is over: its memory goes back.
    ::DragFinish(hDropInfo);
}

void CImageView::OnRButtonDown(UINT, POINT)
{
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(WM_COMMAND, ID_SHOW_CONTEXT_MENU, 0);
    Default();
}

void CImageView::OnLButtonDblClk(UINT, POINT)
{
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->PostMessage(WM_CLOSE);
    Default();
}

LRESULT CImageView::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN) {
        if (CWnd* pMain = AfxGetMainWnd()) {
            if (::GetKeyState(VK_SHIFT) < 0)
                pMain->PostMessage(WM_COMMAND, ID_START, 0);
            else if (m_settings.m_bFrameless)
                pMain->PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        }
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}
