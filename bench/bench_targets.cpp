// kep_bench_targets: KEP's speed and memory targets, measured as ratios in
// one run, so that the machine's own speed (and another program's load)
// cancels out as far as it can.
//
//   1  repaint at 100 % of a 12 and a 24 MP picture, against one plain BitBlt
//      of the whole display-size picture from one memory bitmap to another
//   2  scaled repaint (50 %, 75 %), against the bare GdipDrawImageRectI of the
//      same picture at the same size into an existing bitmap
//   3  LoadImageFile plus the first complete paint of a 12 and a 24 MP JPEG
//      and PNG, against decoding alone plus one bare draw
//   4  the start pulse's ticks per second with a 1 and a 12 MP picture, over
//      5 s, topmost and framed
//   5  the working set after loading a picture of P pixels and F file bytes,
//      against 4 P + F (plus the empty window's)
//   6  from the start of kep.exe to its first complete paint of a 1 MP JPEG,
//      against a minimal program that loads and draws the same JPEG with GDI+
//   7  the history submenu with 10 entries of 12 MP JPEGs: opening it until
//      every entry shows its thumbnail (the JPEGs with and without an EXIF
//      thumbnail), until it is up and the window answers, and one change of
//      the highlight
//
// Each row prints the figure, its yardstick, the ratio, the limit and whether
// it is met. "--quick" measures a subset in under a minute. The frame and
// kep.exe read and write the per-user files beside the executables; their
// contents are put back at the end. Not part of the test suite: bench/run.sh
// builds and runs it.
#include "bench/BenchPictures.h"
#include "frame/CMainFrame.h"
#include "res/resource.h"
#include "settings/SettingsFolder.h"
#include "view/CImageView.h"

#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "AfxStream.h"
#include "CWinApp.h"

using namespace Gdiplus::DllExports;

namespace {

CWinApp g_app;
bool g_bQuick = false;

// ---- measuring --------------------------------------------------------------

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

// ---- the table --------------------------------------------------------------

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

void AddRatio(const std::string& target, const std::string& measure, double figure, double yardstick, double limit,
              const char* unit = "ms")
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
            std::printf("%7s %7s %s\n", "", "", "(figure)");
            continue;
        }
        const bool bMet = r.bAtMost ? r.ratio <= r.limit : r.ratio >= r.limit;
        std::printf("%7.2f %s%6.2f %s\n", r.ratio, r.bAtMost ? "<=" : ">=", r.limit, bMet ? "yes" : "NO");
    }
}

// ---- pictures and windows ---------------------------------------------------

struct Picture {
    std::string name;
    int w;
    int h;
    std::string path;
};

LRESULT CALLBACK HostWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_ERASEBKGND)
        return 1;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

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

// A view in the host window, sized to its display as the frame would size it.
struct BenchView {
    CImageView view;
    bool Create(HWND hwndHost, int nPercent)
    {
        if (!view.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, hwndHost,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(0xE900))))
            return false;
        view.m_settings.m_nZoomMode = ZOOM_PERCENT;
        view.m_settings.m_nZoomValue = nPercent;
        return true;
    }
    void Fit()
    {
        RECT rc;
        if (view.GetImageRect(&rc))
            SetWindowPos(view.m_hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top, SWP_NOMOVE | SWP_NOZORDER);
    }
};

// A decoded picture, as GdipLoadImageFromStream makes it from the file's bytes.
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

// A memory DC with a compatible bitmap of w x h, for the yardsticks.
struct MemoryBitmap {
    HDC hdc = nullptr;
    HBITMAP hbm = nullptr;
    HGDIOBJ hOld = nullptr;
    MemoryBitmap(int w, int h)
    {
        HDC hdcScreen = GetDC(nullptr);
        hdc = CreateCompatibleDC(hdcScreen);
        hbm = CreateCompatibleBitmap(hdcScreen, w, h);
        hOld = SelectObject(hdc, hbm);
        ReleaseDC(nullptr, hdcScreen);
    }
    ~MemoryBitmap()
    {
        SelectObject(hdc, hOld);
        DeleteObject(hbm);
        DeleteDC(hdc);
    }
};

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

// ---- targets 1 and 2: repaints ----------------------------------------------

void BenchRepaint(HWND hwndHost, const Picture& p, int nPercent, bool bScaledTarget)
{
    BenchView bv;
    if (!bv.Create(hwndHost, nPercent))
        return;
    bv.view.LoadImageFile(p.path.c_str());
    bv.Fit();
    RepaintNow(bv.view.m_hWnd);
    const int nRuns = g_bQuick ? 5 : 9;
    const double repaint = TimeMedian(nRuns, [&] { RepaintNow(bv.view.m_hWnd); });
    const int w = p.w * nPercent / 100;
    const int h = p.h * nPercent / 100;
    const std::string measure = p.name + " repaint at " + std::to_string(nPercent) + " %";
    if (!bScaledTarget) {
        MemoryBitmap a(w, h), b(w, h);
        BitBlt(b.hdc, 0, 0, w, h, a.hdc, 0, 0, SRCCOPY);
        const double blt = TimeMedian(nRuns, [&] { BitBlt(b.hdc, 0, 0, w, h, a.hdc, 0, 0, SRCCOPY); });
        AddRatio("1", measure + " / BitBlt", repaint, blt, 3.0);
    } else {
        Gdiplus::GpImage* pImage = DecodeFile(p.path);
        if (!pImage)
            return;
        AddRatio("2", measure + " / bare draw", repaint, BareDraw(pImage, w, h, nRuns), 1.1);
        GdipDisposeImage(pImage);
    }
}

// ---- target 3: load and first paint ----------------------------------------

void BenchLoad(HWND hwndHost, const Picture& p)
{
    const int nRuns = 3;
    std::vector<double> loads;
    for (int i = 0; i < nRuns; ++i) {
        BenchView bv;
        if (!bv.Create(hwndHost, 100))
            return;
        const double t0 = NowMs();
        bv.view.LoadImageFile(p.path.c_str());
        bv.Fit();
        RepaintNow(bv.view.m_hWnd);
        GdiFlush();
        loads.push_back(NowMs() - t0);
    }
    std::vector<double> decodes;
    Gdiplus::GpImage* pImage = nullptr;
    for (int i = 0; i < nRuns; ++i) {
        if (pImage)
            GdipDisposeImage(pImage);
        const double t0 = NowMs();
        pImage = DecodeFile(p.path);
        decodes.push_back(NowMs() - t0);
    }
    if (!pImage)
        return;
    const double draw = BareDraw(pImage, p.w, p.h, nRuns);
    GdipDisposeImage(pImage);
    AddRatio("3", p.name + " load + first paint / decode + draw", Median(loads), Median(decodes) + draw, 1.3);
}

// ---- target 4: the pulse ----------------------------------------------------

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

// ---- target 5: working set ---------------------------------------------------

PROCESS_MEMORY_COUNTERS MemoryCounters()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters;
}

// In a process of its own (so nothing earlier is counted): the working set of
// the empty frame, and with the picture loaded and painted, in bytes.
int MeasureWorkingSet(const std::string& path, const std::string& result)
{
    CMainFrame* pFrame = CreateFrame();
    if (!pFrame)
        return 1;
    PumpFor(500);
    const PROCESS_MEMORY_COUNTERS empty = MemoryCounters();
    pFrame->ProcessCommandLine(("\"" + path + "\"").c_str());
    // At rest: the paints are over and what they only needed meanwhile is gone.
    PumpFor(2500);
    const PROCESS_MEMORY_COUNTERS loaded = MemoryCounters();
    DestroyFrame(pFrame);
    std::ofstream out(result);
    out << empty.WorkingSetSize << ' ' << loaded.WorkingSetSize << ' ' << loaded.PeakWorkingSetSize << '\n';
    return 0;
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

void BenchWorkingSet(const Picture& p)
{
    const std::string result = BenchFolder() + "\\workingset.txt";
    DeleteFileA(result.c_str());
    if (!RunAndWait("\"" + ModulePath() + "\" --workingset \"" + p.path + "\" \"" + result + "\"", 60000))
        return;
    std::ifstream in(result);
    double empty = 0, loaded = 0, peak = 0;
    if (!(in >> empty >> loaded >> peak))
        return;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(p.path.c_str(), GetFileExInfoStandard, &data);
    const double fileBytes = static_cast<double>(data.nFileSizeLow);
    const double mb = 1024.0 * 1024.0;
    AddRatio("5", p.name + " working set MB / (4 P + F)", (loaded - empty) / mb, (4.0 * p.w * p.h + fileBytes) / mb,
             1.25, "MB");
    AddRatio("5", p.name + " peak of the load MB / (4 P + F)", (peak - empty) / mb, (4.0 * p.w * p.h + fileBytes) / mb,
             1.25, "MB");
}

// ---- target 6: start-up -----------------------------------------------------

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

// ---- target 7: the history submenu ------------------------------------------

// kep_bench_history in a process of its own: the decoding of one picture,
// the opening of the submenu with ten of them (with and without EXIF
// thumbnails), the submenu shown, and one highlight change.
void BenchHistoryMenu()
{
    const std::string result = BenchFolder() + "\\history.txt";
    DeleteFileA(result.c_str());
    if (!RunAndWait("\"" + ModuleFolder() + "\\kep_bench_history.exe\" --result \"" + result + "\"", 300000))
        return;
    std::ifstream in(result);
    double decode = 0, open = 0, change = 0, cameraOpen = 0, shown = 0;
    if (!(in >> decode >> open >> change >> cameraOpen >> shown))
        return;
    AddRatio("7", "history submenu opening, camera photos / 10 decodes", cameraOpen, 10 * decode, 0.2);
    AddRatio("7", "history submenu opening / 10 decodes", open, 10 * decode, 1.0);
    AddRatio("7", "history submenu shown / 20 ms", shown, 20.0, 5.0);
    AddRatio("7", "history highlight change / 20 ms", change, 20.0, 1.0);
}

} // namespace

int main(int argc, char* argv[])
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
    if (argc == 4 && std::string(argv[1]) == "--workingset") {
        const int status = MeasureWorkingSet(argv[2], argv[3]);
        Gdiplus::GdiplusShutdown(token);
        return status;
    }
    g_bQuick = argc > 1 && std::string(argv[1]) == "--quick";

    const Picture mp1 = {"1 MP", 1155, 866, PlasmaPicture(1155, 866, "jpg")};
    const Picture mp12 = {"12 MP JPEG", 4000, 3000, PlasmaPicture(4000, 3000, "jpg")};
    const Picture mp12png = {"12 MP PNG", 4000, 3000, PlasmaPicture(4000, 3000, "png")};
    const Picture mp24 = {"24 MP JPEG", 6000, 4000, PlasmaPicture(6000, 4000, "jpg")};
    const Picture mp24png = {"24 MP PNG", 6000, 4000, PlasmaPicture(6000, 4000, "png")};
    for (const Picture* p : {&mp1, &mp12, &mp12png, &mp24, &mp24png}) {
        if (p->path.empty())
            return 1;
    }
    {
        const std::string folder = GetSettingsFolder().GetString();
        SavedFile settingsFile(folder + "\\wndset.def");
        SavedFile historyFile(folder + "\\history.def");
        HWND hwndHost = CreateHostWindow();
        for (const Picture* p : {&mp12, &mp24}) {
            if (g_bQuick && p != &mp12)
                continue;
            BenchRepaint(hwndHost, *p, 100, false);
        }
        BenchRepaint(hwndHost, mp12, 50, true);
        if (!g_bQuick)
            BenchRepaint(hwndHost, mp12, 75, true);
        for (const Picture* p : {&mp12, &mp12png, &mp24, &mp24png}) {
            if (g_bQuick && p != &mp12)
                continue;
            BenchLoad(hwndHost, *p);
        }
        DestroyWindow(hwndHost);
        BenchPulse(mp1, 45.0, g_bQuick ? 2000.0 : 5000.0);
        if (!g_bQuick)
            BenchPulse(mp12, 25.0, 5000.0);
        BenchWorkingSet(mp12);
        if (!g_bQuick)
            BenchWorkingSet(mp24png);
        BenchStartup();
    }
    if (!g_bQuick)
        BenchHistoryMenu();

    HDC hdcScreen = GetDC(nullptr);
    std::printf("kep_bench_targets: %s, screen %d x %d\n", g_bQuick ? "quick" : "full",
                GetDeviceCaps(hdcScreen, HORZRES), GetDeviceCaps(hdcScreen, VERTRES));
    ReleaseDC(nullptr, hdcScreen);
    PrintTable();
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
