// The window's menu bar: a flat toolbar with one text button per top-level
// item of the menu it loads; the buttons' ids are their positions, which are
// also the positions of their popups in m_menu.
//
// A button drops down its popup under itself; while a popup is open the bar
// follows the mouse and Left/Right from button to button, closing one popup
// and opening the next. Alt or F10 switch to a keyboard mode in which the
// arrow keys move a highlight over the buttons.
#pragma once

#include "CMenu.h"
#include "CToolBarCtrl.h"

class CMenuBarCtrl : public CToolBarCtrl {
public:
    enum {
        TRACK_NOTHING = 0,
        TRACK_BUTTON = 1,
        TRACK_POPUP = 2
    };

    BOOL m_bInSubmenu = FALSE;        // the selection lies in a cascade, not in the button's own popup
    BOOL m_bOnCascadeItem = FALSE;    // the selected item opens a cascade
    int m_iNewPopup = -1;             // button to open once the current popup has closed
    BOOL m_bEscapeWasPressed = FALSE; // Escape closed the open popup, not just a cascade of it
    POINT m_ptMouse = {0, 0};         // last mouse position seen, client coordinates
    int m_iPopupTracking = -1;        // button whose popup is (or was last) open
    int m_iTrackingState = TRACK_NOTHING;
    CMenu m_menu; // the menu the bar shows; owned by the bar
    // The popup to open (or open now) was asked for from the keyboard: it
    // opens with its first item highlighted, as a popup of the system's own
    // menu bar does. A popup the mouse opens shows no highlight.
    BOOL m_bPopupByKeyboard = FALSE;
    int m_nButtons = 0;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A message the open popup is about to handle; TRUE when the bar consumed it.
    virtual BOOL OnMenuInput(MSG& m);

    // Builds the buttons from menu resource nIDResource.
    BOOL LoadMenuBar(UINT nIDResource);
    // Called by the frame first for every message of the thread; TRUE when
    // the menu bar consumed it (Alt, F10, mnemonics, arrows).
    BOOL TranslateFrameMessage(MSG* pMsg);
    // The frame hands on WM_MENUSELECT, which reaches the popup's owner and
    // not the message filter while a popup is tracked.
    void OnFrameMenuSelect(UINT nItemID, UINT nFlags, HMENU hMenu);
    // The button at pt (client coordinates); a button reaching beyond the
    // client area counts only when it is the first one.
    int HitTest(POINT pt) const;

protected:
    // Drops down the popup of iButton, then of every button the user moves to.
    void TrackPopup(int iButton);
    void SetTrackingState(int iState, int iButton);
    void ToggleTrackButtonMode();
    // Closes the open popup so that iButton's opens next (-1: none).
    void CancelMenuAndTrackNewOne(int iButton);
    int GetNextOrPrevButton(int iButton, BOOL bPrev) const;

    void OnMouseMove(UINT nFlags, POINT point);
    void OnLButtonDown(UINT nFlags, POINT point);

    static LRESULT CALLBACK MenuInputFilter(int nCode, WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    BOOL IsButton(int iButton) const { return iButton >= 0 && iButton < GetButtonCount(); }

    // At most one popup is tracked at a time in the process.
    static CMenuBarCtrl* s_pTrackingBar;
    static HHOOK s_hMsgFilterHook;
};
