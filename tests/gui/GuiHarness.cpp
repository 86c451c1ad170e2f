#include "GuiHarness.h"

#include "AfxGlobals.h"
#include "CCmdUI.h"
#include "CDC.h"
#include "CDibSection.h"
#include "CSelectedObject.h"
#include "CWinApp.h"
#include "res/resource.h"
#include "shell/NewInstance.h"

bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs)
{
    return PollUntil(
        pred, timeoutMs, [] { PumpMessages(); }, 5);
}

HeldKeyState::HeldKeyState(BYTE vk) : m_vk(vk)
{
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    m_before = keys[vk];
    keys[vk] = 0x80;
    ::SetKeyboardState(keys);
}

HeldKeyState::~HeldKeyState()
{
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[m_vk] = m_before;
    ::SetKeyboardState(keys);
}

std::vector<LaunchRecorder::Launch> LaunchRecorder::s_launches;

LaunchRecorder::LaunchRecorder()
{
    s_launches.clear();
    g_pfnNewInstanceShellExecuteEx = &Record;
}

LaunchRecorder::~LaunchRecorder()
{
    g_pfnNewInstanceShellExecuteEx = &::ShellExecuteExA;
}

std::vector<std::string> LaunchRecorder::Parameters() const
{
    std::vector<std::string> parameters;
    for (const Launch& launch : s_launches)
        parameters.push_back(launch.parameters);
    return parameters;
}

BOOL WINAPI LaunchRecorder::Record(SHELLEXECUTEINFOA* pInfo)
{
    s_launches.push_back({pInfo->lpFile ? pInfo->lpFile : "", pInfo->lpParameters ? pInfo->lpParameters : "",
                          pInfo->lpDirectory ? pInfo->lpDirectory : "", pInfo->fMask});
    return TRUE;
}

Capture CaptureDrawing(int width, int height, const std::function<void(HDC hdc)>& draw)
{
    Capture cap;
    if (width <= 0 || height <= 0)
        return cap;
    cap.width = width;
    cap.height = height;
    CDC dc;
    CDibSection dib;
    if (!dc.CreateCompatibleDC(nullptr) || !dib.Create(width, height))
        return cap;
    {
        CSelectedObject selected(dc, dib);
        draw(dc);
        ::GdiFlush();
    }
    const DWORD* p = dib.GetBits();
    cap.pixels.assign(p, p + static_cast<size_t>(width) * static_cast<size_t>(height));
    for (uint32_t& px : cap.pixels)
        px &= 0x00FFFFFF;
    return cap;
}

Capture CaptureClient(HWND hWnd)
{
    const SIZE size = ClientSizeOf(hWnd);
    return CaptureDrawing(size.cx, size.cy, [hWnd, size](HDC hdc) {
        HDC hdcWnd = ::GetDC(hWnd);
        ::BitBlt(hdc, 0, 0, size.cx, size.cy, hdcWnd, 0, 0, SRCCOPY);
        ::ReleaseDC(hWnd, hdcWnd);
    });
}

void FrameTest::SetUp()
{
    RemoveSettingsFiles();
}

void FrameTest::TearDown()
{
    DestroyFrame();
    RemoveSettingsFiles();
}

CMainFrame* FrameTest::CreateFrame()
{
    m_pFrame = new CMainFrame;
    AfxGetApp()->m_pMainWnd = m_pFrame;
    if (!m_pFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr)) {
        ADD_FAILURE() << "LoadFrame failed";
        m_pFrame = nullptr;
        return nullptr;
    }
    m_pFrame->ShowWindow(SW_SHOW);
    m_pFrame->UpdateWindow();
    PumpMessages();
    return m_pFrame;
}

void FrameTest::DestroyFrame()
{
    if (m_pFrame && ::IsWindow(m_pFrame->m_hWnd))
        m_pFrame->DestroyWindow(); // the frame deletes itself
    m_pFrame = nullptr;
    if (AfxGetApp())
        AfxGetApp()->m_pMainWnd = nullptr;
    PumpMessages();
}

void FrameTest::OpenPath(const std::string& path)
{
    m_pFrame->ProcessCommandLine(("\"" + path + "\"").c_str());
    PumpMessages();
}

void FrameTest::Command(UINT nID)
{
    m_pFrame->SendMessage(WM_COMMAND, nID);
    PumpMessages();
    AwaitStep();
}

void FrameTest::AwaitStep()
{
    EXPECT_TRUE(PumpUntil([this] { return !m_pFrame || !m_pFrame->m_picturesAhead.IsWaiting(); }, 20000))
        << "a step still waits for its picture";
}

bool FrameTest::IsCommandEnabled(UINT nID)
{
    CTestCmdUI state;
    state.m_nID = nID;
    state.DoUpdate(m_pFrame, TRUE);
    return state.m_bEnabled != FALSE;
}

void FrameTest::SetZoom(ZoomMode mode, int value)
{
    View().m_settings.m_nZoomMode = mode;
    View().m_settings.m_nZoomValue = value;
}

void FrameTest::RepaintView()
{
    ::RedrawWindow(View().m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpMessages();
}

namespace {

// Records the check mark an update handler sets.
class CheckRecorder : public CCmdUI {
public:
    int m_nCheck = -1;
    void Enable(BOOL) override {}
    void SetCheck(int nCheck) override { m_nCheck = nCheck; }
    void SetText(const char*) override {}
};

} // namespace

bool FrameTest::IsCommandChecked(UINT nID)
{
    CheckRecorder state;
    state.m_nID = nID;
    state.DoUpdate(m_pFrame, TRUE);
    return state.m_nCheck > 0;
}

HMENU FrameTest::OpenOperationsMenu()
{
    HMENU hOperations = ::GetSubMenu(m_pFrame->m_wndMenuBar.m_menu, 0);
    m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hOperations), 0);
    return hOperations;
}
