// The state of one user-interface element (menu item, status pane) that an
// update handler sets: enabled, checked, text.
#pragma once

#include <windows.h>

class CCmdTarget;

class CCmdUI {
public:
    UINT m_nID = 0;
    UINT m_nIndex = 0; // position of the item in its menu, or pane index
    UINT m_nIndexMax = 0;
    HMENU m_hMenu = nullptr; // the menu being updated, if any
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;

    CCmdUI() = default;
    virtual ~CCmdUI() = default;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);
    virtual void SetText(const char* lpszText);
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Asks pTarget's update handler for this element. When no update handler
    // claims it and bDisableIfNoHandler is set, the element is enabled exactly
    // when some command handler exists for it.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler);
};

// Records what an update handler decides without touching any element;
// used before a command runs, so a disabled command is not carried out.
class CTestCmdUI : public CCmdUI {
public:
    BOOL m_bEnabled = TRUE;
    void Enable(BOOL bOn = TRUE) override;
    void SetCheck(int) override {}
    void SetText(const char*) override {}
};
