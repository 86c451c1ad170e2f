// kep_bench: what a paint of a large picture costs.
//
// Makes a 12 MP (4000 x 3000) and a 24 MP (6000 x 4000) plasma picture,
// saves each as JPEG and PNG through GDI+ (kept in %TEMP%\kep_bench for
// the next run), then measures, as medians of several runs:
//   - GDI+ decoding alone (load from file; Wine's GDI+ decodes at load);
//   - GDI+ drawing the picture into the off-screen bitmap at 100 % and 50 %;
//   - the transfer step of a repaint: ParallelogramBlt of the off-screen
//     bitmap into a visible window's DC under each of the eight transforms,
//     each against a plain BitBlt of the same bitmap into the same window
//     (runs interleaved), with their ratio;
//   - load plus first paint and repaints through the view
//     (BenchLoadAndFirstPaint).
// Not part of the test suite: bench/run.sh builds and runs it under Wine.
#include "bench/BenchPictures.h"
#include "framework/AfxPlatform.h"
#include "framework/ParallelogramBlt.h"
#include "view/CImageView.h"

#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace Gdiplus::DllExports;
using Gdiplus::GpBitmap;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using Gdiplus::GpStatus;

namespace {

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// ---------------------------------------------------------------------------
// Output: one table, printed at the end.

struct Row {
    std::string picture;
    std::string step;
    double ms;          // median
    double yardstickMs; // median of a plain BitBlt of the same picture, or < 0
    double minMs;       // fastest run of each, for a transfer
    double minYardstickMs;
};

std::vector<Row> g_rows;

void AddRow(const std::string& picture, const std::string& step, double ms, double yardstickMs = -1.0,
            double minMs = 0.0, double minYardstickMs = 0.0)
{
    g_rows.push_back({picture, step, ms, yardstickMs, minMs, minYardstickMs});
    // Progress on stderr, so that a slow run shows where it is.
    std::fprintf(stderr, "  %-16s %-34s %9.2f ms\n", picture.c_str(), step.c_str(), ms);
}

double Ratio(double a, double b)
{
    return b > 0.0 ? a / b : 0.0;
}

// Medians say what a paint usually costs on this machine; the fastest runs
// say what it costs undisturbed, which is steadier on a busy machine.
void PrintTable()
{
    std::printf("\n%-16s %-34s %9s %9s %6s   %8s %8s %6s\n", "picture", "step", "median", "BitBlt", "ratio", "fastest",
                "BitBlt", "ratio");
    std::printf("%s\n", std::string(106, '-').c_str());
    for (const Row& r : g_rows) {
        if (r.yardstickMs >= 0.0) {
            std::printf("%-16s %-34s %9.2f %9.2f %6.2f   %8.2f %8.2f %6.2f\n", r.picture.c_str(), r.step.c_str(), r.ms,
                        r.yardstickMs, Ratio(r.ms, r.yardstickMs), r.minMs, r.minYardstickMs,
                        Ratio(r.minMs, r.minYardstickMs));
        } else {
            std::printf("%-16s %-34s %9.2f\n", r.picture.c_str(), r.step.c_str(), r.ms);
        }
    }
    std::printf("(milliseconds)\n");
}

// ---------------------------------------------------------------------------
// Test pictures

struct TestPicture {
    std::string name; // "12 MP"
    int w;
    int h;
    std::string jpeg;
    std::string png;
};

bool PreparePictures(std::vector<TestPicture>* pPictures)
{
    const struct {
        const char* name;
        int w, h;
    } sizes[] = {{"12 MP", 4000, 3000}, {"24 MP", 6000, 4000}};
    for (const auto& s : sizes) {
        TestPicture p;
        p.name = s.name;
        p.w = s.w;
        p.h = s.h;
        p.jpeg = PlasmaPicture(s.w, s.h, "jpg");
        p.png = PlasmaPicture(s.w, s.h, "png");
        if (p.jpeg.empty() || p.png.empty())
            return false;
        pPictures->push_back(p);
    }
    return true;
}

// ---------------------------------------------------------------------------
// Decoding

void BenchDecode(const TestPicture& p)
{
    const struct {
        const char* label;
        const std::string* path;
    } files[] = {{"GDI+ decode JPEG", &p.jpeg}, {"GDI+ decode PNG", &p.png}};
    for (const auto& f : files) {
        const std::wstring wpath = Widen(*f.path);
        bool bOk = true;
        const double ms = TimeMedian(3, [&] {
            GpImage* pImage = nullptr;
            UINT w = 0;
            if (GdipLoadImageFromFile(wpath.c_str(), &pImage) != Gdiplus::Ok ||
                GdipGetImageWidth(pImage, &w) != Gdiplus::Ok || w != static_cast<UINT>(p.w))
                bOk = false;
            if (pImage != nullptr)
                GdipDisposeImage(pImage);
        });
        if (!bOk)
            std::fprintf(stderr, "decoding %s failed\n", f.path->c_str());
        AddRow(p.name, f.label, ms);
    }
}

// ---------------------------------------------------------------------------
// The transfer step of a repaint

LRESULT CALLBACK BenchWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_ERASEBKGND)
        return 1;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND CreateBenchWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BenchWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "KEPBenchWindow";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "kep_bench", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                nullptr, wc.hInstance, nullptr);
    PumpMessages();
    return hwnd;
}

// The view's destination points for rotation r (clockwise quarter turns),
// mirrored or not, on a display of dw x dh.
void ViewPoints(bool bMirrored, int r, int dw, int dh, POINT pts[3])
{
    static const int kCorners[2][4][6] = {
        {{0, 0, 1, 0, 0, 1}, {1, 0, 1, 1, 0, 0}, {1, 1, 0, 1, 1, 0}, {0, 1, 0, 0, 1, 1}},
        {{1, 0, 0, 0, 1, 1}, {1, 1, 1, 0, 0, 1}, {0, 1, 1, 1, 0, 0}, {0, 0, 0, 1, 1, 0}},
    };
    const int* c = kCorners[bMirrored ? 1 : 0][r];
    for (int i = 0; i < 3; ++i) {
        pts[i].x = c[2 * i] * dw;
        pts[i].y = c[2 * i + 1] * dh;
    }
}

// Loads the picture, draws it with GDI+ into an off-screen bitmap at the
// given percent (as a paint does), then times the transfer into the window
// under the eight transforms against a plain BitBlt.
void BenchTransfer(HWND hwnd, const TestPicture& p, int nPercent, bool bWithDraw)
{
    GpImage* pImage = nullptr;
    if (GdipLoadImageFromFile(Widen(p.jpeg).c_str(), &pImage) != Gdiplus::Ok) {
        std::fprintf(stderr, "cannot load %s\n", p.jpeg.c_str());
        return;
    }
    const int bw = p.w * nPercent / 100;
    const int bh = p.h * nPercent / 100;
    const std::string picture = p.name + " at " + std::to_string(nPercent) + "%";

    SetWindowPos(hwnd, HWND_TOP, 0, 0, bw, bh, SWP_SHOWWINDOW);
    PumpMessages();
    HDC hdcWindow = GetDC(hwnd);
    HDC hdcMem = CreateCompatibleDC(hdcWindow);
    HBITMAP hbm = CreateCompatibleBitmap(hdcWindow, bw, bh);
    HGDIOBJ hbmOld = SelectObject(hdcMem, hbm);
    const double drawMs = TimeMedian(bWithDraw ? 3 : 1, [&] {
        GpGraphics* pGraphics = nullptr;
        if (GdipCreateFromHDC(hdcMem, &pGraphics) == Gdiplus::Ok) {
            GdipDrawImageRectI(pGraphics, pImage, 0, 0, bw, bh);
            GdipDeleteGraphics(pGraphics);
        }
    });
    if (bWithDraw)
        AddRow(picture, "GDI+ draw into off-screen bitmap", drawMs);
    ReleaseDC(hwnd, hdcWindow);

    const int kRuns = 31;
    for (int m = 0; m < 2; ++m) {
        for (int r = 0; r < 4; ++r) {
            const bool bMirrored = m != 0;
            const int dw = r % 2 ? bh : bw;
            const int dh = r % 2 ? bw : bh;
            SetWindowPos(hwnd, HWND_TOP, 0, 0, dw, dh, SWP_SHOWWINDOW);
            PumpMessages();
            hdcWindow = GetDC(hwnd);
            POINT pts[3];
            ViewPoints(bMirrored, r, dw, dh, pts);
            // Warm up both (first-touch of the scratch buffers), then interleave.
            ParallelogramBlt(hdcWindow, pts, hdcMem, 0, 0, bw, bh);
            BitBlt(hdcWindow, 0, 0, bw, bh, hdcMem, 0, 0, SRCCOPY);
            std::vector<double> plg, blt;
            bool bOk = true;
            for (int i = 0; i < kRuns; ++i) {
                double t0 = NowMs();
                BitBlt(hdcWindow, 0, 0, bw, bh, hdcMem, 0, 0, SRCCOPY);
                GdiFlush();
                blt.push_back(NowMs() - t0);
                t0 = NowMs();
                bOk = ParallelogramBlt(hdcWindow, pts, hdcMem, 0, 0, bw, bh) && bOk;
                GdiFlush();
                plg.push_back(NowMs() - t0);
            }
            ReleaseDC(hwnd, hdcWindow);
            PumpMessages();
            const std::string step = std::string("ParallelogramBlt ") + (bMirrored ? "mirrored" : "plain") + " rot " +
                                     std::to_string(r) + (bOk ? "" : " (FAILED)");
            AddRow(picture, step, Median(plg), Median(blt), *std::min_element(plg.begin(), plg.end()),
                   *std::min_element(blt.begin(), blt.end()));
        }
    }

    SelectObject(hdcMem, hbmOld);
    DeleteObject(hbm);
    DeleteDC(hdcMem);
    GdipDisposeImage(pImage);
}

// ---------------------------------------------------------------------------
// Through the view

// What the user waits for, through the real view: LoadImageFile plus the
// first complete paint (GDI+ draw, margins, the transfer), then repaints at
// 100 % and 50 % under each transform. The view is a child of the host
// window, sized to the picture as the frame would size it.
void RepaintNow(HWND hwnd)
{
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void FitViewToPicture(CImageView& view)
{
    RECT rc;
    if (!view.GetImageRect(&rc))
        return;
    SetWindowPos(view.m_hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top, SWP_NOMOVE | SWP_NOZORDER);
}

bool BenchLoadAndFirstPaint(HWND hwndHost, const TestPicture& picture)
{
    const struct {
        const char* format;
        const std::string* path;
    } files[] = {{"JPEG", &picture.jpeg}, {"PNG", &picture.png}};
    for (const auto& file : files) {
        std::vector<double> runs;
        for (int i = 0; i < 3; ++i) {
            CImageView view;
            if (!view.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, hwndHost,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(0xE900))))
                return false;
            view.m_settings.m_nZoomMode = ZOOM_PERCENT;
            view.m_settings.m_nZoomValue = 100;
            double t0 = NowMs();
            view.LoadImageFile(file.path->c_str());
            FitViewToPicture(view);
            RepaintNow(view.m_hWnd);
            runs.push_back(NowMs() - t0);
            if (!view.m_pImage)
                return false;
        }
        AddRow(picture.name, std::string("LoadImageFile + first paint, ") + file.format, Median(runs));
    }

    CImageView view;
    if (!view.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, hwndHost,
                       reinterpret_cast<HMENU>(static_cast<UINT_PTR>(0xE900))))
        return false;
    view.LoadImageFile(picture.jpeg.c_str());
    for (int percent : {100, 50}) {
        view.m_settings.m_nZoomValue = percent;
        for (int mirrored = 0; mirrored < 2; ++mirrored) {
            for (int rotation = 0; rotation < 4; ++rotation) {
                view.m_nRotation = rotation;
                view.m_bMirrored = mirrored;
                FitViewToPicture(view);
                RepaintNow(view.m_hWnd);
                double ms = TimeMedian(5, [&] { RepaintNow(view.m_hWnd); });
                char step[96];
                std::snprintf(step, sizeof(step), "view repaint %d%% %s%d deg", percent, mirrored ? "mirrored " : "",
                              rotation * 90);
                AddRow(picture.name, step, ms);
            }
        }
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    // "--quick": the transfer of the 12 MP picture only.
    const bool bQuick = argc > 1 && std::string(argv[1]) == "--quick";
    Gdiplus::GdiplusStartupInput input;
    input.GdiplusVersion = 1;
    input.DebugEventCallback = nullptr;
    input.SuppressBackgroundThread = FALSE;
    input.SuppressExternalCodecs = FALSE;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        std::fprintf(stderr, "GDI+ does not start\n");
        return 1;
    }

    std::vector<TestPicture> pictures;
    if (!PreparePictures(&pictures)) {
        Gdiplus::GdiplusShutdown(token);
        return 1;
    }

    HWND hwnd = CreateBenchWindow();
    for (const TestPicture& p : pictures) {
        if (bQuick && &p != &pictures.front())
            break;
        if (!bQuick)
            BenchDecode(p);
        BenchTransfer(hwnd, p, 100, !bQuick);
        BenchTransfer(hwnd, p, 50, !bQuick);
    }
    bool bViewMeasured = true;
    for (const TestPicture& p : pictures)
        bViewMeasured = BenchLoadAndFirstPaint(hwnd, p) && bViewMeasured;
    DestroyWindow(hwnd);

    HDC hdcScreen = GetDC(nullptr);
    std::printf("kep_bench: %s, screen %d x %d, %u hardware threads\n",
                AfxIsRunningOnWine() ? "Wine (ParallelogramBlt moves the pixels itself)"
                                     : "Windows (ParallelogramBlt is PlgBlt)",
                GetDeviceCaps(hdcScreen, HORZRES), GetDeviceCaps(hdcScreen, VERTRES),
                static_cast<unsigned>(std::max<DWORD>(1, [] {
                    SYSTEM_INFO si;
                    GetSystemInfo(&si);
                    return si.dwNumberOfProcessors;
                }())));
    ReleaseDC(nullptr, hdcScreen);
    PrintTable();
    if (!bViewMeasured)
        std::printf("\nLoad plus first paint through the view: not measured (the view could not be made).\n");

    Gdiplus::GdiplusShutdown(token);
    return 0;
}
