/* Drives KEP for the end-to-end scripts, from inside Wine.

   kepctl list                one line per KEP frame (any process):
                              hwnd xwin pid visible frame-rect view-rect title
                              (rects as left top right bottom, screen pixels;
                              xwin is the X window Wine made for the frame,
                              pid the Windows process id)
   kepctl pids                the Windows ids of the running kep.exe processes
   kepctl dpi                 the system's dots per inch (LOGPIXELSY of the screen)
   kepctl post XWIN ID        posts WM_COMMAND ID to the frame of X window XWIN
   kepctl foreground XWIN     makes the frame of X window XWIN the foreground
                              window, so that the keys typed next reach it
   kepctl close-others PID... ends every kep.exe process not named: dismisses
                              its dialogs and posts its frames the exit command
                              (57665), again for processes that appear meanwhile
                              (one may start others while it goes), until none
                              is left; one that still runs after 10 s is ended
                              by force, and the status is then 1

   Numbers may be decimal or 0x hex. */
#include <windows.h>
#include <tlhelp32.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define FRAME_CLASS "KEPClass"
#define PROGRAM "kep.exe"
#define VIEW_ID 0xE900
#define ID_APP_EXIT 57665
#define MAX_ITEMS 256
#define EXIT_TIMEOUT_MS 10000
#define CLOSE_TIMEOUT_MS 30000

static unsigned long XWindowOf(HWND hWnd)
{
    /* Wine's X11 driver keeps the X window of a top-level window in this property. */
    return (unsigned long)(ULONG_PTR)GetPropA(hWnd, "__wine_x11_whole_window");
}

static int Frames(HWND* out, int max)
{
    int n = 0;
    HWND h = NULL;
    while (n < max && (h = FindWindowExA(NULL, h, FRAME_CLASS, NULL)) != NULL)
        out[n++] = h;
    return n;
}

static int Processes(DWORD* out, int max)
{
    int n = 0;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    if (snap == INVALID_HANDLE_VALUE)
        return 0;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snap, &entry); more && n < max; more = Process32Next(snap, &entry))
        if (lstrcmpiA(entry.szExeFile, PROGRAM) == 0)
            out[n++] = entry.th32ProcessID;
    CloseHandle(snap);
    return n;
}

static int List(void)
{
    HWND frames[MAX_ITEMS];
    int n = Frames(frames, MAX_ITEMS);
    for (int i = 0; i < n; ++i) {
        HWND h = frames[i];
        DWORD pid = 0;
        RECT rc = {0}, view = {0};
        char title[1024] = "";
        HWND hView = GetDlgItem(h, VIEW_ID);
        GetWindowThreadProcessId(h, &pid);
        GetWindowRect(h, &rc);
        if (hView)
            GetWindowRect(hView, &view);
        GetWindowTextA(h, title, sizeof title);
        printf("%#lx %lu %lu %d %ld %ld %ld %ld %ld %ld %ld %ld %s\n",
               (unsigned long)(ULONG_PTR)h, XWindowOf(h), (unsigned long)pid,
               IsWindowVisible(h) ? 1 : 0, rc.left, rc.top, rc.right, rc.bottom,
               view.left, view.top, view.right, view.bottom, title);
    }
    return 0;
}

static int Pids(void)
{
    DWORD pids[MAX_ITEMS];
    int n = Processes(pids, MAX_ITEMS);
    for (int i = 0; i < n; ++i)
        printf("%lu\n", (unsigned long)pids[i]);
    return 0;
}

static int Dpi(void)
{
    HDC dc = GetDC(NULL);
    printf("%d\n", GetDeviceCaps(dc, LOGPIXELSY));
    ReleaseDC(NULL, dc);
    return 0;
}

static HWND FrameOfXWindow(const char* xwin)
{
    HWND frames[MAX_ITEMS];
    unsigned long wanted = strtoul(xwin, NULL, 0);
    int n = Frames(frames, MAX_ITEMS);
    for (int i = 0; i < n; ++i)
        if (XWindowOf(frames[i]) == wanted)
            return frames[i];
    fprintf(stderr, "kepctl: no KEP frame has X window %s\n", xwin);
    return NULL;
}

static int Post(const char* xwin, const char* id)
{
    HWND h = FrameOfXWindow(xwin);
    if (!h)
        return 2;
    return PostMessageA(h, WM_COMMAND, (WPARAM)strtoul(id, NULL, 0), 0) ? 0 : 1;
}

static int Foreground(const char* xwin)
{
    HWND h = FrameOfXWindow(xwin);
    if (!h)
        return 2;
    return SetForegroundWindow(h) ? 0 : 1;
}

/* For each top-level window of process `pid`: dismiss a dialog (a message box
   or a file dialog left open by a failed step), ask a frame to exit. */
static BOOL CALLBACK AskToExit(HWND h, LPARAM pid)
{
    DWORD owner = 0;
    char cls[64] = "";
    GetWindowThreadProcessId(h, &owner);
    if (owner != (DWORD)pid)
        return TRUE;
    GetClassNameA(h, cls, sizeof cls);
    if (strcmp(cls, "#32770") == 0)
        PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
    else if (strcmp(cls, FRAME_CLASS) == 0)
        PostMessageA(h, WM_COMMAND, ID_APP_EXIT, 0);
    return TRUE;
}

struct Leaving {
    DWORD pid;
    HANDLE process;
    DWORD firstSeen;
};

static int CloseOthers(int argc, char** argv)
{
    struct Leaving leaving[MAX_ITEMS];
    int nLeaving = 0, status = 0;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD pids[MAX_ITEMS];
        int n = Processes(pids, MAX_ITEMS), others = 0;
        for (int i = 0; i < n; ++i) {
            BOOL keep = FALSE;
            for (int k = 0; k < argc; ++k)
                if (strtoul(argv[k], NULL, 0) == pids[i])
                    keep = TRUE;
            if (keep)
                continue;
            int j = 0;
            while (j < nLeaving && leaving[j].pid != pids[i])
                ++j;
            if (j == nLeaving) {
                if (nLeaving == MAX_ITEMS)
                    continue;
                leaving[j].pid = pids[i];
                leaving[j].process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pids[i]);
                leaving[j].firstSeen = GetTickCount();
                ++nLeaving;
            }
            if (!leaving[j].process || WaitForSingleObject(leaving[j].process, 0) == WAIT_OBJECT_0)
                continue;
            ++others;
            /* Asked again each round: a process still starting has no frame yet. */
            EnumWindows(AskToExit, (LPARAM)pids[i]);
            if (GetTickCount() - leaving[j].firstSeen > EXIT_TIMEOUT_MS) {
                fprintf(stderr, "kepctl: process %lu did not exit; ending it\n", (unsigned long)pids[i]);
                TerminateProcess(leaving[j].process, 1);
                status = 1;
            }
        }
        if (others == 0)
            break;
        if (GetTickCount() - start > CLOSE_TIMEOUT_MS) {
            fprintf(stderr, "kepctl: kep.exe processes keep appearing\n");
            status = 1;
            break;
        }
        Sleep(100);
    }
    for (int j = 0; j < nLeaving; ++j)
        if (leaving[j].process)
            CloseHandle(leaving[j].process);
    return status;
}

int main(int argc, char** argv)
{
    /* Plain LF line ends for the shell. */
    _setmode(_fileno(stdout), _O_BINARY);
    /* Rectangles and dots per inch in screen pixels at any scale. */
    SetProcessDPIAware();
    if (argc == 2 && strcmp(argv[1], "list") == 0)
        return List();
    if (argc == 2 && strcmp(argv[1], "pids") == 0)
        return Pids();
    if (argc == 2 && strcmp(argv[1], "dpi") == 0)
        return Dpi();
    if (argc == 4 && strcmp(argv[1], "post") == 0)
        return Post(argv[2], argv[3]);
    if (argc == 3 && strcmp(argv[1], "foreground") == 0)
        return Foreground(argv[2]);
    if (argc >= 2 && strcmp(argv[1], "close-others") == 0)
        return CloseOthers(argc - 2, argv + 2);
    fprintf(stderr, "usage: kepctl list | pids | dpi | post XWIN ID | foreground XWIN | close-others [PID...]\n");
    return 64;
}
