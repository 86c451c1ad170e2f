// An owned menu handle: destroyed with the object unless detached.
#pragma once

#include "CHandleOwner.h"

class CString;

struct MenuTraits {
    using Handle = HMENU;
    static BOOL Close(HMENU h) { return ::DestroyMenu(h); }
};

class CMenu : public CHandleOwner<MenuTraits> {
public:
    BOOL LoadMenu(UINT nIDResource);
    BOOL DestroyMenu() { return Close(); }

    int GetMenuItemCount() const { return ::GetMenuItemCount(m_h); }
    UINT GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_h, nPos); }
    UINT GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_h, nID, nFlags); }
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
    // The submenu at nPos, still owned by this menu.
    HMENU GetSubMenu(int nPos) const { return ::GetSubMenu(m_h, nPos); }
    BOOL DeleteMenu(UINT nPosition, UINT nFlags) { return ::DeleteMenu(m_h, nPosition, nFlags); }
};
