// Target 5: the working set, measured in a child process of its own so that
// nothing earlier is counted. The parent starts this program again with
// "--workingset" (a load) or "--workingset-step" (a load and a step) and reads
// the figures the child writes to a file.
#include "bench/targets/TargetRows.h"

#include "res/resource.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

const double kMB = 1024.0 * 1024.0;

double FileBytes(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return static_cast<double>(data.nFileSizeLow) + static_cast<double>(data.nFileSizeHigh) * 4294967296.0;
}

// The child's figures, read back; empty when the child failed.
std::vector<double> RunChild(const std::string& mode, const std::string& path)
{
    const std::string result = BenchFolder() + "\\workingset.txt";
    DeleteFileA(result.c_str());
    if (!RunAndWait("\"" + ModulePath() + "\" " + mode + " \"" + path + "\" \"" + result + "\"", 120000))
        return {};
    std::ifstream in(result);
    std::vector<double> figures;
    double figure = 0;
    while (in >> figure)
        figures.push_back(figure);
    return figures;
}

// The working set of the empty frame; then with the picture loaded and
// painted, at rest (the paints are over and what they only needed meanwhile
// is gone; the view's kept part stays, as it does for a while after a
// paint). The peak is the process's PeakWorkingSetSize (the high-water mark
// of its resident memory), read before and after the load: the process is
// fresh, so the peak before the load is its start-up's, and the load's peak
// is the one after as long as it is higher.
int MeasureLoad(const std::string& path, const std::string& result)
{
    CMainFrame* pFrame = CreateFrame();
    if (!pFrame)
        return 1;
    PumpFor(500);
    const PROCESS_MEMORY_COUNTERS empty = MemoryCounters();
    pFrame->ProcessCommandLine(("\"" + path + "\"").c_str());
    PumpFor(2500);
    const PROCESS_MEMORY_COUNTERS loaded = MemoryCounters();
    DestroyFrame(pFrame);
    std::ofstream out(result);
    out << empty.WorkingSetSize << ' ' << loaded.WorkingSetSize << ' ' << loaded.PeakWorkingSetSize << ' '
        << empty.PeakWorkingSetSize << '\n';
    return 0;
}

// A picture opened, then one step on in its folder, in the free mode (a
// large picture is fitted into the screen): at rest the view shows the
// picture stepped to, keeps its painted part, and the neighbours on either
// side are held decoded ahead. Then what the pictures ahead and the kept
// part hold is measured by letting them go.
int MeasureStep(const std::string& path, const std::string& result)
{
    CMainFrame* pFrame = CreateFrame();
    if (!pFrame)
        return 1;
    pFrame->m_wndView.m_settings.m_nZoomMode = ZOOM_ANY;
    pFrame->m_wndView.m_settings.m_nZoomValue = 0;
    pFrame->m_wndView.m_settings.m_bTopMost = FALSE;
    PumpFor(500);
    const PROCESS_MEMORY_COUNTERS empty = MemoryCounters();
    pFrame->ProcessCommandLine(("\"" + path + "\"").c_str());
    PumpFor(1000);
    const CString first = pFrame->m_wndView.m_strPath;
    pFrame->SendMessage(WM_COMMAND, ID_STEP_NEXT);
    CMainFrame& frame = *pFrame;
    if (!PumpUntil([&] { return frame.m_wndView.m_strPath != first && frame.m_picturesAhead.IsIdle(); }, 30000))
        return 1;
    PumpFor(2500);
    const PROCESS_MEMORY_COUNTERS stepped = MemoryCounters();
    const SIZE kept = pFrame->m_wndView.m_kept.GetSize();
    const SIZE scratch = pFrame->m_wndView.m_offscreen.GetSize();
    pFrame->m_picturesAhead.Clear();
    PumpFor(500);
    const PROCESS_MEMORY_COUNTERS withoutAhead = MemoryCounters();
    pFrame->m_wndView.m_kept.Release();
    PumpFor(500);
    const PROCESS_MEMORY_COUNTERS withoutKept = MemoryCounters();
    DestroyFrame(pFrame);
    std::ofstream out(result);
    out << empty.WorkingSetSize << ' ' << stepped.WorkingSetSize << ' ' << withoutAhead.WorkingSetSize << ' '
        << withoutKept.WorkingSetSize << ' ' << kept.cx << ' ' << kept.cy << ' ' << scratch.cx << ' ' << scratch.cy
        << '\n';
    return 0;
}

// The least a program that decodes with GDI+ and draws the picture fitted to
// the screen with GdipDrawImageRectI peaks at: the decode from the file's
// bytes in memory, then one scaled draw into a bitmap of the fitted size.
int MeasureBareLoad(const std::string& path, const std::string& result)
{
    PumpFor(200);
    const PROCESS_MEMORY_COUNTERS empty = MemoryCounters();
    Gdiplus::GpImage* pImage = DecodeFile(path);
    if (!pImage)
        return 1;
    UINT w = 0, h = 0;
    Gdiplus::DllExports::GdipGetImageWidth(pImage, &w);
    Gdiplus::DllExports::GdipGetImageHeight(pImage, &h);
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const double scale =
        std::min(1.0, std::min(double(work.right - work.left) / w, double(work.bottom - work.top) / h));
    const int fw = std::max(1, static_cast<int>(w * scale)), fh = std::max(1, static_cast<int>(h * scale));
    {
        MemoryBitmap target(fw, fh);
        Gdiplus::GpGraphics* pGraphics = nullptr;
        Gdiplus::DllExports::GdipCreateFromHDC(target.hdc, &pGraphics);
        Gdiplus::DllExports::GdipDrawImageRectI(pGraphics, pImage, 0, 0, fw, fh);
        Gdiplus::DllExports::GdipDeleteGraphics(pGraphics);
    }
    Gdiplus::DllExports::GdipDisposeImage(pImage);
    const PROCESS_MEMORY_COUNTERS after = MemoryCounters();
    std::ofstream out(result);
    out << empty.WorkingSetSize << ' ' << after.PeakWorkingSetSize << ' ' << empty.PeakWorkingSetSize << '\n';
    return 0;
}

} // namespace

int MeasureInChild(int argc, char* argv[])
{
    if (argc != 4)
        return -1;
    const std::string mode = argv[1];
    if (mode == "--workingset")
        return MeasureLoad(argv[2], argv[3]);
    if (mode == "--workingset-step")
        return MeasureStep(argv[2], argv[3]);
    if (mode == "--workingset-bare")
        return MeasureBareLoad(argv[2], argv[3]);
    return -1;
}

void BenchWorkingSet(const Picture& p, double peakLimit)
{
    const std::vector<double> f = RunChild("--workingset", p.path);
    if (f.size() != 4)
        return;
    const double empty = f[0], loaded = f[1], peak = f[2], peakBefore = f[3];
    if (peak <= peakBefore)
        std::fprintf(stderr, "%s: the peak before the load (%.1f MB) was not passed\n", p.name.c_str(),
                     peakBefore / kMB);
    const double yardstick = (4.0 * p.w * p.h + FileBytes(p.path)) / kMB;
    AddRatio("5", p.name + " working set MB / (4 P + F)", (loaded - empty) / kMB, yardstick, 1.25, "MB");
    AddRatio("5", p.name + " peak of the load MB / (4 P + F)", (peak - empty) / kMB, yardstick, peakLimit, "MB");
    const std::vector<double> bare = RunChild("--workingset-bare", p.path);
    if (bare.size() == 3 && bare[1] > bare[2])
        AddRatio("5", "  a bare GDI+ decode and fitted draw, its peak", (bare[1] - bare[0]) / kMB, yardstick, -1.0,
                 "MB");
}

// The working set at rest after a step, against 4 P + F for each picture
// held: the one shown and the two held ahead.
void BenchWorkingSetAfterStep(const std::vector<std::string>& steps, const Picture& p)
{
    if (steps.size() < 3)
        return;
    const std::vector<double> f = RunChild("--workingset-step", steps[0]);
    if (f.size() != 8)
        return;
    const double empty = f[0], stepped = f[1], withoutAhead = f[2], withoutKept = f[3];
    double yardstick = 0;
    for (size_t i : {size_t{0}, size_t{1}, size_t{2}})
        yardstick += (4.0 * p.w * p.h + FileBytes(steps[i])) / kMB;
    AddRatio("5", p.name + " after a step, 2 ahead MB / 3 (4 P + F)", (stepped - empty) / kMB, yardstick, 1.25, "MB");
    AddRatio("5", p.name + " after a step: the 2 pictures ahead", (stepped - withoutAhead) / kMB, -1.0, -1.0, "MB");
    AddRatio("5", p.name + " after a step: the kept part", (withoutAhead - withoutKept) / kMB, -1.0, -1.0, "MB");
    std::fprintf(stderr, "  kept bitmap %.0f x %.0f (%.1f MB at 4 bytes), scratch bitmap %.0f x %.0f\n", f[4], f[5],
                 f[4] * f[5] * 4 / kMB, f[6], f[7]);
}
