// The program's one top-level window: the image view between the menu-bar
// rebar and the status bar, the command table, and the window's size, which
// follows the displayed image.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include "CFrameWnd.h"
#include "CStatusBar.h"
#include "bars/CMenuBarCtrl.h"
#include "bars/CMyReBar.h"
#include "history/CHistoryMenu.h"
#include "view/CFolderSteps.h"
#include "view/CImageView.h"
#include "view/CPicturesAhead.h"

class CMainFrame : public CFrameWnd {
public:
    // The frame's size when it is created, and while frameless parts return
    // until the next fit (300 x 300).
    static constexpr int kDefaultFrameSize = 300;
    // The window class of every frame; the frames of all processes find each
    // other by it.
    static constexpr char kFrameClassName[] = "KEPClass";
    // How the help command hands the help file to the shell (the shell's
    // ShellExecuteExA; tests put a recorder here instead).
    static BOOL(WINAPI* s_pfnShellExecuteEx)(SHELLEXECUTEINFOA* pInfo);

    CMainFrame();
    ~CMainFrame() override;

    BOOL OnCmdMsg(UINT nID, UINT nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Splits the command line: token 0 opens here, each further token in a new process.
    void ProcessCommandLine(CString strCmdLine);
    // Applies a "/left:top:zoom" suffix, then loads the image into the view.
    BOOL OpenImageWithOptions(CString strPath);
    // Sizes the frame so that the view holds exactly the displayed image.
    void FitWindowToImage();
    // Border style per zoom value, frame change, fit, status-bar re-creation.
    void RefreshFrameStyle();
    void ApplyBandLayout(WindowSettings* pSettings);
    void DetectOsVersion();

    // Translucency: the layered style and the window alpha for a percent.
    void ApplyAlpha(int nPercent);
    // Framed or frameless look per the setting, keeping the image in place.
    void ApplyFrameStyle();
    void HideFrameParts();
    void ShowFrameParts();
    // The operations popup at a screen point, or (for nullptr) at the cursor
    // when it is over the window, else at the window's centre.
    void ShowContextMenu(const POINT* pPoint);
    // Rebuilds the entries of the history submenu from history.def.
    void BuildHistoryMenu();
    // The history submenu inside the menu bar's menu, or null.
    HMENU GetHistorySubMenu() const;
    // The entries of that submenu and their thumbnails.
    const CHistoryMenu& GetHistoryMenu() const { return m_historyMenu; }

    HICON m_hSmallIcon = nullptr;
    BOOL m_bWinNT = FALSE;
    DWORD m_dwMajorVersion = 0;
    UINT m_nStartTimer = 0;
    int m_nStartPhase = 0;
    LOGFONTA m_lfMenuFont = {};
    int m_nMenuTextHeight = 16;
    CString m_strIdleText;
    CStatusBar m_wndStatusBar;
    CMyReBar m_wndReBar;
    CImageView m_wndView;
    CMenuBarCtrl m_wndMenuBar;

protected:
    int OnCreate(LPCREATESTRUCTA lpCreateStruct);
    void OnSetFocus(HWND hOldWnd);
    BOOL OnEraseBkgnd(HDC hdc);
    void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);

    void OnRotateLeft();
    void OnRotateRight();
    void OnFlipHorizontal();
    void OnFlipVertical();
    void OnUpdateRotateLeft(CCmdUI* pCmdUI);
    void OnUpdateRotateRight(CCmdUI* pCmdUI);
    void OnUpdateFlipHorizontal(CCmdUI* pCmdUI);
    void OnUpdateFlipVertical(CCmdUI* pCmdUI);

    void OnZoom(UINT nID);
    void OnUpdateZoom(CCmdUI* pCmdUI);
    void OnAlpha(UINT nID);
    void OnUpdateAlpha(CCmdUI* pCmdUI);
    void OnHideFrame();
    void OnUpdateHideFrame(CCmdUI* pCmdUI);
    void OnTopMost();
    void OnUpdateTopMost(CCmdUI* pCmdUI);
    void OnViewStatusBar();
    void OnUpdateViewStatusBar(CCmdUI* pCmdUI);
    void OnShowContextMenu();
    void OnUpdateShowContextMenu(CCmdUI* pCmdUI);
    void OnContextMenu(HWND hWnd, POINT point);
    void OnFileOpen();
    void OnUpdateFileOpen(CCmdUI* pCmdUI);
    void OnHelpFile();
    void OnUpdateHelpFile(CCmdUI* pCmdUI);
    // Copy puts the picture shown on the clipboard as it is shown; paste
    // opens the files or the bitmap found there (with Shift in a new window).
    void OnCopy();
    void OnUpdateCopy(CCmdUI* pCmdUI);
    void OnPaste();
    void OnUpdatePaste(CCmdUI* pCmdUI);

    void OnStart();
    void OnUpdateStart(CCmdUI* pCmdUI);
    void OnTimer(UINT_PTR nIDEvent);
    void OnCloseAll();
    void OnUpdateCloseAll(CCmdUI* pCmdUI);
    void OnSendToShortcut();
    void OnUpdateSendToShortcut(CCmdUI* pCmdUI);
    void OnContextMenuEntry();
    void OnUpdateContextMenuEntry(CCmdUI* pCmdUI);
    void OnRegisterStartup();
    void OnUpdateRegisterStartup(CCmdUI* pCmdUI);
    // The step commands: the next, previous, first or last picture of the
    // shown picture's folder, loaded into this window.
    void OnStep(UINT nID);
    void OnUpdateStep(CCmdUI* pCmdUI);
    // A picture decoded on the worker for a step (lParam: a DecodedPicture*).
    LRESULT OnPictureDecoded(WPARAM wParam, LPARAM lParam);
    LRESULT OnReleasePictures(WPARAM wParam, LPARAM lParam);

    void OnInitMenuPopup(HMENU hPopupMenu, UINT nIndex, BOOL bSysMenu);
    void OnUninitMenuPopup(HMENU hPopupMenu, UINT nFlags);
    void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    LRESULT OnHistoryThumbnail(WPARAM wParam, LPARAM lParam);
    void OnOpenHistoryItem(UINT nID);
    void OnUpdateHistoryItem(CCmdUI* pCmdUI);
    void OnDeleteHistory();
    void OnUpdateDeleteHistory(CCmdUI* pCmdUI);
    void OnHistorySettings();
    void OnUpdateHistorySettings(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

private:
    CHistoryMenu m_historyMenu;

    // The start pulse: on with the frame parts hidden, one resize per timer
    // tick, off with the look and place the settings ask for.
    void StartPulse();
    void StopPulse();
    void PulseTick();
    // wndTopMost while the window is to stay on top, else no z-order change
    // beyond the top of the normal windows.
    const CWnd* InsertAfterForTopMost() const;
    BOOL CreateStatusBar();
    // Where a window of this size goes for a wanted top-left corner: there,
    // unless too little of it would be on the nearest screen's work area.
    POINT ReachableCorner(int left, int top, int width, int height) const;
    void LoadWindowSettings();
    // A step key pressed in the view or the frame (no Shift, Ctrl or Alt)
    // runs its step command; TRUE when it did.
    BOOL TranslateStepKey(const MSG* pMsg);

    // Loads a pasted file (or the file a pasted bitmap was written to) into
    // this window and fits the frame to it.
    void OpenPastedFile(const CString& path);

    CFolderSteps m_folderSteps;

    // The step a picture is being decoded for on the worker.
    void EndStepWait();
    // Shows a stepped-to picture, fits the frame and has its neighbours
    // decoded ahead.
    void ShowStepped(std::unique_ptr<DecodedPicture> decoded);
    // FitWindowToImage after a step, which spares the bars a repaint when the
    // window keeps its place and size.
    void FitWindowAfterStep();
    // Where FitWindowToImage puts the frame and its size; false when the
    // view shows nothing.
    bool ComputeFit(POINT* pCorner, SIZE* pSize);
    // Puts the frame there at that size and repaints it whole.
    void ApplyFit(POINT corner, SIZE size);
    RECT m_rcFitAsked = {}; // what the last fit asked for
    RECT m_rcFitGot = {};   // and where the window was after it
    // What the fit will make of a picture's size, for pictures scaled ahead.
    DrawnSizeFor DrawnSizeForFit() const;
    CString m_strStepTarget;       // the picture a pending step goes to
    unsigned m_nStepLoadCount = 0; // the view's load count when it was asked for

public:
    // Pictures decoded on the worker while stepping; the result message.
    static constexpr UINT kPictureDecodedMessage = WM_APP + 1;
    // Pictures let go are handed to the thread that frees them.
    static constexpr UINT kReleasePicturesMessage = WM_APP + 2;
    // Pictures ahead are let go when no step came for this long.
    static constexpr UINT_PTR kAheadIdleTimer = 3;
    static constexpr UINT kAheadIdleMs = 30000;
    CPicturesAhead m_picturesAhead;
};
