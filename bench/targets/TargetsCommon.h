// What the rows of kep_bench_targets share: the table they print, the
// message pump, the test pictures, a host window with a view in it, the
// frame, the yardsticks' bitmaps and draws, and child processes.
#pragma once

#include "bench/BenchPictures.h"
#include "frame/CMainFrame.h"
#include "view/CImageView.h"

#include <windows.h>
#include <gdiplus.h>
#include <psapi.h>

#include <functional>
#include <string>

#include "CWinApp.h"

extern CWinApp g_app;
// "--quick": a subset of the rows, fewer runs.
extern bool g_bQuick;

// ---- the table --------------------------------------------------------------

// A row of figure / yardstick that must stay at or below the limit; a limit
// below 0 prints the figure alone (with its ratio, as a reference, when it
// has a yardstick).
void AddRatio(const std::string& target, const std::string& measure, double figure, double yardstick, double limit,
              const char* unit = "ms");
// A row of a rate that must reach the limit.
void AddRate(const std::string& target, const std::string& measure, double rate, double limit);
void PrintTable();

// ---- messages ---------------------------------------------------------------

void PumpMessages();
void PumpFor(double ms);
// Pumps until done() holds or timeoutMs pass; whether it held.
bool PumpUntil(const std::function<bool()>& done, double timeoutMs);

// ---- pictures and windows ---------------------------------------------------

struct Picture {
    std::string name;
    int w;
    int h;
    std::string path;
};

HWND CreateHostWindow();
void RepaintNow(HWND hwnd);

// A view in the host window, sized to its display as the frame would size it.
struct BenchView {
    CImageView view;
    bool Create(HWND hwndHost, int nPercent);
    void Fit();
};

// A decoded picture, as GdipLoadImageFromStream makes it from the file's bytes.
Gdiplus::GpImage* DecodeFile(const std::string& path);

// A memory DC with a compatible bitmap of w x h, for the yardsticks.
struct MemoryBitmap {
    HDC hdc = nullptr;
    HBITMAP hbm = nullptr;
    HGDIOBJ hOld = nullptr;
    MemoryBitmap(int w, int h);
    ~MemoryBitmap();
    MemoryBitmap(const MemoryBitmap&) = delete;
    MemoryBitmap& operator=(const MemoryBitmap&) = delete;
};

// The median of GdipDrawImageRectI of the picture at w x h into a bitmap.
double BareDraw(Gdiplus::GpImage* pImage, int w, int h, int nRuns);
// The median of one BitBlt of w x h from one memory bitmap to another.
double BareBitBlt(int w, int h, int nRuns);
// The part of a window the screen shows (its client area as far as the
// window system lets a paint through).
SIZE VisiblePart(HWND hwnd);

// ---- the frame --------------------------------------------------------------

CMainFrame* CreateFrame();
void DestroyFrame(CMainFrame* pFrame);

// ---- processes --------------------------------------------------------------

PROCESS_MEMORY_COUNTERS MemoryCounters();
std::string ModulePath();
std::string ModuleFolder();
bool RunAndWait(const std::string& commandLine, DWORD timeoutMs);
