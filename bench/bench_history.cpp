// kep_bench_history: what opening the history submenu with thumbnails costs,
// and what moving its highlight costs.
//
// Ten history entries, each a 12 MP (4000 x 3000) JPEG (copies of one plasma
// picture, made once in %TEMP%\kep_bench), shown by the real frame through
// the real menu loop (TrackPopupMenu of the history submenu): once as an
// image program writes them (no EXIF block), once as a camera does (an EXIF
// block holding a 160 x 120 JPEG thumbnail). Measured, as medians:
//   - GDI+ decoding of one such picture from memory, and one thumbnail made
//     from its file (read, decode, draw into the 30 x 30 box): what each draw
//     of an entry would cost if it decoded its picture;
//   - opening the submenu: from the call until every entry is drawn with its
//     thumbnail (seen in the drawing itself: the middle of the box is no
//     longer the menu's background);
//   - the submenu shown: from the call until every entry has been drawn once
//     and the window then answers a message another thread sends it;
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
constexpr int kThumbnailSide = 30;
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

// A camera's EXIF block: IFD0 with the orientation (1), IFD1 naming the
// thumbnail that follows it; offsets from the TIFF header, little-endian.
std::vector<unsigned char> ExifSegmentWith(const std::vector<unsigned char>& thumbnail)
{
    std::vector<unsigned char> tiff = {'I', 'I', 42, 0, 8, 0, 0, 0};
    auto u16 = [&](unsigned v) {
        tiff.push_back(static_cast<unsigned char>(v));
        tiff.push_back(static_cast<unsigned char>(v >> 8));
    };
    auto u32 = [&](unsigned v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    // One entry of count 1; a SHORT sits in the first half of the value field.
    auto entry = [&](unsigned tag, unsigned type, unsigned value) {
        u16(tag);
        u16(type);
        u32(1);
        u32(value);
    };
    const unsigned ifd1 = 8 + 2 + 12 + 4;
    const unsigned thumbnailAt = ifd1 + 2 + 2 * 12 + 4;
    u16(1);
    entry(0x0112, 3, 1); // orientation: as stored
    u32(ifd1);
    u16(2);
    entry(0x0201, 4, thumbnailAt);
    entry(0x0202, 4, static_cast<unsigned>(thumbnail.size()));
    u32(0);
    tiff.insert(tiff.end(), thumbnail.begin(), thumbnail.end());
    const size_t length = 2 + 6 + tiff.size();
    std::vector<unsigned char> segment = {
        0xFF, 0xE1, static_cast<unsigned char>(length >> 8), static_cast<unsigned char>(length), 'E', 'x', 'i', 'f',
        0,    0};
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    return segment;
}

// The 12 MP plasma JPEG as a camera would write it: with an EXIF block that
// holds a 160 x 120 JPEG of the picture right after the start marker.
bool MakeCameraPhoto(const std::string& jpeg, const std::string& camera)
{
    CLSID clsid;
    const std::string small = camera + ".thumbnail.jpg";
    if (!GetEncoderClsid(L"image/jpeg", &clsid) || !SavePicture(MakePlasma(160, 120), 160, 120, small, clsid))
        return false;
    const std::vector<unsigned char> thumbnail = ReadAll(small);
    DeleteFileA(small.c_str());
    std::vector<unsigned char> photo = ReadAll(jpeg);
    if (thumbnail.empty() || photo.size() < 2)
        return false;
    const std::vector<unsigned char> exif = ExifSegmentWith(thumbnail);
    photo.insert(photo.begin() + 2, exif.begin(), exif.end());
    return WriteAll(camera, photo);
}

// The ten pictures: one 12 MP plasma JPEG and its copies, as an image
// program or (bCamera) as a camera writes them.
bool PreparePictures(bool bCamera, std::vector<std::string>* pPaths)
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
    const std::string camera = folder + "\\camera_4000x3000.jpg";
    if (bCamera && !FileExists(camera) && !MakeCameraPhoto(jpeg, camera))
        return false;
    const std::string original = bCamera ? camera : jpeg;
    for (int i = 0; i < kEntries; ++i) {
        const std::string copy = folder + (bCamera ? "\\camera_" : "\\history_") + std::to_string(i) + ".jpg";
        if (!FileExists(copy) && !CopyFileA(original.c_str(), copy.c_str(), TRUE))
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
// every entry drawn; once all are drawn with their thumbnails, Down keys move
// the highlight one entry at a time, each posted when the previous change is
// drawn. Once all entries are drawn for the first time, another thread sends
// the frame a message and notes when it is answered.
struct Opening {
    HWND hFrame = nullptr;
    HANDLE hShown = nullptr; // set when every entry was drawn once
    double startMs = 0.0;
    double shownMs = -1.0;
    double answeredMs = -1.0; // written by the other thread
    double openMs = -1.0;
    // Time spent in the frame's handlers until the opening was complete.
    double handlerStartMs = 0.0;
    double buildMs = 0.0;
    double measureMs = 0.0;
    double drawMs = 0.0;
    std::vector<double> drawTimes; // of each entry draw until the opening was complete
    std::set<UINT> drawn;
    std::set<UINT> filled; // drawn with a thumbnail
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

// Whether the entry was drawn with a picture in its box: the middle of the
// box is neither the menu's background nor the highlight (a plasma picture
// has neither colour).
bool IsDrawnWithThumbnail(const DRAWITEMSTRUCT* draw)
{
    const COLORREF c =
        GetPixel(draw->hDC, draw->rcItem.left + 2 + kThumbnailSide / 2, draw->rcItem.top + 2 + kThumbnailSide / 2);
    return c != CLR_INVALID && c != GetSysColor(COLOR_MENU) && c != GetSysColor(COLOR_HIGHLIGHT);
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
            if (o->shownMs < 0.0 && static_cast<int>(o->drawn.size()) == kEntries) {
                o->shownMs = now - o->startMs;
                SetEvent(o->hShown);
            }
            if (IsDrawnWithThumbnail(draw))
                o->filled.insert(draw->itemID);
            if (static_cast<int>(o->filled.size()) == kEntries) {
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

// Once the submenu is shown, asks the frame for an answer as another program
// would (SendMessageTimeout of WM_NULL).
DWORD WINAPI AskForAnswer(void* pParam)
{
    auto* o = static_cast<Opening*>(pParam);
    if (WaitForSingleObject(o->hShown, kWatchdogMs) != WAIT_OBJECT_0 || o->shownMs < 0.0)
        return 0;
    DWORD_PTR result = 0;
    if (SendMessageTimeoutA(o->hFrame, WM_NULL, 0, 0, SMTO_NORMAL, kWatchdogMs, &result))
        o->answeredMs = NowMs() - o->startMs;
    return 0;
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
    o.hShown = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_pOpening = &o;
    HHOOK hHook = SetWindowsHookExA(WH_CALLWNDPROCRET, &CallWndRetProc, nullptr, GetCurrentThreadId());
    HHOOK hHookBefore = SetWindowsHookExA(WH_CALLWNDPROC, &CallWndProc, nullptr, GetCurrentThreadId());
    UINT_PTR timer = SetTimer(nullptr, kWatchdogTimer, kWatchdogMs, &Watchdog);
    RECT rc;
    pFrame->GetWindowRect(&rc);
    HANDLE hAsker = CreateThread(nullptr, 0, &AskForAnswer, &o, 0, nullptr);
    o.startMs = NowMs();
    TrackPopupMenu(hHistory, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, rc.left, rc.top, 0, pFrame->m_hWnd,
                   nullptr);
    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(hHookBefore);
    UnhookWindowsHookEx(hHook);
    g_pOpening = nullptr;
    // The asking thread ends once answered, or at once when the submenu was
    // never shown; its message is answered while this thread pumps.
    SetEvent(o.hShown);
    while (hAsker && MsgWaitForMultipleObjects(1, &hAsker, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        PumpMessages();
    if (hAsker)
        CloseHandle(hAsker);
    CloseHandle(o.hShown);
    PumpMessages();
    return o.openMs >= 0.0 && o.answeredMs >= 0.0 && static_cast<int>(o.changeMs.size()) == kEntries - 1;
}

struct Figures {
    std::vector<double> openMs;
    std::vector<double> shownMs;
    std::vector<double> changeMs;
};

// kOpenings openings of the submenu listing paths; false when one could not
// be measured completely.
bool MeasureOpenings(CWinApp& app, const std::vector<std::string>& paths, const char* what, Figures* pFigures)
{
    HistoryList history;
    for (const std::string& path : paths)
        history.m_paths.push_back(path.c_str());
    history.m_nMaxCount = kEntries;
    history.m_bShowThumbnails = TRUE;
    history.m_nThumbWidth = kThumbnailSide;
    history.m_nThumbHeight = kThumbnailSide;
    if (!history.Save())
        return false;

    auto* pFrame = new CMainFrame;
    app.m_pMainWnd = pFrame;
    if (!pFrame->LoadFrame(IDR_MAINFRAME))
        return false;
    pFrame->ShowWindow(SW_SHOW);
    pFrame->UpdateWindow();
    PumpMessages();
    bool ok = true;
    for (int i = 0; i < kOpenings && ok; ++i) {
        Opening o;
        ok = MeasureOpening(pFrame, o);
        pFigures->openMs.push_back(o.openMs);
        pFigures->shownMs.push_back(o.answeredMs);
        pFigures->changeMs.insert(pFigures->changeMs.end(), o.changeMs.begin(), o.changeMs.end());
        std::string draws;
        for (double ms : o.drawTimes)
            draws += std::to_string(static_cast<int>(ms)) + " ";
        std::fprintf(stderr,
                     "  %s, opening %d: %.1f ms (shown %.1f, answered %.1f; building %.1f, measuring %.1f, drawing "
                     "%.1f in %d draws: %s), highlight changes %.2f ms (median)\n",
                     what, i + 1, o.openMs, o.shownMs, o.answeredMs, o.buildMs, o.measureMs, o.drawMs,
                     static_cast<int>(o.drawTimes.size()), draws.c_str(), Median(o.changeMs));
    }
    pFrame->DestroyWindow(); // the frame deletes itself
    app.m_pMainWnd = nullptr;
    PumpMessages();
    return ok;
}

} // namespace

int main(int argc, char* argv[])
{
    // "--result FILE": the medians also go to FILE, for the targets table.
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

    std::vector<std::string> photos;
    std::vector<std::string> cameraPhotos;
    if (!PreparePictures(false, &photos) || !PreparePictures(true, &cameraPhotos)) {
        std::fprintf(stderr, "cannot make the test pictures\n");
        Gdiplus::GdiplusShutdown(token);
        return 1;
    }
    const double decodeMs = DecodeMs(photos[0]);
    const double thumbnailMs = ThumbnailMs(photos[0]);
    const double cameraThumbnailMs = ThumbnailMs(cameraPhotos[0]);

    // The history as the frame will read it; the user's file comes back after.
    const std::string historyFile = HistoryList::GetFilePath().GetString();
    const bool bHadHistory = FileExists(historyFile);
    const std::vector<unsigned char> savedHistory = ReadAll(historyFile);
    Figures plain, camera;
    bool ok = MeasureOpenings(app, photos, "photos", &plain) && MeasureOpenings(app, cameraPhotos, "camera", &camera);
    if (bHadHistory)
        WriteAll(historyFile, savedHistory);
    else
        DeleteFileA(historyFile.c_str());

    std::printf("\nkep_bench_history: %d entries, each a 4000 x 3000 JPEG, thumbnails %d x %d, %d openings each\n",
                kEntries, kThumbnailSide, kThumbnailSide, kOpenings);
    std::printf("%-62s %10s\n", "step", "median ms");
    std::printf("%s\n", std::string(73, '-').c_str());
    std::printf("%-62s %10.1f\n", "GDI+ decode of one picture (from memory)", decodeMs);
    std::printf("%-62s %10.1f\n", "  ten of them", decodeMs * kEntries);
    std::printf("%-62s %10.1f\n", "one thumbnail from its file (read, decode, draw)", thumbnailMs);
    std::printf("%-62s %10.1f\n", "  ten of them (one decode and draw per entry)", thumbnailMs * kEntries);
    std::printf("%-62s %10.1f\n", "one thumbnail of a camera photo (with an EXIF thumbnail)", cameraThumbnailMs);
    std::printf("%-62s %10.1f\n", "opening the submenu until all entries show their thumbnails", Median(plain.openMs));
    std::printf("%-62s %10.1f\n", "  the same, camera photos", Median(camera.openMs));
    std::printf("%-62s %10.1f\n", "opening until the submenu is up and the window answers", Median(plain.shownMs));
    std::printf("%-62s %10.2f\n", "one highlight change (Down until the new entry is drawn)", Median(plain.changeMs));
    if (!ok)
        std::printf("\nThe menu could not be measured completely.\n");
    if (resultFile && ok) {
        if (FILE* f = std::fopen(resultFile, "w")) {
            std::fprintf(f, "%f %f %f %f %f\n", decodeMs, Median(plain.openMs), Median(plain.changeMs),
                         Median(camera.openMs), Median(plain.shownMs));
            std::fclose(f);
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return ok ? 0 : 1;
}
