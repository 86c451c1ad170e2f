// Loading, geometry and painting of the view; its input is in
// CImageViewInput.cpp.
#include "CImageView.h"

#include "AfxGlobals.h"
#include "CPaintDC.h"
#include "CWaitCursor.h"
#include "ParallelogramBlt.h"
#include "afxres.h"
#include "view/PicturePaint.h"

namespace {

// Timers of the view window.
constexpr UINT_PTR kHistoryRetryTimer = 1;
constexpr UINT_PTR kFrameTimer = 2;
// The off-screen bitmap is let go once paints stop for a while.
constexpr UINT_PTR kIdleBitmapTimer = 3;
constexpr UINT kIdleBitmapMs = 1000;
constexpr UINT kHistoryRetryMs = 500;

const char kMsgCannotOpen[] = "ファイルがオープンできません";
const char kMsgUnsupported[] = "未対応のフォーマットです";

void TrimWorkingSet()
{
    ::SetProcessWorkingSetSize(::GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

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

CImageView::CImageView()
    : m_animation(*this, kFrameTimer),
      m_fileWatch([this](std::unique_ptr<CPicture> picture) { ShowChangedFile(std::move(picture)); })
{
}

CImageView::~CImageView()
{
    ReleaseImage();
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
    m_coverCopy.Drop();
    m_pImage.reset();
}

void CImageView::RepaintNow()
{
    InvalidateRect(nullptr, TRUE);
    UpdateWindow();
    CWnd* pMain = AfxGetMainWnd();
    if (!m_pImage && pMain)
        pMain->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
}

std::unique_ptr<CPicture> CImageView::ReadPicture(const CString& path)
{
    std::unique_ptr<CPicture> picture;
    PictureResult result;
    {
        CWaitCursor wait;
        result = CPicture::Load(path, &picture);
    }
    switch (result) {
    case PictureResult::Ok:
    case PictureResult::NoMemory: break;
    case PictureResult::CannotOpen:
        RepaintNow();
        MessageBox(kMsgCannotOpen, nullptr, MB_OK);
        break;
    case PictureResult::Unsupported:
        // The view (and the status line) show empty while the message is up.
        RepaintNow();
        MessageBox(kMsgUnsupported, nullptr, MB_OK);
        break;
    }
    return picture;
}

BOOL CImageView::LoadImageFile(CString path)
{
    return LoadImageFile(path, TRUE);
}

BOOL CImageView::LoadImageFile(CString path, BOOL bAddToHistory)
{
    BeginLoad(path, bAddToHistory);
    std::unique_ptr<CPicture> picture = ReadPicture(path);
    if (picture)
        ShowPicture(std::move(picture), path, bAddToHistory);
    TrimWorkingSet();
    return TRUE;
}

BOOL CImageView::ShowDecodedPicture(std::unique_ptr<CPicture> picture, CString path, BOOL bAddToHistory)
{
    BeginLoad(path, bAddToHistory);
    if (picture)
        ShowPicture(std::move(picture), path, bAddToHistory);
    TrimWorkingSet();
    return TRUE;
}

// The view returns to empty (the title "KEP", no path, no animation, the old
// picture let go) before a new picture is read.
void CImageView::BeginLoad(const CString& path, BOOL bAddToHistory)
{
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SetWindowText("KEP");
    m_strPath.Empty();
    m_strLastLoadPath = path;
    if (bAddToHistory)
        m_strHistoryPath.Empty();
    m_animation.Stop();
    m_fileWatch.Stop();
    ReleaseImage();
}

void CImageView::ShowPicture(std::unique_ptr<CPicture> picture, const CString& path, BOOL bAddToHistory)
{
    m_pImage = std::move(picture);
    m_strPath = path;
    m_fileWatch.Watch(m_strPath);
    // The picture's size as it stands upright: everything that shows it
    // (zoom, fit, status) sees it so.
    const SIZE upright = m_pImage->GetUprightSize();
    m_nImageWidth = upright.cx;
    m_nImageHeight = upright.cy;
    if (CWnd* pMain = AfxGetMainWnd()) {
        pMain->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
        pMain->SetWindowText("KEP - " + m_strPath);
    }
    if (bAddToHistory) {
        m_strHistoryPath = m_strPath;
        CString added = m_strPath;
        if (!m_history.AddPath(added))
            SetTimer(kHistoryRetryTimer, kHistoryRetryMs);
    }
    if (ReadFrameInfo())
        RepaintNow();
    else
        m_pImage->ConvertForDrawing();
}

BOOL CImageView::ReadFrameInfo()
{
    return m_animation.Start(m_pImage.get());
}

UINT CImageView::GetFrameDelayMs(int nFrame) const
{
    return m_pImage ? m_pImage->GetFrameDelayMs(nFrame) : FrameDelayMs({}, nFrame);
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
        m_offscreen.Release();
    } else if (nIDEvent == kFrameTimer) {
        if (!m_animation.NextFrame(m_pImage.get()))
            return;
        m_coverCopy.Drop(); // it shows the frame before
        RepaintNow();
        // Each frame stays for its own delay, counted from its paint.
        m_animation.ArmTimer(*m_pImage);
    } else {
        Default();
    }
}

// ---- geometry ---------------------------------------------------------------

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

// ---- paint ------------------------------------------------------------------

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
    RECT rcClient;
    GetClientRect(&rcClient);
    SIZE display = {rcImage.right - rcImage.left, rcImage.bottom - rcImage.top};
    if (m_bCoverView) {
        // The pulse resizes the window, not the zoom: the picture covers the
        // view as it is now, whatever the zoom mode.
        display = SIZE{rcClient.right, rcClient.bottom};
    }
    const SIZE bitmap = BitmapSizeForDisplay(display, m_nRotation);
    const DrawnSize drawn = ComputeDrawnSize(m_nImageWidth, m_nImageHeight, bitmap.cx, bitmap.cy,
                                             m_settings.m_nZoomMode, m_settings.m_nZoomValue, m_bCoverView != FALSE);
    m_nZoomPercent = drawn.percent;

    // The picture stands as the camera meant it, then takes the user's turns
    // and mirror: the off-screen bitmap holds it as stored, and the transfer
    // applies both.
    const TransformState orientation = m_pImage->GetOrientation();
    const TransformState shown = Compose(orientation, TransformState{m_nRotation, m_bMirrored != FALSE});
    const PaintLayout layout = LayOutPaint(orientation, bitmap, drawn);

    // Only the part of the display that can show is drawn: the client area,
    // as far as the window system lets the paint through (a picture larger
    // than the screen, a window partly covered). An empty display (a zoom
    // value of 0 or below) has nothing to draw.
    RECT visible = rcClient;
    RECT clip;
    if (::GetClipBox(hdc, &clip) > NULLREGION)
        ::IntersectRect(&visible, &visible, &clip);
    const PaintRegion region = ComputePaintRegion(shown.rotation, shown.mirrored, display, visible);
    const RECT& source = region.source;
    const SIZE part = {source.right - source.left, source.bottom - source.top};
    if (!region.empty && m_offscreen.Prepare(hdc, part)) {
        HDC hdcMem = m_offscreen.GetDC();
        if (m_bCoverView) {
            // Only the part the paint needs: the kept bitmap may be larger.
            ::PatBlt(hdcMem, 0, 0, part.cx, part.cy, BLACKNESS);
            ::IntersectClipRect(hdcMem, 0, 0, part.cx, part.cy);
            m_coverCopy.Draw(hdcMem, *m_pImage, layout.picture, source);
            ::SelectClipRgn(hdcMem, nullptr);
        } else {
            m_coverCopy.Drop(); // the pulse is over
            const bool bCoversFully =
                m_pImage->IsOpaqueStill() && drawn.width == m_nImageWidth && drawn.height == m_nImageHeight;
            DrawPicturePart(hdcMem, *m_pImage, layout, source, bCoversFully);
        }
        ParallelogramBlt(hdc, region.pts, hdcMem, 0, 0, part.cx, part.cy);
        // Kept while paints follow each other (an animation, the pulse, a
        // window dragged over the picture), given back when they stop.
        SetTimer(kIdleBitmapTimer, kIdleBitmapMs);
    }
    FillOutsideDisplay(hdc, rcClient, display);
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
    return TRUE;
}
