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
#include <string>
#include <vector>

#include "AfxFileSystem.h"
#include "AfxGlobals.h"
#include "AfxStream.h"
#include "afxres.h"
#include "CFile.h"
#include "CPaintDC.h"
#include "CWaitCursor.h"
#include "MbString.h"
#include "ParallelogramBlt.h"
#include "frame/CommandLine.h"
#include "framework/AnsiPath.h"
#include "res/resource.h"
#include "view/ImageGeometry.h"
#include "image/ImageFile.h"
#include "image/MetafileEllipses.h"
#include "view/WheelSteps.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// Timers of the view window.
constexpr UINT_PTR kHistoryRetryTimer = 1;
constexpr UINT_PTR kFrameTimer = 2;
// The off-screen bitmap is let go once paints stop for a while.
constexpr UINT_PTR kIdleBitmapTimer = 3;
constexpr UINT kIdleBitmapMs = 1000;
constexpr UINT kHistoryRetryMs = 500;
// A frame whose delay the image does not give stays this long.
constexpr UINT kDefaultFrameDelayMs = 100;
constexpr PROPID kFrameDelayProperty = 0x5100;
// The margins of a picture smaller than its display: opaque white (ARGB).
constexpr ARGB kMarginColour = 0xFFFFFFFF;
constexpr ARGB kCornerColour = 0xFF000000;
// A kept off-screen bitmap may be up to four times the area a paint needs,
// and this much more, before it is made anew at the smaller size.
constexpr long long kKeptBitmapSlack = 1024 * 1024;

// The time dimension of animated images.
const GUID kFrameDimensionTime = {0x6AEDBD6D, 0x3FB5, 0x418A, {0x83, 0xA6, 0x7F, 0x45, 0x22, 0x9D, 0xC8, 0x72}};

const char kMsgCannotOpen[] = "ファイルがオープンできません";
const char kMsgUnsupported[] = "未対応のフォーマットです";

// Whether GDI+ holds the picture as a bitmap without transparency: a pixel
// format without alpha, or an indexed one whose palette has none.
bool IsOpaqueBitmap(GpImage* pImage)
{
    ImageType type = ImageTypeUnknown;
    PixelFormat format = 0;
    if (GdipGetImageType(pImage, &type) != Ok || type != ImageTypeBitmap ||
        GdipGetImagePixelFormat(pImage, &format) != Ok)
        return false;
    if (format & (PixelFormatAlpha | PixelFormatPAlpha))
        return false;
    if (!(format & PixelFormatIndexed))
        return true;
    INT size = 0;
    if (GdipGetImagePaletteSize(pImage, &size) != Ok || size < static_cast<INT>(sizeof(ColorPalette)))
        return false;
    std::vector<BYTE> buffer(static_cast<size_t>(size));
    auto* pPalette = reinterpret_cast<ColorPalette*>(buffer.data());
    return GdipGetImagePalette(pImage, pPalette, size) == Ok && !(pPalette->Flags & PaletteFlagsHasAlpha);
}

// A 32-bit RGB copy of an opaque bitmap of 24 bits a pixel or more, or
// nullptr; pictures of fewer bits would take more memory as a copy. While
// the copy is made the decoder's image and the copy are both held; the first
// paint of the decoder's image at 100 % would take as much again, since GDI+
// converts the whole picture for it.
GpImage* ConvertedForDrawing(GpImage* pImage)
{
    PixelFormat format = 0;
    if (!IsOpaqueBitmap(pImage) || GdipGetImagePixelFormat(pImage, &format) != Ok || format == PixelFormat32bppRGB ||
        GetPixelFormatSize(format) < 24)
        return nullptr;
    UINT width = 0;
    UINT height = 0;
    GdipGetImageWidth(pImage, &width);
    GdipGetImageHeight(pImage, &height);
    GpBitmap* pCopy = nullptr;
    if (GdipCloneBitmapAreaI(0, 0, static_cast<INT>(width), static_cast<INT>(height), PixelFormat32bppRGB,
                             static_cast<GpBitmap*>(pImage), &pCopy) != Ok)
        return nullptr;
    return pCopy;
}

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
    ON_WM_MOUSEWHEEL()
    ON_WM_XBUTTONUP()
    ON_WM_APPCOMMAND()
END_MESSAGE_MAP()

BOOL(WINAPI* CImageView::s_pfnShellExecuteEx)(SHELLEXECUTEINFOA*) = &::ShellExecuteExA;

CImageView::CImageView() = default;

CImageView::~CImageView()
{
    // The last off-screen bitmap can only be deleted once it is no longer selected.
    if (m_memDC && m_hStockBitmap)
        m_memDC.SelectObject(m_hStockBitmap);
    DropCoverCopy();
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
    DropCoverCopy();
    m_bOpaqueStill = false;
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
    CWnd* pMain = AfxGetMainWnd();
    if (!m_pImage && pMain)
        pMain->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
}

BOOL CImageView::ReadFileIntoMemory(const CString& path, SIZE_T* pcbData)
{
    ImageFileResult result;
    {
        CWaitCursor wait;
        result = ReadImageFile(path, &m_hImageData, pcbData);
    }
    switch (result) {
    case ImageFileResult::Ok: return TRUE;
    case ImageFileResult::CannotOpen:
        RepaintNow();
        MessageBox(kMsgCannotOpen, nullptr, MB_OK);
        return FALSE;
    case ImageFileResult::Unsupported:
        RepaintNow();
        MessageBox(kMsgUnsupported, nullptr, MB_OK);
        return FALSE;
    case ImageFileResult::NoMemory: break;
    }
    return FALSE;
}

BOOL CImageView::LoadImageFile(CString path)
{
    return LoadImageFile(path, TRUE);
}

BOOL CImageView::LoadImageFile(CString path, BOOL bAddToHistory)
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain)
        pMain->SetWindowText("KEP");
    m_strPath.Empty();
    m_strLastLoadPath = path;
    if (bAddToHistory)
        m_strHistoryPath.Empty();
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
            GpStatus status;
            {
                CWaitCursor wait;
                status = GdipLoadImageFromStream(m_pStream, &pImage);
            }
            m_pImage = pImage;
            if (status != Ok) {
                ReleaseImage();
                RepaintNow();
                MessageBox(kMsgUnsupported, nullptr, MB_OK);
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
                if (bAddToHistory) {
                    m_strHistoryPath = m_strPath;
                    CString added = m_strPath;
                    if (!m_history.AddPath(added))
                        SetTimer(kHistoryRetryTimer, kHistoryRetryMs);
                }
                if (ReadFrameInfo()) {
                    SelectFrame(m_nCurFrame);
                    SetTimer(kFrameTimer, GetFrameDelayMs(m_nCurFrame));
                    RepaintNow();
                } else {
                    m_bOpaqueStill = IsOpaqueBitmap(m_pImage);
                    ConvertForDrawing();
                }
            }
        }
        if (!m_pImage)
            ReleaseImage();
    }
    TrimWorkingSet();
    return TRUE;
}

// A still, opaque picture is kept as a 32-bit RGB bitmap of its own instead
// of the decoder's image: GDI+ then copies it to the screen at 100 % without
// converting the whole picture at every paint, and a scaled paint reads it as
// fast as the original. The original, its stream and the file's bytes are let
// go, so this costs no memory (it saves the decoder's own copy). Pictures with
// transparency, animations and anything that is not a bitmap stay as decoded.
void CImageView::ConvertForDrawing()
{
    GpImage* pConverted = ConvertedForDrawing(m_pImage);
    if (!pConverted)
        return;
    GdipDisposeImage(m_pImage);
    m_pImage = pConverted;
    if (m_pStream) {
        m_pStream->Release(); // frees the file's bytes with it
        m_pStream = nullptr;
        m_hImageData = nullptr;
    }
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
        if (m_pFrameDelays && GdipGetPropertyItem(m_pImage, kFrameDelayProperty, size,
                                                  static_cast<PropertyItem*>(m_pFrameDelays)) != Ok) {
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
    DropCoverCopy(); // it shows the frame before
}

void CImageView::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kHistoryRetryTimer) {
        KillTimer(kHistoryRetryTimer);
        CString added = m_strHistoryPath;
        if (!m_history.AddPath(added))
            SetTimer(kHistoryRetryTimer, kHistoryRetryMs);
    } else if (nIDEvent == kIdleBitmapTimer) {
        KillTimer(kIdleBitmapTimer);
        ReleaseOffscreen();
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
    if (m_bCoverView) {
        // The pulse resizes the window, not the zoom: the picture covers the
        // view as it is now, whatever the zoom mode.
        RECT rcClient;
        GetClientRect(&rcClient);
        display = SIZE{rcClient.right, rcClient.bottom};
    }
    SIZE bitmap = BitmapSizeForDisplay(display, m_nRotation);
    DrawnSize drawn = ComputeDrawnSize(m_nImageWidth, m_nImageHeight, bitmap.cx, bitmap.cy, m_settings.m_nZoomMode,
                                       m_settings.m_nZoomValue, m_bCoverView != FALSE);
    m_nZoomPercent = drawn.percent;

    if (m_bNeedMemDC) {
        m_bNeedMemDC = FALSE;
        m_memDC.CreateCompatibleDC(hdc);
        m_hStockBitmap = ::GetCurrentObject(m_memDC, OBJ_BITMAP);
    }
    // Only the part of the display that can show is drawn: the client area,
    // as far as the window system lets the paint through (a picture larger
    // than the screen, a window partly covered). An empty display (a zoom
    // value of 0 or below) has nothing to draw.
    RECT visible;
    GetClientRect(&visible);
    RECT clip;
    if (::GetClipBox(hdc, &clip) > NULLREGION)
        ::IntersectRect(&visible, &visible, &clip);
    const PaintRegion region = ComputePaintRegion(m_nRotation, m_bMirrored != FALSE, display, visible);
    if (!region.empty && m_memDC && PrepareOffscreen(hdc, region.source)) {
        DrawPart(drawn, bitmap, region.source);
        const RECT& source = region.source;
        ParallelogramBlt(hdc, region.pts, m_memDC, 0, 0, source.right - source.left, source.bottom - source.top);
        // Kept while paints follow each other (an animation, the pulse, a
        // window dragged over the picture), given back when they stop.
        SetTimer(kIdleBitmapTimer, kIdleBitmapMs);
    }
    FillOutsideDisplay(hdc, display);
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
    return TRUE;
}

// The off-screen bitmap is kept from paint to paint and only made anew when
// a paint needs more than it holds, or far less (so a picture zoomed down
// gives its memory back).
BOOL CImageView::PrepareOffscreen(HDC hdc, const RECT& source)
{
    const SIZE need = {source.right - source.left, source.bottom - source.top};
    const bool bLargeEnough = m_bitmap && m_sizeBitmap.cx >= need.cx && m_sizeBitmap.cy >= need.cy;
    const bool bFarTooLarge = static_cast<long long>(m_sizeBitmap.cx) * m_sizeBitmap.cy >
                              4 * static_cast<long long>(need.cx) * need.cy + kKeptBitmapSlack;
    if (bLargeEnough && !bFarTooLarge)
        return TRUE;
    // The old bitmap goes first, so the two never take memory at once.
    ReleaseOffscreen();
    CBitmap newBitmap;
    if (!newBitmap.CreateCompatibleBitmap(hdc, need.cx, need.cy))
        return FALSE;
    m_memDC.SelectObject(newBitmap);
    m_bitmap = std::move(newBitmap);
    m_sizeBitmap = need;
    return TRUE;
}

void CImageView::ReleaseOffscreen()
{
    if (m_memDC && m_hStockBitmap)
        m_memDC.SelectObject(m_hStockBitmap);
    m_bitmap.DeleteObject();
    m_sizeBitmap = SIZE{0, 0};
}

// Draws the part `source` of the whole off-screen picture (bitmap.cx x
// bitmap.cy, the image drawn at drawn.width x drawn.height from its corner,
// white margins beside and below it) into the top-left corner of the kept
// bitmap. The whole picture is drawn shifted, so every pixel is the one a
// draw of the whole would give there.
void CImageView::DrawPart(const DrawnSize& drawn, SIZE bitmap, const RECT& source)
{
    const int width = source.right - source.left;
    const int height = source.bottom - source.top;
    // The kept bitmap still holds an earlier paint. Every pixel the picture
    // does not cover fully must show black, as on a newly made bitmap: its
    // transparent pixels, the edges of an enlarged picture (GDI+ blends them
    // with what is there), a strip the cover size falls short of. Only an
    // opaque picture at its own size covers all it is drawn on.
    const bool bCoversFully =
        !m_bCoverView && m_bOpaqueStill && drawn.width == m_nImageWidth && drawn.height == m_nImageHeight;
    if (!bCoversFully)
        ::PatBlt(m_memDC, 0, 0, width, height, BLACKNESS);
    if (m_bCoverView) {
        // Only the part the paint needs: the kept bitmap may be larger.
        ::IntersectClipRect(m_memDC, 0, 0, width, height);
        DrawCoverPart(drawn, source);
        ::SelectClipRgn(m_memDC, nullptr);
        return;
    }
    DropCoverCopy(); // the pulse is over
    const RECT dest = {-source.left, -source.top, drawn.width - source.left, drawn.height - source.top};
    const bool bMetafileDrawn = DrawMetafileWithHugeEllipsesLeftOut(m_memDC, dest);
    GpGraphics* pGraphics = nullptr;
    GdipCreateFromHDC(m_memDC, &pGraphics);
    std::unique_ptr<GpGraphics, GraphicsDeleter> graphics(pGraphics);
    if (!graphics)
        return;
    GdipSetClipRectI(graphics.get(), 0, 0, width, height, CombineModeReplace);
    if (!bMetafileDrawn)
        GdipDrawImageRectI(graphics.get(), m_pImage, -source.left, -source.top, drawn.width, drawn.height);
    RECT strips[2];
    const int n = MarginRects(bitmap.cx, bitmap.cy, drawn.width, drawn.height, strips);
    GpSolidFill* pBrush = nullptr;
    GdipCreateSolidFill(kMarginColour, &pBrush);
    std::unique_ptr<GpSolidFill, BrushDeleter> brush(pBrush);
    for (int i = 0; i < n && brush; ++i)
        GdipFillRectangleI(graphics.get(), brush.get(), strips[i].left - source.left, strips[i].top - source.top,
                           strips[i].right - strips[i].left, strips[i].bottom - strips[i].top);
    // The corner beside and below the picture belongs to neither margin: it
    // shows black, as a newly made bitmap does.
    if (bitmap.cx > drawn.width && bitmap.cy > drawn.height) {
        GpSolidFill* pBlack = nullptr;
        GdipCreateSolidFill(kCornerColour, &pBlack);
        std::unique_ptr<GpSolidFill, BrushDeleter> black(pBlack);
        if (black)
            GdipFillRectangleI(graphics.get(), black.get(), drawn.width - source.left, drawn.height - source.top,
                               bitmap.cx - drawn.width, bitmap.cy - drawn.height);
    }
}

// While the pulse runs the picture changes size fifty times a second, and
// GDI+ scales it far too slowly for that. So the picture is drawn once by
// GDI+ at the pulse's largest size, and each tick scales that copy down with
// GDI's halftone stretch, which looks the same to the eye. A copy smaller than
// a paint needs (the first tick after the start, which paints at the size the
// picture had) is drawn anew; the copy goes when the pulse ends, the picture
// changes or another frame of an animation shows.
void CImageView::DrawCoverPart(const DrawnSize& drawn, const RECT& source)
{
    if (drawn.width <= 0 || drawn.height <= 0)
        return;
    if (!m_coverCopy || drawn.width > m_sizeCoverCopy.cx || drawn.height > m_sizeCoverCopy.cy) {
        DropCoverCopy();
        if (!m_coverDC.CreateCompatibleDC(m_memDC) ||
            !m_coverCopy.CreateCompatibleBitmap(m_memDC, drawn.width, drawn.height)) {
            DropCoverCopy();
            return;
        }
        m_hCoverStockBitmap = ::SelectObject(m_coverDC, m_coverCopy);
        m_sizeCoverCopy = SIZE{drawn.width, drawn.height};
        GpGraphics* pGraphics = nullptr;
        GdipCreateFromHDC(m_coverDC, &pGraphics);
        std::unique_ptr<GpGraphics, GraphicsDeleter> graphics(pGraphics);
        if (!DrawMetafileWithHugeEllipsesLeftOut(m_coverDC, RECT{0, 0, drawn.width, drawn.height}) && graphics)
            GdipDrawImageRectI(graphics.get(), m_pImage, 0, 0, drawn.width, drawn.height);
    }
    const int mode = ::SetStretchBltMode(m_memDC, HALFTONE);
    POINT origin;
    ::SetBrushOrgEx(m_memDC, 0, 0, &origin);
    ::StretchBlt(m_memDC, -source.left, -source.top, drawn.width, drawn.height, m_coverDC, 0, 0, m_sizeCoverCopy.cx,
                 m_sizeCoverCopy.cy, SRCCOPY);
    ::SetBrushOrgEx(m_memDC, origin.x, origin.y, nullptr);
    ::SetStretchBltMode(m_memDC, mode);
}

// Under Wine an ellipse costs time and memory by its whole size, however
// little of it shows: a metafile that would draw one larger than the bound
// here is drawn record by record without it (see image/MetafileEllipses.h).
bool CImageView::DrawMetafileWithHugeEllipsesLeftOut(HDC hdc, const RECT& dest)
{
    ImageType type = ImageTypeUnknown;
    if (GdipGetImageType(m_pImage, &type) != Ok || type != ImageTypeMetafile || !m_hImageData)
        return false;
    const void* pData = ::GlobalLock(m_hImageData);
    if (!pData)
        return false;
    const bool bDrawn = DrawMetafileWithoutHugeEllipses(hdc, static_cast<const unsigned char*>(pData),
                                                        ::GlobalSize(m_hImageData), dest);
    ::GlobalUnlock(m_hImageData);
    return bDrawn;
}

void CImageView::DropCoverCopy()
{
    if (m_coverDC && m_hCoverStockBitmap)
        ::SelectObject(m_coverDC, m_hCoverStockBitmap);
    m_hCoverStockBitmap = nullptr;
    m_coverCopy.DeleteObject();
    m_coverDC.DeleteDC();
    m_sizeCoverCopy = SIZE{0, 0};
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
    const CString module = AfxGetModuleFileName();
    std::string folder = FolderOfPath(module.GetString());
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

// The item's path is read in UTF-16, where a name outside the ANSI code page
// is still whole, and kept in its ANSI form (the short name for such a name).
CString DroppedPath(HDROP hDrop, UINT index)
{
    const UINT length = ::DragQueryFileW(hDrop, index, nullptr, 0);
    std::wstring path(static_cast<size_t>(length) + 1, L'\0');
    path.resize(::DragQueryFileW(hDrop, index, path.data(), length + 1));
    return AnsiPathForWide(path).c_str();
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
    UINT count = ::DragQueryFileW(hDropInfo, kDropCountQuery, nullptr, 0);
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

void CImageView::SendToFrame(UINT nID)
{
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(WM_COMMAND, nID, 0);
}

BOOL CImageView::OnMouseWheel(UINT nFlags, short zDelta, POINT)
{
    const bool bAlpha = (nFlags & MK_CONTROL) != 0;
    // Turning on with the other kind starts that one afresh.
    (bAlpha ? m_nZoomWheel : m_nAlphaWheel) = 0;
    const int notches = TakeWheelNotches(bAlpha ? &m_nAlphaWheel : &m_nZoomWheel, zDelta);
    if (notches == 0)
        return TRUE;
    UINT nID = 0;
    if (bAlpha) {
        nID = AlphaCommandForWheel(m_settings.m_nAlpha, notches);
    } else if (m_pImage) {
        UpdateFreeZoom();
        nID = ZoomCommandForWheel(DisplayedZoomPercent(m_nImageWidth, m_nImageHeight, m_settings.m_nZoomMode,
                                                       m_settings.m_nZoomValue, m_dFreeZoom),
                                  notches);
    }
    if (nID)
        SendToFrame(nID);
    return TRUE;
}

// Taken on the release, as the system takes its back and forward buttons;
// handled here, the release makes no WM_APPCOMMAND as well.
void CImageView::OnXButtonUp(UINT, UINT nButton, POINT)
{
    if (nButton == XBUTTON1)
        SendToFrame(ID_STEP_PREVIOUS);
    else if (nButton == XBUTTON2)
        SendToFrame(ID_STEP_NEXT);
}

LRESULT CImageView::OnAppCommand(HWND, UINT nCmd, UINT, UINT)
{
    if (nCmd == APPCOMMAND_BROWSER_BACKWARD) {
        SendToFrame(ID_STEP_PREVIOUS);
        return TRUE;
    }
    if (nCmd == APPCOMMAND_BROWSER_FORWARD) {
        SendToFrame(ID_STEP_NEXT);
        return TRUE;
    }
    return Default();
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
