#include "CMainFrame.h"

#include "AfxFileSystem.h"
#include "AfxGlobals.h"
#include "CCmdUI.h"
#include "res/resource.h"

namespace {

const UINT indicators[] = {
    ID_SEPARATOR, ID_INDICATOR_KANA, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL,
};

constexpr UINT kNonClientMetricsSize = 340;
constexpr int kDefaultMenuTextHeight = 16;
constexpr int kSmallIconSize = 16;

// The settings file may be held by another process for a moment.
constexpr int kSettingsLoadAttempts = 101;
constexpr DWORD kSettingsRetryMs = 100;

} // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_SETFOCUS()
    ON_WM_ERASEBKGND()
    ON_WM_MENUSELECT()
    ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
    ON_COMMAND(ID_ROTATE_LEFT, OnRotateLeft)
    ON_COMMAND(ID_ROTATE_RIGHT, OnRotateRight)
    ON_COMMAND(ID_FLIP_HORIZONTAL, OnFlipHorizontal)
    ON_COMMAND(ID_FLIP_VERTICAL, OnFlipVertical)
    ON_UPDATE_COMMAND_UI(ID_ROTATE_LEFT, OnUpdateRotateLeft)
    ON_UPDATE_COMMAND_UI(ID_ROTATE_RIGHT, OnUpdateRotateRight)
    ON_UPDATE_COMMAND_UI(ID_FLIP_HORIZONTAL, OnUpdateFlipHorizontal)
    ON_UPDATE_COMMAND_UI(ID_FLIP_VERTICAL, OnUpdateFlipVertical)
    // One zoom handler; the ids between the percent steps and the fixed
    // sizes belong to other commands, so the handler claims two ranges.
    ON_COMMAND_RANGE(ID_ZOOM_ANY, ID_ZOOM_100, OnZoom)
    ON_COMMAND_RANGE(ID_ZOOM_FIX_WIDTH, ID_ZOOM_FIX_BOTH, OnZoom)
    ON_UPDATE_COMMAND_UI_RANGE(ID_ZOOM_ANY, ID_ZOOM_100, OnUpdateZoom)
    ON_UPDATE_COMMAND_UI_RANGE(ID_ZOOM_FIX_WIDTH, ID_ZOOM_FIX_BOTH, OnUpdateZoom)
    ON_COMMAND_RANGE(ID_ALPHA_10, ID_ALPHA_NONE, OnAlpha)
    ON_UPDATE_COMMAND_UI_RANGE(ID_ALPHA_10, ID_ALPHA_NONE, OnUpdateAlpha)
    ON_COMMAND(ID_HIDE_FRAME, OnHideFrame)
    ON_UPDATE_COMMAND_UI(ID_HIDE_FRAME, OnUpdateHideFrame)
    ON_COMMAND(ID_TOPMOST, OnTopMost)
    ON_UPDATE_COMMAND_UI(ID_TOPMOST, OnUpdateTopMost)
    ON_COMMAND(ID_VIEW_STATUS_BAR, OnViewStatusBar)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateViewStatusBar)
    ON_COMMAND(ID_SHOW_CONTEXT_MENU, OnShowContextMenu)
    ON_UPDATE_COMMAND_UI(ID_SHOW_CONTEXT_MENU, OnUpdateShowContextMenu)
    ON_WM_CONTEXTMENU()
    ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
    ON_UPDATE_COMMAND_UI(ID_FILE_OPEN, OnUpdateFileOpen)
    ON_COMMAND(ID_HELP_FILE, OnHelpFile)
    ON_UPDATE_COMMAND_UI(ID_HELP_FILE, OnUpdateHelpFile)
    ON_COMMAND(ID_COPY, OnCopy)
    ON_UPDATE_COMMAND_UI(ID_COPY, OnUpdateCopy)
    ON_COMMAND(ID_PASTE, OnPaste)
    ON_UPDATE_COMMAND_UI(ID_PASTE, OnUpdatePaste)
    ON_COMMAND(ID_START, OnStart)
    ON_UPDATE_COMMAND_UI(ID_START, OnUpdateStart)
    ON_WM_TIMER()
    ON_COMMAND(ID_CLOSE_ALL, OnCloseAll)
    ON_UPDATE_COMMAND_UI(ID_CLOSE_ALL, OnUpdateCloseAll)
    ON_COMMAND(ID_SENDTO, OnSendToShortcut)
    ON_UPDATE_COMMAND_UI(ID_SENDTO, OnUpdateSendToShortcut)
    ON_COMMAND(ID_CONTEXT_MENU_ENTRY, OnContextMenuEntry)
    ON_UPDATE_COMMAND_UI(ID_CONTEXT_MENU_ENTRY, OnUpdateContextMenuEntry)
    ON_COMMAND(ID_STARTUP_REGISTER, OnRegisterStartup)
    ON_UPDATE_COMMAND_UI(ID_STARTUP_REGISTER, OnUpdateRegisterStartup)
    ON_COMMAND_RANGE(ID_STEP_NEXT, ID_STEP_LAST, OnStep)
    ON_UPDATE_COMMAND_UI_RANGE(ID_STEP_NEXT, ID_STEP_LAST, OnUpdateStep)
    ON_MESSAGE(kPictureDecodedMessage, OnPictureDecoded)
    ON_MESSAGE(kReleasePicturesMessage, OnReleasePictures)
    ON_WM_INITMENUPOPUP()
    ON_WM_UNINITMENUPOPUP()
    ON_WM_MEASUREITEM()
    ON_WM_DRAWITEM()
    ON_MESSAGE(CHistoryMenu::WM_HISTORY_THUMBNAIL, OnHistoryThumbnail)
    ON_COMMAND_RANGE(ID_HISTORY_FIRST, ID_HISTORY_LAST, OnOpenHistoryItem)
    ON_UPDATE_COMMAND_UI_RANGE(ID_HISTORY_FIRST, ID_HISTORY_LAST, OnUpdateHistoryItem)
    ON_COMMAND(ID_HISTORY_DELETE, OnDeleteHistory)
    ON_UPDATE_COMMAND_UI(ID_HISTORY_DELETE, OnUpdateDeleteHistory)
    ON_COMMAND(ID_HISTORY_SETTINGS, OnHistorySettings)
    ON_UPDATE_COMMAND_UI(ID_HISTORY_SETTINGS, OnUpdateHistorySettings)
END_MESSAGE_MAP()

CMainFrame::CMainFrame()
{
    m_strIdleText = "KEP";
    m_nStartTimer = 0;
    m_nStartPhase = 0;
    DetectOsVersion();
    NONCLIENTMETRICSA metrics = {};
    // The record's size without the padded-border field, accepted everywhere.
    metrics.cbSize = kNonClientMetricsSize;
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        m_lfMenuFont = metrics.lfMenuFont;
    m_nMenuTextHeight = kDefaultMenuTextHeight;
}

CMainFrame::~CMainFrame()
{
    if (m_hSmallIcon)
        ::DestroyIcon(m_hSmallIcon);
}

void CMainFrame::DetectOsVersion()
{
    OSVERSIONINFOA info = AfxGetOsVersion();
    m_bWinNT = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
    m_dwMajorVersion = info.dwMajorVersion;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    if (cs.lpszName) {
        WNDCLASSA wc = {};
        if (::GetClassInfoA(AfxGetInstanceHandle(), cs.lpszClass, &wc)) {
            wc.lpszClassName = kFrameClassName;
            AfxRegisterClass(&wc);
            cs.lpszClass = kFrameClassName;
        }
    }
    cs.cx = kDefaultFrameSize;
    cs.cy = kDefaultFrameSize;
    return TRUE;
}

void CMainFrame::LoadWindowSettings()
{
    if (!AfxFindFile(WindowSettings::GetFilePath()))
        return;
    // Only a file that another window holds is worth waiting for; one that
    // cannot be opened for any other reason (a folder of that name, no
    // access) stays unreadable, and the defaults apply at once.
    for (int attempt = 0; attempt < kSettingsLoadAttempts; ++attempt) {
        DWORD error = 0;
        if (m_wndView.m_settings.Load(&error))
            return;
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION)
            return;
        ::Sleep(kSettingsRetryMs);
    }
}

BOOL CMainFrame::CreateStatusBar()
{
    return m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) &&
           m_wndStatusBar.SetIndicators(indicators, static_cast<int>(sizeof(indicators) / sizeof(indicators[0])));
}

int CMainFrame::OnCreate(LPCREATESTRUCTA lpCreateStruct)
{
    LoadWindowSettings();
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_picturesAhead.SetTarget(m_hWnd, kPictureDecodedMessage, kReleasePicturesMessage);
    m_wndView.m_releasePicture = [this](std::unique_ptr<CPicture> picture) {
        m_picturesAhead.Release(std::move(picture));
    };

    const RECT empty = {0, 0, 0, 0};
    if (!m_wndView.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, empty, this, AFX_IDW_PANE_FIRST))
        return -1;
    if (!m_wndMenuBar.Create(WS_CHILD | WS_VISIBLE | TBSTYLE_LIST | TBSTYLE_FLAT | CCS_NODIVIDER | CCS_NOHILITE |
                                 CCS_NORESIZE,
                             empty, this, ID_MENUBAR))
        return -1;
    m_wndMenuBar.LoadMenuBar(IDR_MAINFRAME);

    ::SetMenu(m_hWnd, nullptr);
    m_wndMenuBar.m_menu.DeleteMenu(ID_START, MF_BYCOMMAND);

    if (!m_wndReBar.Create(this, RBS_BANDBORDERS, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CBRS_TOP,
                           AFX_IDW_REBAR))
        return -1;
    if (!m_wndReBar.AddBar(&m_wndMenuBar, nullptr, nullptr, RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP))
        return -1;
    if (!CreateStatusBar())
        return -1;

    m_hSmallIcon = static_cast<HICON>(::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                                   kSmallIconSize, kSmallIconSize, LR_DEFAULTCOLOR));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));

    ApplyBandLayout(&m_wndView.m_settings);
    ShowControlBar(&m_wndStatusBar, m_wndView.m_settings.m_bStatusBar != FALSE, FALSE);
    ApplyAlpha(m_wndView.m_settings.m_nAlpha);
    ApplyFrameStyle();
    return 0;
}

void CMainFrame::ApplyBandLayout(WindowSettings* pSettings)
{
    UINT i = m_wndReBar.GetBandPos(&m_wndMenuBar);
    m_wndReBar.SendMessage(RB_MOVEBAND, i, pSettings->m_bandInfo.wID);

    RECT rcFirst = {};
    RECT rcLast = {};
    m_wndMenuBar.GetItemRect(0, &rcFirst);
    m_wndMenuBar.GetItemRect(m_wndMenuBar.m_menu.GetMenuItemCount() - 1, &rcLast);
    POINT first = {rcFirst.left, rcFirst.top};
    POINT last = {rcLast.right, rcLast.bottom};
    m_wndMenuBar.ClientToScreen(&first);
    m_wndMenuBar.ClientToScreen(&last);
    SIZE maxSize = {};
    m_wndMenuBar.GetMaxSize(&maxSize);

    REBARBANDINFOA band = {};
    band.cbSize = REBARBANDINFOA_V6_SIZE;
    band.fMask = RBBIM_STYLE | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_IDEALSIZE;
    band.fStyle = (pSettings->m_bandInfo.fStyle & (RBBS_BREAK | RBBS_HIDDEN)) | RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS |
                  RBBS_USECHEVRON;
    band.cxMinChild = 0;
    band.cyMinChild = static_cast<UINT>(maxSize.cy);
    band.cx = pSettings->m_bandInfo.cx;
    band.cxIdeal = static_cast<UINT>(last.x - first.x);
    m_wndReBar.SendMessage(RB_SETBANDINFOA, m_wndReBar.GetBandPos(&m_wndMenuBar), reinterpret_cast<LPARAM>(&band));
}

BOOL CMainFrame::OnCmdMsg(UINT nID, UINT nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (m_wndView.m_hWnd && m_wndView.OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CMainFrame::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (wParam == ID_FIT_WINDOW) {
        FitWindowToImage();
        return TRUE;
    }
    return CFrameWnd::OnCommand(wParam, lParam);
}

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg)
{
    // A key that reaches the menu bar in its keyboard mode belongs to it, also
    // when the bar leaves the mode and hands the key on: the step keys act
    // only when the bar was idle before.
    const bool bMenuBarIdle = !m_wndMenuBar.m_hWnd || m_wndMenuBar.m_iTrackingState == CMenuBarCtrl::TRACK_NOTHING;
    if (m_wndMenuBar.m_hWnd && m_wndMenuBar.TranslateFrameMessage(pMsg))
        return TRUE;
    if (bMenuBarIdle && TranslateStepKey(pMsg))
        return TRUE;
    return CFrameWnd::PreTranslateMessage(pMsg);
}

void CMainFrame::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
{
    m_wndMenuBar.OnFrameMenuSelect(nItemID, nFlags, hSysMenu);
    CFrameWnd::OnMenuSelect(nItemID, nFlags, hSysMenu);
}

LRESULT CMainFrame::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void CMainFrame::OnSetFocus(HWND)
{
    m_wndView.SetFocus();
}

BOOL CMainFrame::OnEraseBkgnd(HDC)
{
    // The view covers the whole client area.
    return TRUE;
}

LRESULT CMainFrame::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    if (wParam == AFX_IDS_IDLEMESSAGE) {
        m_strIdleText = "KEP";
        if (m_wndView.m_pImage)
            m_strIdleText.AppendFormat(" - %d x %d : %d %% ", m_wndView.m_nImageWidth, m_wndView.m_nImageHeight,
                                       m_wndView.m_nZoomPercent);
        return CFrameWnd::OnSetMessageString(0, reinterpret_cast<LPARAM>(m_strIdleText.GetString()));
    }
    return CFrameWnd::OnSetMessageString(wParam, lParam);
}
