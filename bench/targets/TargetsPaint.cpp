// Targets 1, 2, 3 and 8: repaints and the first paint of a view in the host
// window.
#include "bench/targets/TargetRows.h"

#include <vector>

using namespace Gdiplus::DllExports;

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

// ---- target 8: a repaint of an unchanged view -------------------------------

namespace {

// A window whose paint is one BitBlt of a memory bitmap and nothing else: the
// least any program pays for a repaint through the window system.
HDC g_hdcBareSource = nullptr;
SIZE g_bareSize = {};

LRESULT CALLBACK BareWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_ERASEBKGND)
        return 1;
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        BitBlt(hdc, 0, 0, g_bareSize.cx, g_bareSize.cy, g_hdcBareSource, 0, 0, SRCCOPY);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The median of InvalidateRect and UpdateWindow. The window system puts a
// window's pixels on the screen at the end of each paint once the program
// has not gone idle for a while (and otherwise when it goes idle): the
// program is kept from going idle first, so that every paint measured, of
// the view or of the bare window, pays for that transfer alike.
double TimeRepaints(HWND hwnd, int nRuns)
{
    Sleep(100);
    return TimeMedian(nRuns, [&] {
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
    });
}

double BareWindowRepaint(HWND hwndHost, SIZE size, int nRuns)
{
    MemoryBitmap source(size.cx, size.cy);
    PatBlt(source.hdc, 0, 0, size.cx, size.cy, WHITENESS);
    g_hdcBareSource = source.hdc;
    g_bareSize = size;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BareWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KEPBenchBare";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, size.cx, size.cy, hwndHost,
                                nullptr, wc.hInstance, nullptr);
    RepaintNow(hwnd);
    const double ms = TimeRepaints(hwnd, nRuns);
    DestroyWindow(hwnd);
    return ms;
}

} // namespace

// The view keeps the part it painted: invalidating an unchanged view and
// updating it puts that part on the screen again, which should cost about
// one block transfer of the part the screen shows. A bare window doing only
// that transfer shows what the window system itself takes.
void BenchRepaintKept(HWND hwndHost, const Picture& p, int nPercent)
{
    SIZE visible = {};
    double repaint = 0;
    const int nRuns = g_bQuick ? 5 : 15;
    {
        BenchView bv;
        if (!bv.Create(hwndHost, nPercent))
            return;
        bv.view.LoadImageFile(p.path.c_str());
        bv.Fit();
        RepaintNow(bv.view.m_hWnd); // the first paint draws and keeps the part
        repaint = TimeRepaints(bv.view.m_hWnd, nRuns);
        visible = VisiblePart(bv.view.m_hWnd);
    }
    const std::string name = p.name + " repaint kept at " + std::to_string(nPercent) + " %";
    const double blt = BareBitBlt(visible.cx, visible.cy, nRuns);
    AddRatio("8", name + " / BitBlt visible", repaint, blt, 3.0);
    AddRatio("8", "  a bare window's repaint by that BitBlt / BitBlt", BareWindowRepaint(hwndHost, visible, nRuns), blt,
             -1.0);
}

// ---- target 3: load and first paint ----------------------------------------

double DecodeAndDraw(const Picture& p, int nRuns)
{
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
        return -1.0;
    const double draw = BareDraw(pImage, p.w, p.h, nRuns);
    GdipDisposeImage(pImage);
    return Median(decodes) + draw;
}

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
    const double yardstick = DecodeAndDraw(p, nRuns);
    if (yardstick < 0)
        return;
    AddRatio("3", p.name + " load + first paint / decode + draw", Median(loads), yardstick, 1.3);
}
