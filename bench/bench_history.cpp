// kep_bench_history: what opening the history submenu with thumbnails costs,
// and what moving its highlight costs.
//
// Ten history entries, each a 12 MP (4000 x 3000) JPEG (copies of one plasma
// picture, made once in %TEMP%\kep_bench), shown by the real frame through
// the real menu loop (TrackPopupMenu of the history submenu). Measured, as
// medians:
//   - GDI+ decoding of one such picture from memory, and one thumbnail made
//     from its file (read, decode, draw into the 30 x 30 box): what each draw
//     of an entry would cost if it decoded its picture;
//   - opening the submenu: from the call until all ten entries are drawn;
//   - one highlight change: from a Down key in the open submenu until the
//     newly selected entry is drawn.
// The history file in the settings folder is put back as it was at the end.
// Not part of the test suite: bench/run.sh history builds and runs it.
#include "BenchPictures.h"
#include "CBitmap.h"
#include "CWinApp.h"
#include "frame/CMainFrame.h"
#include "history/HistoryList.h"
#include "history/HistoryThumbnail.h"
#include "res/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

using namespace Gdiplus::DllExports;

namespace {

constexpr int kEntries = 10;
constexpr int kOpenings = 3;
constexpr UINT_PTR kWatchdogTimer = 0x4B42;
constexpr UINT kWatchdogMs = 60000;

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::vector<unsigned char> ReadAll(const std::string& path)
{
    std::vector<unsigned char> bytes;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(h, nullptr));
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        read = 0;
    bytes.resize(read);
    CloseHandle(h);
    return bytes;
}

bool WriteAll(const std::string& path, const std::vector<unsigned char>& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = bytes.empty() || (WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                                      written == bytes.size());
    CloseHandle(h);
    return ok;
}

// The ten pictures: one 12 MP plasma JPEG and its copies.
bool PreparePictures(std::vector<std::string>* pPaths)
{
    const std::string folder = BenchFolder();
    if (folder.empty())
        return false;
    const std::string jpeg = folder + "\\plasma_4000x3000.jpg";
    if (!FileExists(jpeg)) {
        CLSID clsid;
        std::fprintf(stderr, "making %s ...\n", jpeg.c_str());
        if (!GetEncoderClsid(L"image/jpeg", &clsid) || !SavePicture(MakePlasma(4000, 3000), 4000, 3000, jpeg, clsid))
            return false;
    }
    for (int i = 0; i < kEntries; ++i) {
        const std::string copy = folder + "\\history_" + std::to_string(i) + ".jpg";
        if (!FileExists(copy) && !CopyFileA(jpeg.c_str(), copy.c_str(), TRUE))
            return false;
        pPaths->push_back(copy);
    }
    return true;
}

double DecodeMs(const std::string& path)
{
    const std::vector<unsigned char> bytes = ReadAll(path);
    std::vector<double> runs;
    for (int i = 0; i < 3; ++i) {
        HGLOBAL hData = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        memcpy(GlobalLock(hData), bytes.data(), bytes.size());
        GlobalUnlock(hData);
        IStream* pStream = nullptr;
        if (CreateStreamOnHGlobal(hData, TRUE, &pStream) != S_OK) {
            GlobalFree(hData);
            return -1.0;
        }
        const double t0 = NowMs();
        Gdiplus::GpImage* pImage = nullptr;
        const bool ok = GdipLoadImageFromStream(pStream, &pImage) == Gdiplus::Ok;
        runs.push_back(NowMs() - t0);
        if (pImage)
            GdipDisposeImage(pImage);
        pStream->Release();
        if (!ok)
            return -1.0;
    }
    return Median(runs);
}

double ThumbnailMs(const std::string& path)
{
    std::vector<double> runs;
    for (int i = 0; i < 3; ++i) {
        CBitmap bitmap;
        const double t0 = NowMs();
        const bool ok = MakeThumbnail(path.c_str(), 30, 30, bitmap) != FALSE;
        runs.push_back(NowMs() - t0);
        if (!ok)
            return -1.0;
    }
    return Median(runs);
}

// One opening of the submenu, watched from inside the menu loop: a hook sees
// every entry drawn; once all are, Down keys move the highlight one entry at a
// time, each posted when the previous change is drawn.
struct Opening {
    HWND hFrame = nullptr;
    double startMs = 0.0;
    double openMs = -1.0;
    // Time spent in the frame's handlers until the opening was complete.
    double handlerStartMs = 0.0;
    double buildMs = 0.0;
    double measureMs = 0.0;
    double drawMs = 0.0;
    std::vector<double> drawTimes; // of each entry draw until the opening was complete
    std::set<UINT> drawn;
    int keysPosted = 0;
    double keyMs = 0.0;
    std::vector<double> changeMs;
};
Opening* g_pOpening = nullptr;

void PostDown(Opening& o)
{
    ++o.keysPosted;
    o.keyMs = NowMs();
    PostMessageA(o.hFrame, WM_KEYDOWN, VK_DOWN, 1);
}

bool IsTimedMessage(UINT message)
{
    return message == WM_INITMENUPOPUP || message == WM_MEASUREITEM || message == WM_DRAWITEM;
}

LRESULT CALLBACK CallWndProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    const auto* p = reinterpret_cast<const CWPSTRUCT*>(lParam);
    Opening* o = g_pOpening;
    if (nCode == HC_ACTION && o && p->hwnd == o->hFrame && IsTimedMessage(p->message))
        o->handlerStartMs = NowMs();
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

LRESULT CALLBACK CallWndRetProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    const auto* p = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    Opening* o = g_pOpening;
    if (nCode == HC_ACTION && o && p->hwnd == o->hFrame && o->openMs < 0.0 && IsTimedMessage(p->message)) {
        const double ms = NowMs() - o->handlerStartMs;
        (p->message == WM_INITMENUPOPUP ? o->buildMs : p->message == WM_MEASUREITEM ? o->measureMs : o->drawMs) += ms;
        if (p->message == WM_DRAWITEM)
            o->drawTimes.push_back(ms);
    }
    if (nCode == HC_ACTION && o && p->hwnd == o->hFrame && p->message == WM_DRAWITEM) {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(p->lParam);
        const double now = NowMs();
        if (o->openMs < 0.0) {
            o->drawn.insert(draw->itemID);
            if (static_cast<int>(o->drawn.size()) == kEntries) {
                o->openMs = now - o->startMs;
                PostDown(*o); // selects the first entry
            }
        } else if (draw->itemState & ODS_SELECTED) {
            // The newly selected entry is drawn last, after the one left.
            if (o->keysPosted > 1)
                o->changeMs.push_back(now - o->keyMs);
            if (o->keysPosted < kEntries)
                PostDown(*o);
            else
                PostMessageA(o->hFrame, WM_CANCELMODE, 0, 0);
        }
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD)
{
    std::fprintf(stderr, "the menu did not finish in time\n");
    EndMenu();
}

bool MeasureOpening(CMainFrame* pFrame, Opening& o)
{
    HMENU hHistory = pFrame->GetHistorySubMenu();
    if (!hHistory)
        return false;
    o.hFrame = pFrame->m_hWnd;
    g_pOpening = &o;
    HHOOK hHook = SetWindowsHookExA(WH_CALLWNDPROCRET, &CallWndRetProc, nullptr, GetCurrentThreadId());
    HHOOK hHookBefore = SetWindowsHookExA(WH_CALLWNDPROC, &CallWndProc, nullptr, GetCurrentThreadId());
    UINT_PTR timer = SetTimer(nullptr, kWatchdogTimer, kWatchdogMs, &Watchdog);
    RECT rc;
    pFrame->GetWindowRect(&rc);
    o.startMs = NowMs();
    TrackPopupMenu(hHistory, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, rc.left, rc.top, 0, pFrame->m_hWnd,
                   nullptr);
    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(hHookBefore);
    UnhookWindowsHookEx(hHook);
    g_pOpening = nullptr;
    PumpMessages();
    return o.openMs >= 0.0 && static_cast<int>(o.changeMs.size()) == kEntries - 1;
}

} // namespace

int main(int argc, char* argv[])
{
    // "--result FILE": the three medians also go to FILE, for the targets table.
    const char* resultFile = argc == 3 && std::string(argv[1]) == "--result" ? argv[2] : nullptr;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        std::fprintf(stderr, "GDI+ does not start\n");
        return 1;
    }
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    CWinApp app;
    app.m_hInstance = GetModuleHandleA(nullptr);

    std::vector<std::string> paths;
    if (!PreparePictures(&paths)) {
        std::fprintf(stderr, "cannot make the test pictures\n");
        Gdiplus::GdiplusShutdown(token);
        return 1;
    }
    const double decodeMs = DecodeMs(paths[0]);
    const double thumbnailMs = ThumbnailMs(paths[0]);

    // The history as the frame will read it; the user's file comes back after.
    const std::string historyFile = HistoryList::GetFilePath().GetString();
    const bool bHadHistory = FileExists(historyFile);
    const std::vector<unsigned char> savedHistory = ReadAll(historyFile);
    HistoryList history;
    for (const std::string& path : paths)
        history.m_paths.push_back(path.c_str());
    history.m_nMaxCount = kEntries;
    history.m_bShowThumbnails = TRUE;
    history.m_nThumbWidth = 30;
    history.m_nThumbHeight = 30;
    bool ok = history.Save() != FALSE;

    std::vector<double> openMs;
    std::vector<double> changeMs;
    auto* pFrame = new CMainFrame;
    app.m_pMainWnd = pFrame;
    if (ok && pFrame->LoadFrame(IDR_MAINFRAME)) {
        pFrame->ShowWindow(SW_SHOW);
        pFrame->UpdateWindow();
        PumpMessages();
        for (int i = 0; i < kOpenings && ok; ++i) {
            Opening o;
            ok = MeasureOpening(pFrame, o);
            openMs.push_back(o.openMs);
            changeMs.insert(changeMs.end(), o.changeMs.begin(), o.changeMs.end());
            std::fprintf(
                stderr,
                "  opening %d: %.1f ms (building %.1f, measuring %.1f, drawing %.1f in %d draws: %s), "
                "highlight changes %.2f ms (median)\n",
                i + 1, o.openMs, o.buildMs, o.measureMs, o.drawMs, static_cast<int>(o.drawTimes.size()),
                [&] {
                    std::string list;
                    for (double ms : o.drawTimes)
                        list += std::to_string(static_cast<int>(ms)) + " ";
                    return list;
                }()
                    .c_str(),
                Median(o.changeMs));
        }
        pFrame->DestroyWindow(); // the frame deletes itself
        PumpMessages();
    } else {
        ok = false;
    }

    if (bHadHistory)
        WriteAll(historyFile, savedHistory);
    else
        DeleteFileA(historyFile.c_str());

    std::printf("\nkep_bench_history: %d entries, each a 4000 x 3000 JPEG, thumbnails 30 x 30, %d openings\n", kEntries,
                kOpenings);
    std::printf("%-58s %10s\n", "step", "median ms");
    std::printf("%s\n", std::string(69, '-').c_str());
    std::printf("%-58s %10.1f\n", "GDI+ decode of one picture (from memory)", decodeMs);
    std::printf("%-58s %10.1f\n", "  ten of them", decodeMs * kEntries);
    std::printf("%-58s %10.1f\n", "one thumbnail from its file (read, decode, draw)", thumbnailMs);
    std::printf("%-58s %10.1f\n", "  ten of them (one decode and draw per entry)", thumbnailMs * kEntries);
    std::printf("%-58s %10.1f\n", "opening the submenu until all entries are drawn", Median(openMs));
    std::printf("%-58s %10.2f\n", "one highlight change (Down until the new entry is drawn)", Median(changeMs));
    if (!ok)
        std::printf("\nThe menu could not be measured completely.\n");
    if (resultFile && ok) {
        if (FILE* f = std::fopen(resultFile, "w")) {
            std::fprintf(f, "%f %f %f\n", decodeMs, Median(openMs), Median(changeMs));
            std::fclose(f);
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return ok ? 0 : 1;
}
