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

// The view keeps the part it painted: invalidating an unchanged view and
// updating it puts that part on the screen again, which should cost about
// one block transfer of the part the screen shows.
void BenchRepaintKept(HWND hwndHost, const Picture& p, int nPercent)
{
    BenchView bv;
    if (!bv.Create(hwndHost, nPercent))
        return;
    bv.view.LoadImageFile(p.path.c_str());
    bv.Fit();
    RepaintNow(bv.view.m_hWnd); // the first paint draws and keeps the part
    const HWND hwnd = bv.view.m_hWnd;
    const int nRuns = g_bQuick ? 5 : 15;
    const double repaint = TimeMedian(nRuns, [&] {
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
    });
    const SIZE visible = VisiblePart(hwnd);
    AddRatio("8", p.name + " repaint kept at " + std::to_string(nPercent) + " % / BitBlt visible", repaint,
             BareBitBlt(visible.cx, visible.cy, nRuns), 3.0);
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
