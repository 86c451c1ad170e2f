// Base of the bars a frame lays out around its view: a bar keeps its
// alignment (CBRS_ bits) apart from the window style and tells the frame how
// high it wants to be.
#pragma once

#include "CWnd.h"

class CFrameWnd;

class CControlBar : public CWnd {
public:
    DWORD m_dwStyle = 0;              // CBRS_ alignment and border bits
    CFrameWnd* m_pDockSite = nullptr; // the frame that lays the bar out

    ~CControlBar() override;

    // The height (horizontal bars) the bar needs when the frame is cx wide.
    virtual int CalcHeight(int cx);
    // Idle-time update of the bar's elements from the target's update handlers.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler);

protected:
    // Registers the bar with its frame and splits the CBRS_ bits off the style.
    DWORD BeginCreate(CWnd* pParentWnd, DWORD dwStyle);
};
