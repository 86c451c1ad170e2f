#include "CControlBar.h"

#include "CFrameWnd.h"
#include "afxres.h"

CControlBar::~CControlBar()
{
    if (m_pDockSite)
        m_pDockSite->RemoveControlBar(this);
}

DWORD CControlBar::BeginCreate(CWnd* pParentWnd, DWORD dwStyle)
{
    constexpr DWORD kBarBits = 0x0000FF00; // CBRS_ alignment and border bits live here
    m_dwStyle = dwStyle & kBarBits;
    if (auto* pFrame = dynamic_cast<CFrameWnd*>(pParentWnd)) {
        m_pDockSite = pFrame;
        pFrame->AddControlBar(this);
    }
    return dwStyle & ~kBarBits;
}

int CControlBar::CalcHeight(int)
{
    RECT rc;
    GetWindowRect(&rc);
    return rc.bottom - rc.top;
}

void CControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
}
