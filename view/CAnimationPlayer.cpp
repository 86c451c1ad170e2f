#include "view/CAnimationPlayer.h"

#include "CWnd.h"
#include "image/CPicture.h"

BOOL CAnimationPlayer::Start(CPicture* pPicture)
{
    Stop();
    if (!pPicture)
        return FALSE;
    m_nFrameCount = pPicture->GetFrameCount();
    if (!pPicture->IsAnimated())
        return FALSE;
    pPicture->SelectFrame(m_nCurFrame);
    ArmTimer(*pPicture);
    return TRUE;
}

void CAnimationPlayer::Stop()
{
    if (m_wnd.m_hWnd)
        m_wnd.KillTimer(m_nTimerId);
    m_nFrameCount = 0;
    m_nCurFrame = 0;
}

BOOL CAnimationPlayer::NextFrame(CPicture* pPicture)
{
    m_wnd.KillTimer(m_nTimerId);
    if (!pPicture || m_nFrameCount < 2)
        return FALSE;
    if (++m_nCurFrame >= m_nFrameCount)
        m_nCurFrame = 0;
    pPicture->SelectFrame(m_nCurFrame);
    return TRUE;
}

void CAnimationPlayer::ArmTimer(const CPicture& picture)
{
    m_wnd.SetTimer(m_nTimerId, picture.GetFrameDelayMs(m_nCurFrame));
}
