// The view's paint: the part of the picture that shows, drawn off screen and
// put on the screen in one block transfer; the part is kept, so that a
// repaint of an unchanged view is that one transfer alone.
#include "CImageView.h"

#include "AfxGlobals.h"
#include "CPaintDC.h"
#include "ParallelogramBlt.h"
#include "afxres.h"
#include "view/PicturePaint.h"

#include <algorithm>

void CImageView::OnPaint()
{
    // All drawing happens in the erase, which beginning the paint triggers.
    CPaintDC dc(this);
}

bool CImageView::PaintKey::operator==(const PaintKey& other) const
{
    return version == other.version && display.cx == other.display.cx && display.cy == other.display.cy &&
           drawn.width == other.drawn.width && drawn.height == other.drawn.height &&
           shown.rotation == other.shown.rotation && shown.mirrored == other.shown.mirrored && cover == other.cover;
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

    // Only the part of the display that can show is drawn: the client area,
    // as far as the window system lets the paint through (a picture larger
    // than the screen, a window partly covered). An empty display (a zoom
    // value of 0 or below) has nothing to draw.
    RECT visible = rcClient;
    RECT clip;
    if (::GetClipBox(hdc, &clip) > NULLREGION)
        ::IntersectRect(&visible, &visible, &clip);
    const RECT whole = {0, 0, std::max<LONG>(display.cx, 0), std::max<LONG>(display.cy, 0)};
    RECT part;
    if (::IntersectRect(&part, &visible, &whole)) {
        const PaintKey key = {m_nPictureVersion, display, drawn, shown, m_bCoverView != FALSE};
        RECT covered;
        const bool bKept =
            m_bKept && key == m_keyKept && ::IntersectRect(&covered, &part, &m_rcKept) && ::EqualRect(&covered, &part);
        if (bKept || DrawKept(hdc, key, bitmap, visible)) {
            ::BitBlt(hdc, part.left, part.top, part.right - part.left, part.bottom - part.top, m_kept.GetDC(),
                     part.left - m_rcKept.left, part.top - m_rcKept.top, SRCCOPY);
            // The kept part serves repaints for a while after paints stop.
            SetTimer(kKeptIdleTimer, kKeptIdleMs);
        }
    }
    FillOutsideDisplay(hdc, rcClient, display);
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
    return TRUE;
}

// Draws the part of the display that `visible` lets show into the kept
// bitmap, as it shows on the screen. A picture neither turned nor mirrored is
// drawn straight into it; any other is drawn as stored into the scratch
// bitmap and moved through the transform into it.
bool CImageView::DrawKept(HDC hdc, const PaintKey& key, SIZE bitmap, const RECT& visible)
{
    ForgetKept();
    const TransformState orientation = m_pImage->GetOrientation();
    const PaintLayout layout = LayOutPaint(orientation, bitmap, key.drawn);
    const PaintRegion region = ComputePaintRegion(key.shown.rotation, key.shown.mirrored, key.display, visible);
    if (region.empty)
        return false;
    const RECT& source = region.source;
    const SIZE size = {source.right - source.left, source.bottom - source.top};
    // Where the part lands on the screen: the bounds of its parallelogram.
    RECT target = {std::min({region.pts[0].x, region.pts[1].x, region.pts[2].x}),
                   std::min({region.pts[0].y, region.pts[1].y, region.pts[2].y}), 0, 0};
    const bool bTurned = IsQuarterTurn(key.shown.rotation);
    target.right = target.left + (bTurned ? size.cy : size.cx);
    target.bottom = target.top + (bTurned ? size.cx : size.cy);
    const bool bIdentity = key.shown.rotation == 0 && !key.shown.mirrored;
    if (!m_kept.Prepare(hdc, SIZE{target.right - target.left, target.bottom - target.top}) ||
        (!bIdentity && !m_offscreen.Prepare(hdc, size)))
        return false;
    HDC hdcPart = bIdentity ? m_kept.GetDC() : m_offscreen.GetDC();
    if (key.cover) {
        // Only the part the paint needs: the kept bitmap may be larger.
        ::PatBlt(hdcPart, 0, 0, size.cx, size.cy, BLACKNESS);
        ::IntersectClipRect(hdcPart, 0, 0, size.cx, size.cy);
        m_coverCopy.Draw(hdcPart, *m_pImage, layout.picture, source);
        ::SelectClipRgn(hdcPart, nullptr);
    } else {
        m_coverCopy.Drop(); // the pulse is over
        const bool bCoversFully =
            m_pImage->IsOpaqueStill() && key.drawn.width == m_nImageWidth && key.drawn.height == m_nImageHeight;
        DrawPicturePart(hdcPart, *m_pImage, layout, source, bCoversFully);
    }
    if (!bIdentity) {
        POINT pts[3];
        for (int i = 0; i < 3; ++i)
            pts[i] = POINT{region.pts[i].x - target.left, region.pts[i].y - target.top};
        ParallelogramBlt(m_kept.GetDC(), pts, hdcPart, 0, 0, size.cx, size.cy);
        // The scratch bitmap is let go once paints stop for a moment.
        SetTimer(kIdleBitmapTimer, kIdleBitmapMs);
    }
    m_rcKept = target;
    m_keyKept = key;
    m_bKept = true;
    return true;
}
