// What the benchmarks share: a steady clock, medians, and plasma test
// pictures made once with GDI+ and kept in %TEMP%\kep_bench for the next
// run. GDI+ must be started first.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <string>
#include <vector>

// Milliseconds from the performance counter.
double NowMs();
double Median(std::vector<double> v);

// ANSI (the code page of the paths) to UTF-16 for GDI+.
std::wstring Widen(const std::string& s);

bool FileExists(const std::string& path);

// %TEMP%\kep_bench, created when missing; empty when there is no temp folder.
std::string BenchFolder();

bool GetEncoderClsid(const wchar_t* mimeType, CLSID* pClsid);
bool SavePicture(const std::vector<DWORD>& px, int w, int h, const std::string& path, const CLSID& clsid);

// A colourful plasma of w x h 0x00RRGGBB pixels: sums of waves along x, y and
// two diagonals, with a little grain so that the encoders see something like
// a photograph.
std::vector<DWORD> MakePlasma(int w, int h);

// The path of a plasma picture of w x h pixels in %TEMP%\kep_bench, made
// (as "jpg" or "png") when it is not there yet; empty on failure.
std::string PlasmaPicture(int w, int h, const char* extension);
