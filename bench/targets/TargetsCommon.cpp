#include "bench/targets/TargetsCommon.h"

#include "res/resource.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

using namespace Gdiplus::DllExports;

CWinApp g_app;
bool g_bQuick = false;

// ---- the table --------------------------------------------------------------

namespace {

struct Row {
    std::string target;
    std::string measure;
    double figure;
    double yardstick;
    std::string unit;
    double ratio; // figure / yardstick, or the figure itself for a rate
    double limit;
    bool bAtMost; // the ratio must stay at or below the limit (else reach it)
};

std::vector<Row> g_rows;

} // namespace

void AddRatio(const std::string& target, const std::string& measure, double figure, double yardstick, double limit,
              const char* unit)
{
    g_rows.push_back({target, measure, figure, yardstick, unit, yardstick > 0 ? figure / yardstick : 0.0, limit, true});
    std::fprintf(stderr, "  %-3s %-44s %9.1f / %9.1f\n", target.c_str(), measure.c_str(), figure, yardstick);
}

void AddRate(const std::string& target, const std::string& measure, double rate, double limit)
{
    g_rows.push_back({target, measure, rate, -1.0, "/s", rate, limit, false});
    std::fprintf(stderr, "  %-3s %-44s %9.1f\n", target.c_str(), measure.c_str(), rate);
}

void PrintTable()
{
    std::printf("\n%-3s %-52s %10s %10s %4s %7s %7s %s\n", "", "measure", "figure", "yardstick", "", "ratio", "limit",
                "met");
    std::printf("%s\n", std::string(106, '-').c_str());
    for (const Row& r : g_rows) {
        std::printf("%-3s %-52s %10.1f ", r.target.c_str(), r.measure.c_str(), r.figure);
        if (r.yardstick >= 0)
            std::printf("%10.1f %4s ", r.yardstick, r.unit.c_str());
        else
            std::printf("%10s %4s ", "", r.unit.c_str());
        if (r.limit < 0) {
            if (r.yardstick > 0)
                std::printf("%7.2f %7s %s\n", r.ratio, "", "(reference)");
            else
                std::printf("%7s %7s %s\n", "", "", "(figure)");
            continue;
        }
        const bool bMet = r.bAtMost ? r.ratio <= r.limit : r.ratio >= r.limit;
        std::printf("%7.2f %s%6.2f %s\n", r.ratio, r.bAtMost ? "<=" : ">=", r.limit, bMet ? "yes" : "NO");
    }
}

// ---- messages ---------------------------------------------------------------

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!g_app.PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void PumpFor(double ms)
{
    const double end = NowMs() + ms;
    while (NowMs() < end) {
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

bool PumpUntil(const std::function<bool()>& done, double timeoutMs)
{
    const double end = NowMs() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!g_app.PreTranslateMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            if (done())
                return true;
        }
        if (done())
            return true;
        if (NowMs() >= end)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
}

// ---- pictures and windows ---------------------------------------------------

namespace {

LRESULT CALLBACK HostWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_ERASEBKGND)
        return 1;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

HWND CreateHostWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "KEPBenchHost";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "kep_bench_targets", WS_POPUP | WS_VISIBLE, 0, 0, 1600, 1200,
                                nullptr, nullptr, wc.hInstance, nullptr);
    PumpMessages();
    return hwnd;
}

void RepaintNow(HWND hwnd)
{
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool BenchView::Create(HWND hwndHost, int nPercent)
{
    if (!view.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, hwndHost,
                       reinterpret_cast<HMENU>(static_cast<UINT_PTR>(0xE900))))
        return false;
    view.m_settings.m_nZoomMode = ZOOM_PERCENT;
    view.m_settings.m_nZoomValue = nPercent;
    return true;
}

void BenchView::Fit()
{
    RECT rc;
    if (view.GetImageRect(&rc))
        SetWindowPos(view.m_hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top, SWP_NOMOVE | SWP_NOZORDER);
}

Gdiplus::GpImage* DecodeFile(const std::string& path)
{
    HGLOBAL hData = nullptr;
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    hData = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!hData)
        return nullptr;
    std::copy(bytes.begin(), bytes.end(), static_cast<char*>(GlobalLock(hData)));
    GlobalUnlock(hData);
    IStream* pStream = nullptr;
    if (CreateStreamOnHGlobal(hData, TRUE, &pStream) != S_OK) {
        GlobalFree(hData);
        return nullptr;
    }
    Gdiplus::GpImage* pImage = nullptr;
    GdipLoadImageFromStream(pStream, &pImage);
    pStream->Release(); // the image keeps its own reference
    return pImage;
}

MemoryBitmap::MemoryBitmap(int w, int h)
{
    HDC hdcScreen = GetDC(nullptr);
    hdc = CreateCompatibleDC(hdcScreen);
    hbm = CreateCompatibleBitmap(hdcScreen, w, h);
    hOld = SelectObject(hdc, hbm);
    ReleaseDC(nullptr, hdcScreen);
}

MemoryBitmap::~MemoryBitmap()
{
    SelectObject(hdc, hOld);
    DeleteObject(hbm);
    DeleteDC(hdc);
}

double BareDraw(Gdiplus::GpImage* pImage, int w, int h, int nRuns)
{
    MemoryBitmap target(w, h);
    Gdiplus::GpGraphics* pGraphics = nullptr;
    GdipCreateFromHDC(target.hdc, &pGraphics);
    GdipDrawImageRectI(pGraphics, pImage, 0, 0, w, h); // warm up
    const double ms = TimeMedian(nRuns, [&] { GdipDrawImageRectI(pGraphics, pImage, 0, 0, w, h); });
    GdipDeleteGraphics(pGraphics);
    return ms;
}

double BareBitBlt(int w, int h, int nRuns)
{
    MemoryBitmap a(w, h), b(w, h);
    BitBlt(b.hdc, 0, 0, w, h, a.hdc, 0, 0, SRCCOPY); // warm up
    return TimeMedian(nRuns, [&] { BitBlt(b.hdc, 0, 0, w, h, a.hdc, 0, 0, SRCCOPY); });
}

SIZE VisiblePart(HWND hwnd)
{
    RECT rc;
    GetClientRect(hwnd, &rc);
    HDC hdc = GetDC(hwnd);
    RECT clip;
    if (GetClipBox(hdc, &clip) > NULLREGION)
        IntersectRect(&rc, &rc, &clip);
    ReleaseDC(hwnd, hdc);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

// ---- the frame --------------------------------------------------------------

CMainFrame* CreateFrame()
{
    auto* pFrame = new CMainFrame;
    g_app.m_pMainWnd = pFrame;
    if (!pFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr)) {
        g_app.m_pMainWnd = nullptr;
        return nullptr;
    }
    pFrame->ShowWindow(SW_SHOW);
    pFrame->UpdateWindow();
    return pFrame;
}

void DestroyFrame(CMainFrame* pFrame)
{
    pFrame->DestroyWindow();
    g_app.m_pMainWnd = nullptr;
    PumpMessages();
}

// ---- processes --------------------------------------------------------------

PROCESS_MEMORY_COUNTERS MemoryCounters()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters;
}

std::string ModulePath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string ModuleFolder()
{
    const std::string path = ModulePath();
    return path.substr(0, path.rfind('\\'));
}

bool RunAndWait(const std::string& commandLine, DWORD timeoutMs)
{
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    const bool bDone = WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0;
    if (!bDone)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return bDone;
}
