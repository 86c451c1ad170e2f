// What the benchmarks share: a steady clock, and plasma test pictures made
// once with GDI+ and kept in %TEMP%\kep_bench for the next run.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Milliseconds from the performance counter.
double NowMs();

// ANSI (the code page of the paths) to UTF-16 for GDI+.
std::wstring Widen(const std::string& s);

bool IsFile(const std::string& path);

// A colourful plasma of w x h 0x00RRGGBB pixels, with a little grain so that
// the encoders see something like a photograph.
std::vector<DWORD> MakePlasma(int w, int h);

// The path of a plasma picture of w x h pixels in %TEMP%\kep_bench, made
// (as "jpg" or "png") when it is not there yet; empty on failure. GDI+ must
// be running.
std::string PlasmaPicture(int w, int h, const char* extension);
