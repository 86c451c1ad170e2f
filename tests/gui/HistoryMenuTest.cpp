#include "HistoryMenuTest.h"

HANDLE ThumbnailGate::s_hOpen = nullptr;
std::atomic<int> ThumbnailGate::s_nStarted{0};
std::atomic<int> ThumbnailGate::s_nWaiting{0};

ThumbnailGate::ThumbnailGate()
{
    s_hOpen = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    s_nStarted = 0;
    s_nWaiting = 0;
    CHistoryMenu::s_pfnMakeThumbnail = &Make;
}

// A job still to come calls the real maker at once; one at the gate is let
// through before the event goes.
ThumbnailGate::~ThumbnailGate()
{
    CHistoryMenu::s_pfnMakeThumbnail = &MakeThumbnail;
    Open();
    PollUntil([] { return s_nWaiting == 0; }, 30000);
    HANDLE hOpen = s_hOpen;
    s_hOpen = nullptr;
    ::CloseHandle(hOpen);
}

BOOL ThumbnailGate::Make(const char* path, int nWidth, int nHeight, CBitmap& bitmap, const CancelCheck& cancelled)
{
    ++s_nStarted;
    ++s_nWaiting;
    if (s_hOpen)
        ::WaitForSingleObject(s_hOpen, 30000);
    --s_nWaiting;
    return MakeThumbnail(path, nWidth, nHeight, bitmap, cancelled);
}

std::string HistoryMenuTest::Picture(const std::string& name, const PixelFunction& pixel, int width, int height)
{
    std::string path = m_folder.File(name);
    EXPECT_TRUE(WriteBmp(path, width, height, pixel));
    return path;
}

void HistoryMenuTest::WriteHistory(const std::vector<std::string>& paths, BOOL bThumbnails, int nWidth, int nHeight)
{
    HistoryList history;
    for (const std::string& path : paths)
        history.m_paths.push_back(path.c_str());
    history.m_bShowThumbnails = bThumbnails;
    history.m_nThumbWidth = nWidth;
    history.m_nThumbHeight = nHeight;
    ASSERT_TRUE(history.Save());
}

MEASUREITEMSTRUCT HistoryMenuTest::Measure(int nIndex)
{
    MEASUREITEMSTRUCT measure = {ODT_MENU, 0, ID_HISTORY_FIRST + static_cast<UINT>(nIndex),
                                 0,        0, static_cast<ULONG_PTR>(nIndex)};
    m_pFrame->SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    return measure;
}

Capture HistoryMenuTest::Draw(int nIndex, UINT nState, int width)
{
    return CaptureDrawing(width, 34, [&](HDC hdc) {
        DRAWITEMSTRUCT draw = {ODT_MENU,
                               0,
                               ID_HISTORY_FIRST + static_cast<UINT>(nIndex),
                               ODA_DRAWENTIRE,
                               nState,
                               reinterpret_cast<HWND>(History()),
                               hdc,
                               {0, 0, width, 34},
                               static_cast<ULONG_PTR>(nIndex)};
        m_pFrame->SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    });
}

bool HistoryMenuTest::WaitForThumbnails(DWORD budgetMs)
{
    const bool bIdle = PumpUntil([this] { return Menu().IsWorkerIdle(); }, budgetMs);
    PumpMessages(); // the last result's message
    return bIdle;
}

Capture HistoryMenuTest::DrawWhenMade(int nIndex, UINT nState, int width)
{
    Draw(nIndex, nState, width);
    EXPECT_TRUE(WaitForThumbnails());
    return Draw(nIndex, nState, width);
}
