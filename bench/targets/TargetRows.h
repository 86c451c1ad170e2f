// The rows of kep_bench_targets, by theme; each adds its rows to the table.
#pragma once

#include "bench/targets/TargetsCommon.h"

#include <string>
#include <vector>

// 1, 2 and 8: repaints of a view in the host window (TargetsPaint.cpp).
void BenchRepaint(HWND hwndHost, const Picture& p, int nPercent, bool bScaledTarget);
void BenchRepaintKept(HWND hwndHost, const Picture& p, int nPercent);
// 3: the load and first paint (TargetsPaint.cpp).
void BenchLoad(HWND hwndHost, const Picture& p);
// The yardstick of 3 and of the step storm: one decode plus one bare draw at
// the picture's size, in ms.
double DecodeAndDraw(const Picture& p, int nRuns);

// 4, 6: the pulse and the start-up (TargetsFrame.cpp).
void BenchPulse(const Picture& p, double limit, double runMs);
void BenchStartup();

// 5: memory (TargetsMemory.cpp). The measuring runs in a child process of
// its own, started with one of the arguments MeasureInChild takes.
void BenchWorkingSet(const Picture& p, double peakLimit);
void BenchWorkingSetAfterStep(const std::vector<std::string>& steps, const Picture& p);
// The child's side: argv[1] is "--workingset", "--workingset-step" or
// "--workingset-bare" (the reference: a bare GDI+ decode and fitted draw);
// the process's status, or -1 for another argument.
int MeasureInChild(int argc, char* argv[]);

// 7: the history submenu (TargetsHistory.cpp).
void BenchHistoryMenu();

// 9: steps through a folder of distinct 12 MP JPEGs (TargetsSteps.cpp).
// The folder's pictures, made once; empty on failure.
std::vector<std::string> StepPictures(int nCount);
void BenchStepAfterPause(const std::vector<std::string>& steps, int nZoomMode, int nZoomValue, const char* mode);
void BenchStepStorm(const std::vector<std::string>& steps, const Picture& p);
