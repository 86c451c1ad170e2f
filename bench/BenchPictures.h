// What the benchmark programs share: a millisecond clock, medians, and large
// plasma pictures made through GDI+ (kept in %TEMP%\kep_bench for the next
// run). GDI+ must be started first.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <string>
#include <vector>

double NowMs();
double Median(std::vector<double> v);

std::wstring Widen(const std::string& s);
bool FileExists(const std::string& path);

// %TEMP%\kep_bench, created when missing; empty when there is no temp folder.
std::string BenchFolder();

bool GetEncoderClsid(const wchar_t* mimeType, CLSID* pClsid);
// A colourful plasma of w x h pixels (0x00RRGGBB): sums of waves along x, y
// and two diagonals, with a little grain so that the encoders see something
// like a photograph.
std::vector<DWORD> MakePlasma(int w, int h);
bool SavePicture(const std::vector<DWORD>& px, int w, int h, const std::string& path, const CLSID& clsid);
