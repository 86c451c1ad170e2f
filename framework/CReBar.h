// A rebar control as a control bar at the top of the frame; each band holds
// one child window.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "CControlBar.h"

// Band records are passed at their size before the chevron fields were
// added (REBARBANDINFOA_V6_SIZE): every version of the control takes that
// size, while the newest record size is refused by the older controls.
class CReBar : public CControlBar {
public:
    BOOL Create(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID);
    // Adds pBar as a new band; its current window size gives the band's child size.
    BOOL AddBar(CWnd* pBar, LPCSTR pszText = nullptr, HBITMAP hbmp = nullptr, UINT nStyle = 0);
    UINT GetBandCount() const { return static_cast<UINT>(SendMessage(RB_GETBANDCOUNT)); }

    int CalcHeight(int cx) override;
};
