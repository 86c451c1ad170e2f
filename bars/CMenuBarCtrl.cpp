#include "CMenuBarCtrl.h"

#include <vector>

BOOL CMenuBarCtrl::LoadMenuBar(UINT nIDResource)
{
    SetBitmapSize(SIZE{0, 0});
    if (!m_menu.LoadMenu(nIDResource))
        return FALSE;
    m_nButtons = m_menu.GetMenuItemCount();
    for (int i = 0; i < m_nButtons; ++i) {
        CString text;
        m_menu.GetMenuString(static_cast<UINT>(i), text, MF_BYPOSITION);
        // One string, terminated by two NULs.
        std::vector<char> strings(static_cast<size_t>(text.GetLength()) + 2, '\0');
        std::copy(text.GetString(), text.GetString() + text.GetLength(), strings.begin());
        int iString = AddStrings(strings.data());

        TBBUTTON button = {};
        button.iBitmap = -1;
        button.idCommand = i;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = TBSTYLE_AUTOSIZE;
        button.dwData = 0;
        button.iString = iString;
        if (!AddButtons(1, &button))
            return FALSE;
    }
    AutoSize();
    return TRUE;
}

// Keyboard handling of the bar arrives with its popup tracking.
BOOL CMenuBarCtrl::TranslateFrameMessage(MSG*)
{
    return FALSE;
}

void CMenuBarCtrl::OnFrameMenuSelect(UINT, UINT, HMENU)
{
}
