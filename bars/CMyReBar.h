// The frame's rebar, holding the menu bar in its one band.
#pragma once

#include "CReBar.h"

class CMyReBar : public CReBar {
public:
    // Index of the first band whose child is pWnd; the band count when none is.
    UINT GetBandPos(CWnd* pWnd) const;
};
