// Targets 4 and 6: the start pulse of the frame, and the start-up of kep.exe
// against a minimal program.
#include "bench/targets/TargetRows.h"

#include "res/resource.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace Gdiplus::DllExports;

// ---- target 4: the pulse ----------------------------------------------------

void BenchPulse(const Picture& p, double limit, double runMs)
{
    CMainFrame* pFrame = CreateFrame();
    if (!pFrame)
        return;
    WindowSettings& settings = pFrame->m_wndView.m_settings;
    settings.m_nZoomMode = ZOOM_ANY;
    settings.m_nZoomValue = 0;
    settings.m_bTopMost = TRUE;
    settings.m_bFrameless = FALSE;
    pFrame->ProcessCommandLine(("\"" + p.path + "\"").c_str());
    pFrame->ApplyFrameStyle();
    if (!pFrame->m_wndView.m_pImage) {
        DestroyFrame(pFrame);
        return;
    }
    pFrame->SendMessage(WM_COMMAND, ID_START);
    const HWND hFrame = pFrame->m_hWnd;
    int ticks = 0;
    const double start = NowMs();
    while (NowMs() - start < runMs) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            continue;
        }
        if (msg.message == WM_TIMER && msg.hwnd == hFrame && msg.wParam == pFrame->m_nStartTimer)
            ++ticks;
        if (!g_app.PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    const double seconds = (NowMs() - start) / 1000.0;
    pFrame->SendMessage(WM_COMMAND, ID_START);
    DestroyFrame(pFrame);
    AddRate("4", p.name + " pulse ticks per second", ticks / seconds, limit);
}

// ---- target 6: start-up -----------------------------------------------------

namespace {

// Whether the pixel at (x, y) of the screen is near the colour.
bool PixelIs(int x, int y, COLORREF colour)
{
    HDC hdc = GetDC(nullptr);
    const COLORREF c = GetPixel(hdc, x, y);
    ReleaseDC(nullptr, hdc);
    auto close = [](int a, int b) { return std::abs(a - b) <= 8; };
    return c != CLR_INVALID && close(GetRValue(c), GetRValue(colour)) && close(GetGValue(c), GetGValue(colour)) &&
           close(GetBValue(c), GetBValue(colour));
}

// From the start of the process to the moment the window shows the picture's
// colour in the middle of its client area (a solid-colour picture), in ms.
double TimeToFirstPaint(const std::string& exe, const std::string& picture, const char* windowClass, COLORREF colour)
{
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::string commandLine = "\"" + exe + "\" \"" + picture + "\"";
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    const double t0 = NowMs();
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, ModuleFolder().c_str(), &si, &pi))
        return -1;
    double ms = -1;
    while (NowMs() - t0 < 20000) {
        HWND hwnd = FindWindowA(windowClass, nullptr);
        RECT rc;
        if (hwnd && IsWindowVisible(hwnd) && GetClientRect(hwnd, &rc) && rc.right > 20) {
            POINT centre = {rc.right / 2, rc.bottom / 2};
            ClientToScreen(hwnd, &centre);
            if (PixelIs(centre.x, centre.y, colour)) {
                ms = NowMs() - t0;
                PostMessageA(hwnd, WM_CLOSE, 0, 0);
                break;
            }
        }
        Sleep(1);
    }
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ms;
}

std::string SolidJpeg(int w, int h, DWORD rgb)
{
    const std::string path = BenchFolder() + "\\solid_" + std::to_string(w) + "x" + std::to_string(h) + ".jpg";
    if (FileExists(path))
        return path;
    std::vector<DWORD> px(static_cast<size_t>(w) * h, rgb);
    Gdiplus::GpBitmap* pBitmap = nullptr;
    if (GdipCreateBitmapFromScan0(w, h, w * 4, PixelFormat32bppRGB, reinterpret_cast<BYTE*>(px.data()), &pBitmap) !=
        Gdiplus::Ok)
        return std::string();
    // The JPEG encoder's class id.
    const CLSID jpeg = {0x557cf401, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    const bool bSaved = GdipSaveImageToFile(pBitmap, Widen(path).c_str(), &jpeg, nullptr) == Gdiplus::Ok;
    GdipDisposeImage(pBitmap);
    return bSaved ? path : std::string();
}

} // namespace

void BenchStartup()
{
    const DWORD rgb = 0x2060A0;
    const std::string picture = SolidJpeg(1155, 866, rgb);
    if (picture.empty())
        return;
    const COLORREF colour = RGB(0x20, 0x60, 0xA0);
    const std::string kep = ModuleFolder() + "\\kep.exe";
    const std::string minimal = ModuleFolder() + "\\minimal_viewer.exe";
    std::vector<double> keps, minimals;
    const int nRuns = g_bQuick ? 2 : 5;
    for (int i = 0; i < nRuns; ++i) {
        keps.push_back(TimeToFirstPaint(kep, picture, "KEPClass", colour));
        minimals.push_back(TimeToFirstPaint(minimal, picture, "MinimalViewer", colour));
    }
    if (std::count(keps.begin(), keps.end(), -1.0) || std::count(minimals.begin(), minimals.end(), -1.0)) {
        std::fprintf(stderr, "start-up: a window never showed the picture\n");
        return;
    }
    AddRatio("6", "1 MP start to first paint / minimal program", Median(keps), Median(minimals), 1.5);
}
