// A top-level frame: created from the resources of one id (title, menu,
// icon, accelerators), lays out its control bars around the view (the child
// with id AFX_IDW_PANE_FIRST), routes commands, keeps the status-bar message
// text and updates menu items and bars through the update handlers.
#pragma once

#include <vector>

#include "CControlBar.h"
#include "afxres.h"

class CStatusBar;

class CFrameWnd : public CWnd {
public:
    CFrameWnd() = default;
    ~CFrameWnd() override;

    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, void* pContext = nullptr);

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, UINT nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    // Places the top bars, the bottom bars and the view in the client area.
    virtual void RecalcLayout();
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    // The bar whose first pane shows the message text (id AFX_IDW_STATUS_BAR).
    CStatusBar* GetMessageBar() const;
    void SetMessageText(UINT nID);
    void SetMessageText(const char* lpszText);

    // Idle-time work: bar elements and the pending message text.
    virtual void OnIdleUpdateCmdUI();

    HACCEL m_hAccelTable = nullptr;
    CString m_strTitle;

protected:
    UINT m_nIDTracking = AFX_IDS_IDLEMESSAGE; // message id wanted in the first pane
    UINT m_nIDLastMessage = 0;                // message id shown there now
    HMENU m_hMenuDefault = nullptr;           // the menu loaded with the frame

    void PostNcDestroy() override;

    int OnCreate(LPCREATESTRUCTA lpCreateStruct);
    void OnClose();
    void OnSize(UINT nType, int cx, int cy);
    void OnSetFocus(HWND hOldWnd);
    void OnInitMenuPopup(HMENU hPopupMenu, UINT nIndex, BOOL bSysMenu);
    void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    void OnUpdateKeyIndicator(CCmdUI* pCmdUI);
    void OnReBarHeightChange(NMHDR* pNotifyStruct, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    std::vector<CControlBar*> m_listControlBars;
    bool m_bInRecalcLayout = false;
};
