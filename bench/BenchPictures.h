// What the benchmarks share: a steady clock, medians, a file put back after a
// run, and plasma test pictures made once with GDI+ and kept in
// %TEMP%\kep_bench for the next run. GDI+ must be started first.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <fstream>
#include <functional>
#include <iterator>
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

// Median time of fn over nRuns runs; GDI's batch is flushed inside the timing.
double TimeMedian(int nRuns, const std::function<void()>& fn);

// A file's bytes, put back (or removed again) when the object goes.
class SavedFile {
public:
    explicit SavedFile(std::string path) : m_path(std::move(path))
    {
        std::ifstream in(m_path, std::ios::binary);
        m_bExisted = static_cast<bool>(in);
        if (m_bExisted)
            m_bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ~SavedFile()
    {
        if (!m_bExisted) {
            DeleteFileA(m_path.c_str());
            return;
        }
        std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
        out.write(m_bytes.data(), static_cast<std::streamsize>(m_bytes.size()));
    }
    SavedFile(const SavedFile&) = delete;
    SavedFile& operator=(const SavedFile&) = delete;

private:
    std::string m_path;
    bool m_bExisted = false;
    std::vector<char> m_bytes;
};
