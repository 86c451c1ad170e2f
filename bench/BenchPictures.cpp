#include "bench/BenchPictures.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>

using namespace Gdiplus::DllExports;

bool GetEncoderClsid(const wchar_t* mimeType, CLSID* pClsid)
{
    UINT nCount = 0, nBytes = 0;
    if (GdipGetImageEncodersSize(&nCount, &nBytes) != Gdiplus::Ok || nBytes == 0)
        return false;
    std::vector<BYTE> buffer(nBytes);
    Gdiplus::ImageCodecInfo* pCodecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (GdipGetImageEncoders(nCount, nBytes, pCodecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < nCount; ++i) {
        if (wcscmp(pCodecs[i].MimeType, mimeType) == 0) {
            *pClsid = pCodecs[i].Clsid;
            return true;
        }
    }
    return false;
}

bool SavePicture(const std::vector<DWORD>& px, int w, int h, const std::string& path, const CLSID& clsid)
{
    Gdiplus::GpBitmap* pBitmap = nullptr;
    if (GdipCreateBitmapFromScan0(w, h, w * 4, PixelFormat32bppRGB,
                                  reinterpret_cast<BYTE*>(const_cast<DWORD*>(px.data())), &pBitmap) != Gdiplus::Ok)
        return false;
    const Gdiplus::GpStatus status = GdipSaveImageToFile(pBitmap, Widen(path).c_str(), &clsid, nullptr);
    GdipDisposeImage(pBitmap);
    return status == Gdiplus::Ok;
}

double NowMs()
{
    static LARGE_INTEGER s_freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(s_freq.QuadPart);
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

std::string BenchFolder()
{
    char temp[MAX_PATH];
    if (GetTempPathA(MAX_PATH, temp) == 0)
        return std::string();
    const std::string folder = std::string(temp) + "kep_bench";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::wstring Widen(const std::string& s)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w(n > 0 ? n : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], n);
    w.resize(wcslen(w.c_str()));
    return w;
}

bool FileExists(const std::string& path)
{
    const DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

// Sums of waves along x, y and two diagonals.
std::vector<DWORD> MakePlasma(int w, int h)
{
    const double kPi = 3.14159265358979323846;
    std::vector<double> waveX(w), waveY(h), waveD(w + 2 * h), waveE(w + h);
    for (int x = 0; x < w; ++x)
        waveX[x] = std::sin(x * 2.0 * kPi / 913.0);
    for (int y = 0; y < h; ++y)
        waveY[y] = std::sin(y * 2.0 * kPi / 587.0 + 1.0);
    for (size_t i = 0; i < waveD.size(); ++i)
        waveD[i] = std::sin(static_cast<double>(i) * 2.0 * kPi / 1409.0 + 2.0);
    for (size_t i = 0; i < waveE.size(); ++i)
        waveE[i] = std::sin(static_cast<double>(i) * 2.0 * kPi / 331.0);
    std::vector<DWORD> px(static_cast<size_t>(w) * h);
    unsigned seed = 12345;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double v = waveX[x] + waveY[y] + waveD[x + 2 * y] + waveE[w - 1 - x + y];
            seed = seed * 1103515245u + 12345u;
            const int grain = static_cast<int>((seed >> 16) & 7) - 4;
            const auto channel = [&](double phase) {
                const int c = static_cast<int>(127.5 + 120.0 * std::sin(v * kPi / 2.0 + phase)) + grain;
                return static_cast<DWORD>(std::min(255, std::max(0, c)));
            };
            px[static_cast<size_t>(y) * w + x] = (channel(0.0) << 16) | (channel(2.1) << 8) | channel(4.2);
        }
    }
    return px;
}

std::string PlasmaPicture(int w, int h, const char* extension)
{
    const std::string folder = BenchFolder();
    if (folder.empty())
        return std::string();
    const std::string path = folder + "\\plasma_" + std::to_string(w) + "x" + std::to_string(h) + "." + extension;
    if (FileExists(path))
        return path;
    const bool bJpeg = std::string(extension) == "jpg";
    CLSID clsid;
    if (!GetEncoderClsid(bJpeg ? L"image/jpeg" : L"image/png", &clsid)) {
        std::fprintf(stderr, "GDI+ has no encoder for %s\n", extension);
        return std::string();
    }
    std::fprintf(stderr, "making %s ...\n", path.c_str());
    if (!SavePicture(MakePlasma(w, h), w, h, path, clsid)) {
        std::fprintf(stderr, "cannot save %s\n", path.c_str());
        DeleteFileA(path.c_str());
        return std::string();
    }
    return path;
}

double TimeMedian(int nRuns, const std::function<void()>& fn)
{
    std::vector<double> times;
    for (int i = 0; i < nRuns; ++i) {
        const double t0 = NowMs();
        fn();
        GdiFlush();
        times.push_back(NowMs() - t0);
    }
    return Median(times);
}
