// kep_bench_pulse: how many pulse ticks the frame achieves per second.
//
// The start pulse asks for a tick every 20 ms (50 per second); each tick
// moves and resizes the window and repaints the picture completely. This
// creates the real frame, opens a 1 MP (1155 x 866) and a 12 MP
// (4000 x 3000) plasma JPEG (kept in %TEMP%\kep_bench), and for each runs the
// pulse for 5 s with the settings topmost and framed, in the free zoom mode
// (the pulse's base is then the picture's own size) and with the width and
// height fixed at 800 pixels. It prints the ticks per second and the mean
// time a tick takes.
//
// The frame reads and writes the per-user files beside the executable (the
// window settings, the history); their contents are put back at the end.
// Not part of the test suite: "bench/run.sh pulse" builds and runs it.
#include "bench/BenchPictures.h"
#include "frame/CMainFrame.h"
#include "res/resource.h"
#include "settings/SettingsFolder.h"

#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CWinApp.h"

namespace {

CWinApp g_app;

constexpr double kRunMs = 5000.0;

struct Result {
    std::string picture;
    std::string zoom;
    int ticks;
    double seconds;
    double tickMs;
};

// Opens the picture in a new frame, runs the pulse for kRunMs through the
// real timer and message loop, and counts the ticks the frame received.
bool RunPulse(const std::string& path, int nMode, int nValue, Result* pResult)
{
    auto* pFrame = new CMainFrame;
    g_app.m_pMainWnd = pFrame;
    if (!pFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr)) {
        g_app.m_pMainWnd = nullptr;
        return false;
    }
    WindowSettings& settings = pFrame->m_wndView.m_settings;
    settings.m_nZoomMode = nMode;
    settings.m_nZoomValue = nValue;
    settings.m_bTopMost = TRUE;
    settings.m_bFrameless = FALSE;
    pFrame->ShowWindow(SW_SHOW);
    pFrame->ProcessCommandLine(("\"" + path + "\"").c_str());
    pFrame->ApplyFrameStyle();
    if (!pFrame->m_wndView.m_pImage) {
        pFrame->DestroyWindow();
        g_app.m_pMainWnd = nullptr;
        return false;
    }

    pFrame->SendMessage(WM_COMMAND, ID_START);
    const HWND hFrame = pFrame->m_hWnd;
    int ticks = 0;
    double tickMs = 0.0;
    const double start = NowMs();
    while (NowMs() - start < kRunMs) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            continue;
        }
        const bool bTick = msg.message == WM_TIMER && msg.hwnd == hFrame && msg.wParam == pFrame->m_nStartTimer;
        const double t0 = NowMs();
        if (!g_app.PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (bTick) {
            ++ticks;
            tickMs += NowMs() - t0;
        }
    }
    const double seconds = (NowMs() - start) / 1000.0;
    pFrame->SendMessage(WM_COMMAND, ID_START);
    pFrame->DestroyWindow();
    g_app.m_pMainWnd = nullptr;

    pResult->ticks = ticks;
    pResult->seconds = seconds;
    pResult->tickMs = ticks > 0 ? tickMs / ticks : 0.0;
    return true;
}

} // namespace

int main()
{
    g_app.m_hInstance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        std::fprintf(stderr, "GDI+ does not start\n");
        return 1;
    }
    std::vector<Result> results;
    {
        const std::string folder = GetSettingsFolder().GetString();
        SavedFile settingsFile(folder + "\\wndset.def");
        SavedFile historyFile(folder + "\\history.def");
        const struct {
            const char* name;
            int w, h;
        } pictures[] = {{"1 MP", 1155, 866}, {"12 MP", 4000, 3000}};
        const struct {
            const char* name;
            int mode, value;
        } zooms[] = {{"free (own size)", ZOOM_ANY, 0}, {"fixed 800 x 800", ZOOM_FIX_BOTH, 800}};
        for (const auto& picture : pictures) {
            const std::string path = PlasmaPicture(picture.w, picture.h, "jpg");
            if (path.empty())
                return 1;
            for (const auto& zoom : zooms) {
                Result r = {picture.name, zoom.name, 0, 0.0, 0.0};
                if (!RunPulse(path, zoom.mode, zoom.value, &r)) {
                    std::fprintf(stderr, "%s: the frame or the picture could not be made\n", picture.name);
                    continue;
                }
                std::fprintf(stderr, "  %-6s %-16s %4d ticks\n", picture.name, zoom.name, r.ticks);
                results.push_back(r);
            }
        }
    }
    HDC hdcScreen = GetDC(nullptr);
    std::printf("kep_bench_pulse: screen %d x %d, pulse timer 20 ms (50 ticks/s asked), topmost, framed\n\n",
                GetDeviceCaps(hdcScreen, HORZRES), GetDeviceCaps(hdcScreen, VERTRES));
    ReleaseDC(nullptr, hdcScreen);
    std::printf("%-8s %-18s %8s %8s %10s\n", "picture", "zoom", "ticks", "ticks/s", "ms/tick");
    std::printf("%s\n", std::string(56, '-').c_str());
    for (const Result& r : results)
        std::printf("%-8s %-18s %8d %8.1f %10.1f\n", r.picture.c_str(), r.zoom.c_str(), r.ticks, r.ticks / r.seconds,
                    r.tickMs);
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
