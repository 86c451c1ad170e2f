// Target 9: steps through a folder of distinct 12 MP JPEGs in the frame, with
// the neighbours of the picture shown decoded ahead on the worker.
#include "bench/targets/TargetRows.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const int kStepWidth = 4000;
const int kStepHeight = 3000;

// The plasma shifted sideways by a part of its width and with its colour
// channels turned, so that every picture of the folder differs and decodes
// alike.
std::vector<DWORD> Variant(const std::vector<DWORD>& plasma, int nIndex)
{
    const int shift = nIndex * 197 % kStepWidth;
    const int turn = nIndex % 3;
    std::vector<DWORD> px(plasma.size());
    for (int y = 0; y < kStepHeight; ++y) {
        const DWORD* row = &plasma[static_cast<size_t>(y) * kStepWidth];
        DWORD* out = &px[static_cast<size_t>(y) * kStepWidth];
        for (int x = 0; x < kStepWidth; ++x) {
            const DWORD c = row[(x + shift) % kStepWidth];
            out[x] = turn == 0 ? c : turn == 1 ? ((c << 8) | (c >> 16)) & 0xFFFFFF : ((c >> 8) | (c << 16)) & 0xFFFFFF;
        }
    }
    return px;
}

bool KeysQueued()
{
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) != FALSE;
}

// Whether the view has nothing left to paint and no step is pending.
bool Painted(CMainFrame& frame)
{
    return !frame.m_picturesAhead.IsWaiting() && !GetUpdateRect(frame.m_wndView.m_hWnd, nullptr, FALSE);
}

// The frame at the zoom given, showing the folder's first picture.
CMainFrame* OpenFolder(const std::vector<std::string>& steps, int nZoomMode, int nZoomValue)
{
    CMainFrame* pFrame = CreateFrame();
    if (!pFrame)
        return nullptr;
    WindowSettings& settings = pFrame->m_wndView.m_settings;
    settings.m_nZoomMode = nZoomMode;
    settings.m_nZoomValue = nZoomValue;
    settings.m_bTopMost = FALSE;
    settings.m_bFrameless = FALSE;
    pFrame->ProcessCommandLine(("\"" + steps[0] + "\"").c_str());
    pFrame->ApplyFrameStyle();
    PumpFor(300);
    if (!pFrame->m_wndView.m_pImage) {
        DestroyFrame(pFrame);
        return nullptr;
    }
    return pFrame;
}

// One step key, untimed, then the pause: the neighbours ahead are decoded
// and at least a second went by since the key.
bool StepAndPause(CMainFrame& frame)
{
    const unsigned nLoads = frame.m_wndView.m_nLoadCount;
    const double t0 = NowMs();
    PostMessageA(frame.m_wndView.m_hWnd, WM_KEYDOWN, VK_RIGHT, 1);
    if (!PumpUntil([&] { return frame.m_wndView.m_nLoadCount != nLoads && Painted(frame); }, 30000))
        return false;
    if (!PumpUntil([&] { return frame.m_picturesAhead.IsIdle(); }, 30000))
        return false;
    PumpFor(std::max(0.0, 1000.0 - (NowMs() - t0)));
    return true;
}

} // namespace

std::vector<std::string> StepPictures(int nCount)
{
    const std::string folder = BenchFolder() + "\\steps";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::vector<std::string> paths;
    std::vector<DWORD> plasma;
    CLSID clsid;
    if (!GetEncoderClsid(L"image/jpeg", &clsid))
        return {};
    for (int i = 0; i < nCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "\\step_%02d.jpg", i);
        const std::string path = folder + name;
        if (!FileExists(path)) {
            std::fprintf(stderr, "making %s ...\n", path.c_str());
            if (plasma.empty())
                plasma = MakePlasma(kStepWidth, kStepHeight);
            if (!SavePicture(Variant(plasma, i), kStepWidth, kStepHeight, path, clsid))
                return {};
        }
        paths.push_back(path);
    }
    return paths;
}

// The step key to the first complete paint of the picture stepped to, after
// a pause in which its neighbours were decoded ahead, against one block
// transfer of the part of the view the screen shows.
void BenchStepAfterPause(const std::vector<std::string>& steps, int nZoomMode, int nZoomValue, const char* mode)
{
    CMainFrame* pFrame = OpenFolder(steps, nZoomMode, nZoomValue);
    if (!pFrame)
        return;
    CMainFrame& frame = *pFrame;
    std::vector<double> times;
    const int nRuns = g_bQuick ? 3 : 7;
    // The first step only starts the decoding ahead: the picture opened
    // first had no neighbours decoded.
    bool bOk = StepAndPause(frame);
    for (int i = 0; bOk && i < nRuns; ++i) {
        const unsigned nLoads = frame.m_wndView.m_nLoadCount;
        const double t0 = NowMs();
        PostMessageA(frame.m_wndView.m_hWnd, WM_KEYDOWN, VK_RIGHT, 1);
        // Where the time goes: the key handled (the picture shown, or its
        // decode started when it was not ready), then the paint.
        bool bReady = false;
        double shown = 0;
        bOk = PumpUntil(
            [&] {
                if (shown == 0 && frame.m_wndView.m_nLoadCount != nLoads) {
                    shown = NowMs() - t0;
                    bReady = !frame.m_picturesAhead.IsWaiting();
                }
                return shown > 0 && Painted(frame);
            },
            30000);
        GdiFlush();
        times.push_back(NowMs() - t0);
        std::fprintf(stderr, "  step %d (%s): %s at %.1f ms, painted at %.1f ms\n", i, mode,
                     bReady ? "shown from ahead" : "decode started", shown, times.back());
        bOk = bOk && PumpUntil([&] { return frame.m_picturesAhead.IsIdle(); }, 30000);
        PumpFor(std::max(0.0, 1000.0 - (NowMs() - t0)));
    }
    const SIZE visible = VisiblePart(frame.m_wndView.m_hWnd);
    DestroyFrame(pFrame);
    if (!bOk) {
        std::fprintf(stderr, "step after a pause (%s): a step never showed\n", mode);
        return;
    }
    AddRatio("9", std::string("12 MP step after a pause, ") + mode + " / BitBlt visible", Median(times),
             BareBitBlt(visible.cx, visible.cy, 9), 3.0);
}

// 100 step keys at once, through a folder of 20 pictures, at 100 %: from the
// first key to the first complete paint of the picture the last key goes to,
// against one decode and one draw of such a picture.
void BenchStepStorm(const std::vector<std::string>& steps, const Picture& p)
{
    CMainFrame* pFrame = OpenFolder(steps, ZOOM_PERCENT, 100);
    if (!pFrame)
        return;
    CMainFrame& frame = *pFrame;
    const int nKeys = 100;
    std::vector<double> times;
    const int nRuns = g_bQuick ? 1 : 3;
    bool bOk = StepAndPause(frame);
    for (int i = 0; bOk && i < nRuns; ++i) {
        const unsigned nLoads = frame.m_wndView.m_nLoadCount;
        const double t0 = NowMs();
        for (int k = 0; k < nKeys; ++k)
            PostMessageA(frame.m_wndView.m_hWnd, WM_KEYDOWN, VK_RIGHT, 1);
        bOk =
            PumpUntil([&] { return !KeysQueued() && frame.m_wndView.m_nLoadCount != nLoads && Painted(frame); }, 60000);
        GdiFlush();
        times.push_back(NowMs() - t0);
        std::fprintf(stderr, "  storm %d: %.1f ms, %u pictures shown\n", i, times.back(),
                     frame.m_wndView.m_nLoadCount - nLoads);
        bOk = bOk && StepAndPause(frame);
    }
    DestroyFrame(pFrame);
    if (!bOk) {
        std::fprintf(stderr, "step storm: the last picture never showed\n");
        return;
    }
    AddRatio("9", "12 MP step storm, 100 keys / decode + draw", Median(times), DecodeAndDraw(p, 3), 3.0);
}
