// The frame with the history submenu in reach: pictures and history files to
// list, the submenu's opening and closing as the menu loop sends them, its
// entries measured and drawn as the menu asks, and the thumbnails the worker
// makes, waited for or held up.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "CBitmap.h"
#include "GuiHarness.h"
#include "history/CHistoryMenu.h"
#include "history/HistoryList.h"
#include "history/HistoryMenuLayout.h"
#include "history/HistoryThumbnail.h"

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kYellow = 0xFFFF00;

inline uint32_t SysColour(int nIndex, bool bDarker = false)
{
    COLORREF c = ::GetSysColor(nIndex);
    if (bDarker)
        c = DarkerMenuColour(c);
    return (static_cast<uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// Equal but for the rounding of a resampling (and of a JPEG's coding).
inline bool Near(uint32_t a, uint32_t b, int tolerance = 8)
{
    for (int shift : {16, 8, 0})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

// Holds up every thumbnail the worker makes until Open (or the end of a
// 30-second budget), counting them; then the real maker makes it.
class ThumbnailGate {
public:
    ThumbnailGate();
    ~ThumbnailGate();
    ThumbnailGate(const ThumbnailGate&) = delete;
    ThumbnailGate& operator=(const ThumbnailGate&) = delete;

    void Open() { ::SetEvent(s_hOpen); }
    void Close() { ::ResetEvent(s_hOpen); }
    // Thumbnails the worker started to make, and those held up now.
    int Started() const { return s_nStarted; }
    int Waiting() const { return s_nWaiting; }

private:
    static BOOL Make(const char* path, int nWidth, int nHeight, CBitmap& bitmap, const CancelCheck& cancelled);
    static HANDLE s_hOpen;
    static std::atomic<int> s_nStarted;
    static std::atomic<int> s_nWaiting;
};

class HistoryMenuTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(CreateFrame());
    }

    HMENU History() { return m_pFrame->GetHistorySubMenu(); }
    const CHistoryMenu& Menu() { return m_pFrame->GetHistoryMenu(); }

    std::string Picture(const std::string& name, const PixelFunction& pixel, int width = 200, int height = 150);
    std::string Picture(const std::string& name, uint32_t colour, int width = 200, int height = 150)
    {
        return Picture(
            name, [colour](int, int) { return colour; }, width, height);
    }

    void WriteHistory(const std::vector<std::string>& paths, BOOL bThumbnails = TRUE, int nWidth = 30,
                      int nHeight = 30);

    // What the menu loop sends as the history submenu opens and closes.
    void OpenHistory() { m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(History()), 3); }
    void CloseHistory(HWND hTo) { ::SendMessageA(hTo, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(History()), 0); }

    MEASUREITEMSTRUCT Measure(int nIndex);
    // Draws entry nIndex, as the menu would, into a bitmap of width x 34.
    Capture Draw(int nIndex, UINT nState, int width);
    // Pumps until the worker has nothing left to do and its results are
    // taken; false when that takes longer than budgetMs.
    bool WaitForThumbnails(DWORD budgetMs = 60000);
    // Draws entry nIndex once (which asks for its thumbnail), waits for the
    // worker, and draws it again.
    Capture DrawWhenMade(int nIndex, UINT nState, int width);

    TempFolder m_folder{"histmenu"};
};
