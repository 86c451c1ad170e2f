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
//      and the peak of the load over the working set before it, against
//      4 P + F (plus the empty window's); the working set after a step, with
//      the picture shown and the two held ahead, against 4 P + F for each,
//      and what the pictures ahead and the view's kept part hold of it; for
//      reference, the peak of a bare GDI+ decode and draw fitted to the screen
//   6  from the start of kep.exe to its first complete paint of a 1 MP JPEG,
//      against a minimal program that loads and draws the same JPEG with GDI+
//   7  the history submenu with 10 entries of 12 MP JPEGs: opening it until
//      every entry shows its thumbnail (the JPEGs with and without an EXIF
//      thumbnail), until it is up and the window answers, and one change of
//      the highlight
//   8  a repaint of an unchanged view at 50 % and 75 % (InvalidateRect and
//      UpdateWindow), against one BitBlt of the part the screen shows; for
//      reference, the repaint of a bare window whose paint is that BitBlt
//   9  in the frame, through a folder of 20 distinct 12 MP JPEGs: a step key
//      after a pause (its neighbours decoded ahead) to the first complete
//      paint, at 100 % and fitted, against one BitBlt of the part the screen
//      shows; 100 step keys at once to the first paint of the picture the
//      last one goes to, against one decode and draw
//
// Each row prints the figure, its yardstick, the ratio, the limit and whether
// it is met. "--quick" measures a subset in under a minute; "--rows 8,9"
// measures the targets named alone. The frame and
// kep.exe read and write the per-user files beside the executables; their
// contents are put back at the end. Not part of the test suite: bench/run.sh
// builds and runs it. The rows live in bench/targets, by theme.
#include "bench/targets/TargetRows.h"
#include "settings/SettingsFolder.h"

#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include <cstdio>
#include <string>

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
    const int childStatus = MeasureInChild(argc, argv);
    if (childStatus >= 0) {
        Gdiplus::GdiplusShutdown(token);
        return childStatus;
    }
    std::string rows;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--quick")
            g_bQuick = true;
        else if (std::string(argv[i]) == "--rows" && i + 1 < argc)
            rows = "," + std::string(argv[++i]) + ",";
    }
    const auto want = [&](const char* target) {
        return rows.empty() || rows.find("," + std::string(target) + ",") != std::string::npos;
    };

    const Picture mp1 = {"1 MP", 1155, 866, PlasmaPicture(1155, 866, "jpg")};
    const Picture mp12 = {"12 MP JPEG", 4000, 3000, PlasmaPicture(4000, 3000, "jpg")};
    const Picture mp12png = {"12 MP PNG", 4000, 3000, PlasmaPicture(4000, 3000, "png")};
    const Picture mp24 = {"24 MP JPEG", 6000, 4000, PlasmaPicture(6000, 4000, "jpg")};
    const Picture mp24png = {"24 MP PNG", 6000, 4000, PlasmaPicture(6000, 4000, "png")};
    for (const Picture* p : {&mp1, &mp12, &mp12png, &mp24, &mp24png}) {
        if (p->path.empty())
            return 1;
    }
    const std::vector<std::string> steps = StepPictures(20);
    if (steps.empty())
        return 1;
    const Picture step12 = {"12 MP JPEG", 4000, 3000, steps[0]};
    {
        const std::string folder = GetSettingsFolder().GetString();
        SavedFile settingsFile(folder + "\\wndset.def");
        SavedFile historyFile(folder + "\\history.def");
        HWND hwndHost = CreateHostWindow();
        for (const Picture* p : {&mp12, &mp24}) {
            if (want("1") && !(g_bQuick && p != &mp12))
                BenchRepaint(hwndHost, *p, 100, false);
        }
        if (want("2")) {
            BenchRepaint(hwndHost, mp12, 50, true);
            if (!g_bQuick)
                BenchRepaint(hwndHost, mp12, 75, true);
        }
        for (const Picture* p : {&mp12, &mp12png, &mp24, &mp24png}) {
            if (want("3") && !(g_bQuick && p != &mp12))
                BenchLoad(hwndHost, *p);
        }
        if (want("8")) {
            BenchRepaintKept(hwndHost, mp12, 50);
            if (!g_bQuick)
                BenchRepaintKept(hwndHost, mp12, 75);
        }
        DestroyWindow(hwndHost);
        if (want("4")) {
            BenchPulse(mp1, 45.0, g_bQuick ? 2000.0 : 5000.0);
            if (!g_bQuick)
                BenchPulse(mp12, 25.0, 5000.0);
        }
        if (want("5")) {
            BenchWorkingSet(mp12, 1.8);
            if (!g_bQuick)
                BenchWorkingSet(mp24png, 1.3);
            BenchWorkingSetAfterStep(steps, step12);
        }
        if (want("6"))
            BenchStartup();
        if (want("9")) {
            BenchStepAfterPause(steps, ZOOM_PERCENT, 100, "100 %");
            if (!g_bQuick)
                BenchStepAfterPause(steps, ZOOM_ANY, 0, "fitted (free mode)");
            BenchStepStorm(steps, step12);
        }
    }
    if (!g_bQuick && want("7"))
        BenchHistoryMenu();

    HDC hdcScreen = GetDC(nullptr);
    std::printf("kep_bench_targets: %s, screen %d x %d\n", g_bQuick ? "quick" : "full",
                GetDeviceCaps(hdcScreen, HORZRES), GetDeviceCaps(hdcScreen, VERTRES));
    ReleaseDC(nullptr, hdcScreen);
    PrintTable();
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
