// The status bar: a row of panes, the first stretching, the others sized to
// their indicator strings, on the common status-bar control.
#pragma once

#include <vector>

#include "CControlBar.h"

class CStatusBar : public CControlBar {
public:
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    int GetCount() const { return static_cast<int>(m_panes.size()); }
    UINT GetItemID(int nIndex) const;
    BOOL SetPaneText(int nIndex, const char* lpszNewText);
    CString GetPaneText(int nIndex) const;

    int CalcHeight(int cx) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler) override;

protected:
    void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    struct Pane {
        UINT nID;
        int cxText; // width of the indicator string
        CString strText;
    };
    std::vector<Pane> m_panes;
    void UpdateParts();
};
