#include "CMainFrame.h"

#include <vector>

#include <shellapi.h>

#include "AfxGlobals.h"
#include "CFileDialog.h"
#include "CCmdUI.h"
#include "frame/CFixedSizeDlg.h"
#include "frame/CommandLine.h"
#include "frame/WindowAppearance.h"
#include "frame/ZoomMenuText.h"
#include "res/resource.h"
#include "settings/SettingsFolder.h"

namespace {

const UINT indicators[] = {
    ID_SEPARATOR, ID_INDICATOR_KANA, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL,
};

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
END_MESSAGE_MAP()

CMainFrame::CMainFrame()
{
    m_strIdleText = "KEP";
    m_nStartTimer = 0;
    m_nStartPhase = 0;
    DetectOsVersion();
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = 340; // the size without the padded-border field, accepted everywhere
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        m_lfMenuFont = metrics.lfMenuFont;
    m_nMenuTextHeight = 16;
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
        // The frames of all processes find each other by this class name.
        WNDCLASSA wc = {};
        if (::GetClassInfoA(AfxGetInstanceHandle(), cs.lpszClass, &wc)) {
            wc.lpszClassName = "KEPClass";
            AfxRegisterClass(&wc);
            cs.lpszClass = "KEPClass";
        }
    }
    cs.cx = 300;
    cs.cy = 300;
    return TRUE;
}

void CMainFrame::LoadWindowSettings()
{
    CString path = GetSettingsFolder() + "\\" + WindowSettings::kFileName;
    WIN32_FIND_DATAA found;
    HANDLE hFind = ::FindFirstFileA(path, &found);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    ::FindClose(hFind);
    for (int attempt = 0; attempt < kSettingsLoadAttempts; ++attempt) {
        if (m_wndView.m_settings.Load())
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

    if (!m_wndReBar.Create(this, RBS_BANDBORDERS,
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CBRS_TOP, AFX_IDW_REBAR))
        return -1;
    if (!m_wndReBar.AddBar(&m_wndMenuBar, nullptr, nullptr, RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP))
        return -1;
    if (!CreateStatusBar())
        return -1;

    m_hSmallIcon = static_cast<HICON>(
        ::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
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
    if (m_wndMenuBar.m_hWnd && m_wndMenuBar.TranslateFrameMessage(pMsg))
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

// ---- command line ---------------------------------------------------------

void CMainFrame::ProcessCommandLine(CString strCmdLine)
{
    std::vector<std::string> tokens = SplitCommandLine(strCmdLine.GetString());
    for (size_t k = 0; k < tokens.size(); ++k) {
        if (k >= 1) {
            m_wndView.OpenInNewInstance(tokens[k].c_str());
            continue;
        }
        if (OpenImageWithOptions(StripOuterQuotes(tokens[0]).c_str())) {
            ::InvalidateRect(m_hWnd, nullptr, TRUE);
            FitWindowToImage();
        }
    }
}

BOOL CMainFrame::OpenImageWithOptions(CString strPath)
{
    OptionSuffix options = SplitOptionSuffix(strPath.GetString());
    if (options.hasOptions) {
        strPath = options.path.c_str();
        // With fewer than two ':' nothing can be read reliably: the frame stays
        // where it is and the zoom value is kept.
        if (options.hasLeftTop) {
            RECT rcImage;
            RECT rcFrame;
            GetWindowRect(&rcFrame);
            int width = rcFrame.right - rcFrame.left;
            int height = rcFrame.bottom - rcFrame.top;
            if (m_wndView.GetImageRect(&rcImage)) {
                width = rcImage.right - rcImage.left;
                height = rcImage.bottom - rcImage.top;
            }
            MoveWindow(options.left, options.top, width, height, TRUE);
        }
        if (options.hasZoom)
            m_wndView.m_settings.m_nZoomValue = options.zoom;
    }
    return m_wndView.LoadImageFile(strPath);
}

// ---- window size ----------------------------------------------------------

void CMainFrame::FitWindowToImage()
{
    RECT rcFrame;
    RECT rcView;
    RECT rcImage;
    GetWindowRect(&rcFrame);
    m_wndView.GetWindowRect(&rcView);
    if (!m_wndView.GetImageRect(&rcImage))
        return;
    int width = (rcView.left - rcFrame.left) + (rcImage.right - rcImage.left) + (rcFrame.right - rcView.right);
    int height = (rcView.top - rcFrame.top) + (rcImage.bottom - rcImage.top) + (rcFrame.bottom - rcView.bottom);
    SetWindowPos(m_wndView.m_settings.m_bTopMost ? &wndTopMost : nullptr, rcFrame.left, rcFrame.top, width, height,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOCOPYBITS);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    UpdateWindow();
}

void CMainFrame::RefreshFrameStyle()
{
    if (m_wndView.m_settings.m_nZoomValue != 0)
        ModifyStyle(WS_THICKFRAME, 0);
    else
        ModifyStyle(0, WS_THICKFRAME);
    SetWindowPos(nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_HIDEWINDOW |
                     SWP_NOCOPYBITS);
    if (m_wndView.m_pImage)
        FitWindowToImage();
    if (!m_wndView.m_settings.m_bFrameless) {
        // The bar is made anew so that its size grip follows the border style.
        ShowControlBar(&m_wndStatusBar, FALSE, FALSE);
        m_wndStatusBar.DestroyWindow();
        CreateStatusBar();
        ShowControlBar(&m_wndStatusBar, m_wndView.m_settings.m_bStatusBar != FALSE, FALSE);
        // The new bar starts blank: give it the idle text again.
        SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    }
    if (!m_wndView.m_pImage)
        // Nothing to fit: the frame is shown again at its size rather than
        // left hidden (a zoom command on an empty window).
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// ---- rotate and flip ------------------------------------------------------

void CMainFrame::OnRotateLeft()
{
    m_wndView.RotateLeft();
    RefreshFrameStyle();
}

void CMainFrame::OnRotateRight()
{
    m_wndView.RotateRight();
    RefreshFrameStyle();
}

void CMainFrame::OnFlipHorizontal()
{
    m_wndView.FlipHorizontal();
    RefreshFrameStyle();
}

void CMainFrame::OnFlipVertical()
{
    m_wndView.FlipVertical();
    RefreshFrameStyle();
}

void CMainFrame::OnUpdateRotateLeft(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_wndView.m_pImage != nullptr);
}

void CMainFrame::OnUpdateRotateRight(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_wndView.m_pImage != nullptr);
}

void CMainFrame::OnUpdateFlipHorizontal(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_wndView.m_pImage != nullptr);
}

void CMainFrame::OnUpdateFlipVertical(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_wndView.m_pImage != nullptr);
}

// ---- zoom -----------------------------------------------------------------

void CMainFrame::OnZoom(UINT nID)
{
    WindowSettings& settings = m_wndView.m_settings;
    if (nID == ID_ZOOM_FIX_WIDTH || nID == ID_ZOOM_FIX_HEIGHT || nID == ID_ZOOM_FIX_BOTH) {
        CFixedSizeDlg dlg(this);
        RECT rc;
        // Without an image the dialog starts from the stored value.
        dlg.m_nPixels = settings.m_nZoomValue;
        if (nID != ID_ZOOM_FIX_BOTH && m_wndView.GetImageRect(&rc))
            dlg.m_nPixels = nID == ID_ZOOM_FIX_WIDTH ? rc.right - rc.left : rc.bottom - rc.top;
        if (dlg.DoModal() != IDOK)
            return;
        settings.m_nZoomValue = dlg.m_nPixels;
        settings.m_nZoomMode = nID == ID_ZOOM_FIX_WIDTH ? 3 : nID == ID_ZOOM_FIX_HEIGHT ? 2 : 4;
    } else {
        settings.m_nZoomValue = static_cast<int>(nID - ID_ZOOM_ANY) * 10;
        settings.m_nZoomMode = settings.m_nZoomValue != 0 ? 1 : 0;
    }
    settings.Save();
    m_wndView.UpdateFreeZoom();
    RefreshFrameStyle();
}

void CMainFrame::OnUpdateZoom(CCmdUI* pCmdUI)
{
    const WindowSettings& settings = m_wndView.m_settings;
    UINT nID = pCmdUI->m_nID;
    pCmdUI->Enable(TRUE);
    if (nID == ID_ZOOM_FIX_WIDTH || nID == ID_ZOOM_FIX_HEIGHT || nID == ID_ZOOM_FIX_BOTH) {
        int mode = nID == ID_ZOOM_FIX_WIDTH ? 3 : nID == ID_ZOOM_FIX_HEIGHT ? 2 : 4;
        pCmdUI->SetCheck(settings.m_nZoomMode == mode);
        pCmdUI->SetText(FixedZoomMenuText(nID, settings.m_nZoomMode, settings.m_nZoomValue).c_str());
    } else if (nID == ID_ZOOM_ANY) {
        pCmdUI->SetCheck(settings.m_nZoomMode == 0);
    } else {
        pCmdUI->SetCheck(settings.m_nZoomMode == 1 &&
                         settings.m_nZoomValue == static_cast<int>(nID - ID_ZOOM_ANY) * 10);
    }
}

// ---- appearance -----------------------------------------------------------

void CMainFrame::ApplyAlpha(int nPercent)
{
    BYTE alpha = AlphaFromPercent(nPercent);
    OSVERSIONINFOA info = AfxGetOsVersion();
    if (info.dwPlatformId != VER_PLATFORM_WIN32_NT || info.dwMajorVersion < 5)
        return;
    if (alpha == 255)
        ModifyStyleEx(WS_EX_LAYERED, 0);
    else
        ModifyStyleEx(0, WS_EX_LAYERED);
    CallSetLayeredWindowAttributes(m_hWnd, 0, alpha, LWA_ALPHA);
}

void CMainFrame::OnAlpha(UINT nID)
{
    m_wndView.m_settings.m_nAlpha = static_cast<int>(nID - ID_ALPHA_BASE) * 10;
    ApplyAlpha(m_wndView.m_settings.m_nAlpha);
    m_wndView.m_settings.Save();
}

void CMainFrame::OnUpdateAlpha(CCmdUI* pCmdUI)
{
    if (m_bWinNT && m_dwMajorVersion >= 5) {
        pCmdUI->SetCheck(m_wndView.m_settings.m_nAlpha == static_cast<int>(pCmdUI->m_nID - ID_ALPHA_BASE) * 10);
        pCmdUI->Enable(TRUE);
    } else {
        pCmdUI->Enable(FALSE);
    }
}

UINT CMainFrame::FindMenuBarBand()
{
    UINT count = static_cast<UINT>(m_wndReBar.SendMessage(RB_GETBANDCOUNT));
    UINT i = 0;
    for (; i < count; ++i) {
        REBARBANDINFOA band = {};
        band.cbSize = REBARBANDINFOA_V6_SIZE;
        band.fMask = RBBIM_STYLE | RBBIM_CHILD;
        m_wndReBar.SendMessage(RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band));
        if (band.hwndChild == m_wndMenuBar.m_hWnd)
            break;
    }
    return i;
}

void CMainFrame::HideFrameParts()
{
    ModifyStyle(WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0);
    ModifyStyleEx(WS_EX_WINDOWEDGE, WS_EX_TOOLWINDOW);
    m_wndView.m_settings.m_bStatusBar = m_wndStatusBar.GetStyle() & WS_VISIBLE;
    if (m_wndView.m_settings.m_bStatusBar)
        ShowControlBar(&m_wndStatusBar, FALSE, FALSE);
    m_wndReBar.SendMessage(RB_SHOWBAND, FindMenuBarBand(), FALSE);
}

void CMainFrame::ShowFrameParts()
{
    ModifyStyle(0, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    ModifyStyleEx(WS_EX_TOOLWINDOW, WS_EX_WINDOWEDGE);
    ShowControlBar(&m_wndStatusBar, m_wndView.m_settings.m_bStatusBar != FALSE, FALSE);
    m_wndReBar.SendMessage(RB_SHOWBAND, FindMenuBarBand(), TRUE);
    SetWindowPos(nullptr, 0, 0, 300, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
}

void CMainFrame::ApplyFrameStyle()
{
    RECT before;
    m_wndView.GetWindowRect(&before);
    m_wndView.UpdateFreeZoom();
    if (m_wndView.m_settings.m_bFrameless)
        HideFrameParts();
    else
        ShowFrameParts();
    RefreshFrameStyle();
    RECT after;
    RECT frame;
    m_wndView.GetWindowRect(&after);
    GetWindowRect(&frame);
    SetWindowPos(nullptr, frame.left + before.left - after.left, frame.top + before.top - after.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

void CMainFrame::OnHideFrame()
{
    m_wndView.m_settings.m_bFrameless = !m_wndView.m_settings.m_bFrameless;
    m_wndView.m_settings.Save();
    ApplyFrameStyle();
}

void CMainFrame::OnUpdateHideFrame(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(m_wndView.m_settings.m_bFrameless != FALSE);
}

void CMainFrame::OnTopMost()
{
    m_wndView.m_settings.m_bTopMost = !m_wndView.m_settings.m_bTopMost;
    m_wndView.m_settings.Save();
    SetWindowPos(m_wndView.m_settings.m_bTopMost ? &wndTopMost : &wndNoTopMost, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

void CMainFrame::OnUpdateTopMost(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(m_wndView.m_settings.m_bTopMost != FALSE);
}

void CMainFrame::OnViewStatusBar()
{
    WindowSettings& settings = m_wndView.m_settings;
    settings.m_bStatusBar = settings.m_bStatusBar == 0 ? 1 : 0;
    ShowControlBar(&m_wndStatusBar, settings.m_bStatusBar, FALSE);
    settings.Save();
    FitWindowToImage();
}

void CMainFrame::OnUpdateViewStatusBar(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(m_wndView.m_settings.m_bStatusBar != FALSE);
}

// ---- context menu, File Open, Help ----------------------------------------

namespace {

const char kOpenFilter[] =
    "BMPファイル (*.bmp;*.dib;*.rle)|*.bmp;*.dib;*.rle|JPEGファイル (*.jpg;*.jpeg;*.jpe)|*.jpg;*.jpeg;*.jpe|"
    "PNGファイル (*.png)|*.png|TIFFファイル(*.tif;*.tiff)|*.tif;*.tiff|GIFファイル (*.gif)|*.gif|"
    "EMFファイル (*.emf)|*.emf|WMFファイル (*.wmf)|*.wmf|ICOファイル (*.ico)|*.ico|"
    "すべてのファイル (*.*)|*.*||";

} // namespace

void CMainFrame::ShowContextMenu(const POINT* pPoint)
{
    POINT point;
    if (pPoint) {
        point = *pPoint;
    } else {
        RECT rc;
        GetWindowRect(&rc);
        ::GetCursorPos(&point);
        if (!::PtInRect(&rc, point))
            point = POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    UINT flags = TPM_LEFTALIGN | TPM_LEFTBUTTON;
    // NT 4 and earlier know no menu animation.
    if (!(m_bWinNT && m_dwMajorVersion < 5))
        flags |= TPM_VERPOSANIMATION;
    ::TrackPopupMenu(m_wndMenuBar.m_menu.GetSubMenu(0), flags, point.x, point.y, 0, m_hWnd, nullptr);
    PostMessage(WM_NULL);
}

void CMainFrame::OnShowContextMenu()
{
    ShowContextMenu(nullptr);
}

void CMainFrame::OnUpdateShowContextMenu(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

// The menu key and Shift+F10 only matter while the frame is hidden, when the
// popup is the one way to the commands.
void CMainFrame::OnContextMenu(HWND, POINT)
{
    if (!m_wndView.m_settings.m_bFrameless)
        return;
    RECT rc;
    GetWindowRect(&rc);
    POINT centre = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ShowContextMenu(&centre);
}

void CMainFrame::OnFileOpen()
{
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kOpenFilter, nullptr);
    if (dlg.DoModal() != IDOK)
        return;
    if (::GetKeyState(VK_SHIFT) < 0) {
        m_wndView.OpenInNewInstance(dlg.GetPathName());
        return;
    }
    if (OpenImageWithOptions(dlg.GetPathName())) {
        m_wndView.InvalidateRect(nullptr, TRUE);
        FitWindowToImage();
    }
}

void CMainFrame::OnUpdateFileOpen(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

void CMainFrame::OnHelpFile()
{
    CString path = GetModuleFolder() + "\\kep.chm";
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_DDEWAIT | SEE_MASK_FLAG_NO_UI;
    info.hwnd = m_hWnd;
    info.lpFile = path;
    info.nShow = SW_SHOWNORMAL;
    ::ShellExecuteExA(&info);
}

void CMainFrame::OnUpdateHelpFile(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}
