// The yardstick of KEP's start-up: the least a Win32 program does to show a
// picture. It loads the JPEG named on its command line with GDI+ and draws it
// at its own size in a plain window. bench_targets times how long, from the
// process's start, the picture takes to appear on the screen, for this and
// for kep.exe.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <string>

using namespace Gdiplus::DllExports;

namespace {

Gdiplus::GpImage* g_pImage = nullptr;

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        Gdiplus::GpGraphics* pGraphics = nullptr;
        if (g_pImage && GdipCreateFromHDC(hdc, &pGraphics) == Gdiplus::Ok) {
            UINT w = 0, h = 0;
            GdipGetImageWidth(g_pImage, &w);
            GdipGetImageHeight(g_pImage, &h);
            GdipDrawImageRectI(pGraphics, g_pImage, 0, 0, static_cast<INT>(w), static_cast<INT>(h));
            GdipDeleteGraphics(pGraphics);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int)
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    std::wstring path = lpCmdLine;
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"')
        path = path.substr(1, path.size() - 2);
    GdipLoadImageFromFile(path.c_str(), &g_pImage);
    UINT w = 100, h = 100;
    if (g_pImage) {
        GdipGetImageWidth(g_pImage, &w);
        GdipGetImageHeight(g_pImage, &h);
    }

    WNDCLASSW wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = L"MinimalViewer";
    RegisterClassW(&wc);
    RECT rc = {0, 0, static_cast<LONG>(w), static_cast<LONG>(h)};
    AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
    HWND hwnd = CreateWindowW(wc.lpszClassName, L"MinimalViewer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr, hInstance, nullptr);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (g_pImage)
        GdipDisposeImage(g_pImage);
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
