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
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CImageView::CImageView()
    : m_animation(*this, kFrameTimer),
      m_fileWatch([this](std::unique_ptr<CPicture> picture) { ShowChangedFile(std::move(picture)); })
{
}

CImageView::~CImageView()
{
    // Whoever frees pictures elsewhere may be gone before the view.
    // Whoever frees pictures aside may be gone before the view.
    ReleaseImage(false);
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

void CImageView::ReleaseImage(bool bFreeAside)
{
    m_coverCopy.Drop();
    ForgetKept();
    ++m_nPictureVersion;
    if (bFreeAside && m_releasePicture && m_pImage)
        m_releasePicture(std::move(m_pImage));
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

std::unique_ptr<CPicture> CImageView::ReadPicture(const CString& path, FileStamp* stamp)
{
    std::unique_ptr<CPicture> picture;
    PictureResult result;
    {
        CWaitCursor wait;
        *stamp = StampOf(path);
        result = CPicture::Load(path, &picture);
    }
    ReportFailure(result);
    return picture;
}

void CImageView::ReportFailure(PictureResult result)
{
    switch (result) {
    case PictureResult::Ok:
    case PictureResult::NoMemory:
    case PictureResult::Cancelled: break;
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
}

BOOL CImageView::LoadImageFile(CString path)
{
    return LoadImageFile(path, TRUE);
}

BOOL CImageView::LoadImageFile(CString path, BOOL bAddToHistory)
{
    // The old picture is freed at once: the new one is decoded right here,
    // and the two should not take memory together.
    BeginLoad(path, bAddToHistory, true, false);
    FileStamp stamp;
    std::unique_ptr<CPicture> picture = ReadPicture(path, &stamp);
    if (picture)
        ShowPicture(std::move(picture), path, bAddToHistory, stamp);
    TrimWorkingSet();
    return TRUE;
}

BOOL CImageView::ShowDecodedPicture(std::unique_ptr<CPicture> picture, PictureResult result, CString path,
                                    BOOL bAddToHistory, const FileStamp& stamp)
{
    // A picture decoded already is titled at once: the blank title would
    // never show, and setting it redraws the caption.
    BeginLoad(path, bAddToHistory, !picture, true);
    if (picture)
        ShowPicture(std::move(picture), path, bAddToHistory, stamp);
    else
        ReportFailure(result);
    TrimWorkingSet();
    return TRUE;
}

// The view returns to empty (the title "KEP", no path, no animation, the old
// picture let go) before a new picture is read.
void CImageView::BeginLoad(const CString& path, BOOL bAddToHistory, bool bBlankTitle, bool bFreeAside)
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain && bBlankTitle)
        pMain->SetWindowText("KEP");
    m_strPath.Empty();
    m_strLastLoadPath = path;
    ++m_nLoadCount;
    if (bAddToHistory)
        m_strHistoryPath.Empty();
    m_animation.Stop();
    m_fileWatch.Stop();
    ReleaseImage(bFreeAside);
}

void CImageView::ShowPicture(std::unique_ptr<CPicture> picture, const CString& path, BOOL bAddToHistory,
                             const FileStamp& stamp)
{
    m_pImage = std::move(picture);
    m_strPath = path;
    m_fileWatch.Watch(m_strPath, stamp);
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
    } else if (nIDEvent == kKeptIdleTimer) {
        KillTimer(kKeptIdleTimer);
        ForgetKept();
        m_kept.Release();
    } else if (nIDEvent == kFrameTimer) {
        if (!m_animation.NextFrame(m_pImage.get()))
            return;
        ++m_nPictureVersion;
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
