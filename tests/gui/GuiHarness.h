// Creating the real frame in a test, pumping its messages and reading the
// pixels it painted.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "frame/CMainFrame.h"
#include "res/resource.h"
#include "support/Polling.h"
#include "support/SettingsFiles.h"
#include "support/TestFiles.h"
#include "support/WindowQueries.h"

// Pumps until pred() holds or timeoutMs passes; returns pred().
bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs);

// Marks a key as held in this thread's keyboard state (what GetKeyState and
// the program's Shift and Ctrl checks read) while the object lives; no input
// is sent.
class HeldKeyState {
public:
    explicit HeldKeyState(BYTE vk);
    ~HeldKeyState();
    HeldKeyState(const HeldKeyState&) = delete;
    HeldKeyState& operator=(const HeldKeyState&) = delete;

private:
    BYTE m_vk;
    BYTE m_before;
};

// Records the processes the view would start (its ShellExecuteEx) instead of
// starting them, while the object lives.
class LaunchRecorder {
public:
    struct Launch {
        std::string file;
        std::string parameters;
        std::string directory;
        ULONG mask;
    };

    LaunchRecorder();
    ~LaunchRecorder();
    LaunchRecorder(const LaunchRecorder&) = delete;
    LaunchRecorder& operator=(const LaunchRecorder&) = delete;

    const std::vector<Launch>& Launches() const { return s_launches; }
    std::vector<std::string> Parameters() const;

private:
    static BOOL WINAPI Record(SHELLEXECUTEINFOA* pInfo);
    static std::vector<Launch> s_launches;
};

// Pixels as 0x00RRGGBB.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const
    {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};
// What draw paints into a fresh top-down 32-bit bitmap of width x height.
Capture CaptureDrawing(int width, int height, const std::function<void(HDC hdc)>& draw);
// The window's client area, read from the screen.
Capture CaptureClient(HWND hWnd);

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates and shows the frame as the program does.
    CMainFrame* CreateFrame();
    void DestroyFrame();
    // Opens a path the way the command line does (quoted token 0), then pumps.
    void OpenPath(const std::string& path);
    // Sends a command, pumps, and lets a step it started arrive.
    void Command(UINT nID);
    // Pumps until no step waits for its picture from the worker.
    void AwaitStep();
    // Whether the update handlers leave command nID enabled.
    bool IsCommandEnabled(UINT nID);
    // Sets the view's zoom in memory, as a command would before it saves.
    void SetZoom(ZoomMode mode, int value);
    // Invalidates and erases the whole view and paints it at once.
    void RepaintView();
    // Whether the update handlers give command nID a check mark.
    bool IsCommandChecked(UINT nID);
    // The operations popup, updated as the framework does when it opens.
    HMENU OpenOperationsMenu();

    CImageView& View() { return m_pFrame->m_wndView; }

    CMainFrame* m_pFrame = nullptr;
};
