// The common toolbar control, with thin wrappers for the messages the menu
// bar uses.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "CWnd.h"

// An old common-control style bit the headers no longer name: no highlight line.
#ifndef CCS_NOHILITE
#define CCS_NOHILITE 0x00000010L
#endif

class CToolBarCtrl : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    BOOL SetBitmapSize(SIZE size)
    {
        return static_cast<BOOL>(SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(size.cx, size.cy)));
    }
    // Adds strings given as a list of NUL-terminated strings ending in two NULs.
    int AddStrings(const char* lpszStrings)
    {
        return static_cast<int>(SendMessage(TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(lpszStrings)));
    }
    BOOL AddButtons(int nNumButtons, TBBUTTON* lpButtons)
    {
        return static_cast<BOOL>(
            SendMessage(TB_ADDBUTTONSA, static_cast<WPARAM>(nNumButtons), reinterpret_cast<LPARAM>(lpButtons)));
    }
    void AutoSize() { SendMessage(TB_AUTOSIZE); }
    BOOL GetItemRect(int nIndex, RECT* lpRect) const
    {
        return static_cast<BOOL>(
            SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)));
    }
    int GetButtonCount() const { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }
    BOOL GetMaxSize(SIZE* pSize) const
    {
        return static_cast<BOOL>(SendMessage(TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(pSize)));
    }
    BOOL GetButtonText(int nID, CString& rText) const;
    BOOL GetButton(int nIndex, TBBUTTON* lpButton) const
    {
        return static_cast<BOOL>(
            SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpButton)));
    }
    BOOL PressButton(int nID, BOOL bPress = TRUE)
    {
        return static_cast<BOOL>(SendMessage(TB_PRESSBUTTON, static_cast<WPARAM>(nID), MAKELPARAM(bPress, 0)));
    }
    // The index of the hot button, or -1.
    int GetHotItem() const { return static_cast<int>(SendMessage(TB_GETHOTITEM)); }
    // Makes button nHot hot (-1 for none); returns the previous hot index.
    int SetHotItem(int nHot) { return static_cast<int>(SendMessage(TB_SETHOTITEM, static_cast<WPARAM>(nHot))); }
    // The command id of the button whose mnemonic is chCharacter, in *pIDBtn.
    BOOL MapAccelerator(char chCharacter, UINT* pIDBtn) const
    {
        return static_cast<BOOL>(SendMessage(TB_MAPACCELERATORA,
                                             static_cast<WPARAM>(static_cast<unsigned char>(chCharacter)),
                                             reinterpret_cast<LPARAM>(pIDBtn)));
    }
};
