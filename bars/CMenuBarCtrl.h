// The window's menu bar: a flat toolbar with one text button per top-level
// item of the menu it loads; the buttons' ids are their positions, which are
// also the positions of their popups in m_menu.
#pragma once

#include "CMenu.h"
#include "CToolBarCtrl.h"

class CMenuBarCtrl : public CToolBarCtrl {
public:
    enum { TRACK_NOTHING = 0, TRACK_BUTTON = 1, TRACK_POPUP = 2 };

    BOOL m_bInSubmenu = FALSE;
    BOOL m_bOnCascadeItem = FALSE;
    int m_iNewPopup = -1;
    BOOL m_bEscapeWasPressed = FALSE;
    POINT m_ptMouse = {0, 0};
    int m_iPopupTracking = -1;
    int m_iTrackingState = TRACK_NOTHING;
    CMenu m_menu;     // the menu the bar shows; owned by the bar
    int m_nButtons = 0;

    // Builds the buttons from menu resource nIDResource.
    BOOL LoadMenuBar(UINT nIDResource);
    // Called by the frame first for every message of the thread; TRUE when
    // the menu bar consumed it (Alt, F10, mnemonics, arrows).
    BOOL TranslateFrameMessage(MSG* pMsg);
    // The frame hands on WM_MENUSELECT, which reaches the popup's owner and
    // not the message filter while a popup is tracked.
    void OnFrameMenuSelect(UINT nItemID, UINT nFlags, HMENU hMenu);
};
