#include "ParallelogramBlt.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <thread>

#include "PixelTransform.h"

namespace {

typedef DWORD Pixel;

// Pixels of the source copied at a time: the helper thread moves one band
// while the next is copied, and a ring of four stays in the second-level
// cache.
const int kBandPixels = 64 * 1024;
// Scratch buffers above this size are given back after the transfer; below
// it they are kept for the next paint (a full-screen picture on a 4K screen).
const long long kKeepPixels = 3840LL * 2400;
// Rows of moved pixels start on a cache line, and a quarter turn's bands
// cover whole lines of them.
const int kCacheLine = 64;
const int kLinePixels = kCacheLine / 4;

}  // namespace

BOOL IsRunningOnWine()
{
    static const BOOL s_bWine = [] {
        HMODULE hNtdll = GetModuleHandleA("ntdll.dll");
        return hNtdll != NULL && GetProcAddress(hNtdll, "wine_get_version") != NULL;
    }() ? TRUE : FALSE;
    return s_bWine;
}

namespace {

// Bands of one transfer. The calling thread copies them from the source DC
// (GDI work stays on its thread) into a small ring of slots that stays in
// the cache, and publishes each; the helper thread claims published bands
// and moves them out of their slots. The calling thread moves bands too
// whenever it has to wait for a slot, and after the last copy.
class CBandJob {
public:
    static constexpr int kSlots = 4;

    // move(k) moves band k; it must outlive the job.
    template <class Move>
    CBandJob(int nBands, const Move& move)
        : m_nBands(nBands),
          m_pfnMove([](const void* pMove, int k) { (*static_cast<const Move*>(pMove))(k); }),
          m_pMove(&move),
          m_pDone(new (std::nothrow) std::atomic<bool>[nBands])
    {
        for (int k = 0; m_pDone && k < nBands; ++k)
            m_pDone[k].store(false, std::memory_order_relaxed);
    }
    CBandJob(const CBandJob&) = delete;
    CBandJob& operator=(const CBandJob&) = delete;

    bool IsValid() const { return m_pDone != nullptr; }

    // Before band k is copied into slot k % kSlots: the band that held the
    // slot must have been moved out. Moves bands while it waits.
    void WaitForSlot(int k)
    {
        if (k < kSlots)
            return;
        WaitUntil([this, k] {
            if (m_pDone[k - kSlots].load(std::memory_order_acquire))
                return true;
            TryMoveOne();
            return false;
        });
    }

    // Bands [0, nReady) are copied. A failed copy publishes everything with
    // bFailed set, so that nobody waits for it and nothing more is moved.
    void Publish(int nReady, bool bFailed = false)
    {
        if (bFailed)
            m_bFailed.store(true, std::memory_order_relaxed);
        m_nReady.store(nReady, std::memory_order_release);
    }

    // Claims bands in order and moves each once it is copied, until every
    // band is claimed.
    void Work()
    {
        for (;;) {
            const int k = m_nNext.fetch_add(1, std::memory_order_relaxed);
            if (k >= m_nBands)
                return;
            WaitUntil([this, k] { return m_nReady.load(std::memory_order_acquire) > k; });
            Move(k);
        }
    }

    void WaitAllDone()
    {
        WaitUntil([this] { return m_nDone.load(std::memory_order_acquire) == m_nBands; });
    }

    void Enter() { m_nHelpers.fetch_add(1, std::memory_order_relaxed); }
    // The helper's last touch of the job.
    void Leave() { m_nHelpers.fetch_sub(1, std::memory_order_release); }
    void WaitUntilLeft()
    {
        WaitUntil([this] { return m_nHelpers.load(std::memory_order_acquire) == 0; });
    }

private:
    // Claims and moves the next band if it is already copied.
    void TryMoveOne()
    {
        int k = m_nNext.load(std::memory_order_relaxed);
        while (k < m_nBands && k < m_nReady.load(std::memory_order_acquire)) {
            if (m_nNext.compare_exchange_weak(k, k + 1, std::memory_order_relaxed)) {
                Move(k);
                return;
            }
        }
    }

    void Move(int k)
    {
        if (!m_bFailed.load(std::memory_order_relaxed))
            m_pfnMove(m_pMove, k);
        m_pDone[k].store(true, std::memory_order_release);
        m_nDone.fetch_add(1, std::memory_order_acq_rel);
    }

    // The waits are short (one band), so spin first, then give the
    // processor away.
    template <class Pred>
    static void WaitUntil(const Pred& pred)
    {
        for (int nSpins = 0; !pred();) {
            if (nSpins < 256) {
                ++nSpins;
                YieldProcessor();
            } else {
                SwitchToThread();
            }
        }
    }

    const int m_nBands;
    void (*const m_pfnMove)(const void* pMove, int k);
    const void* const m_pMove;
    const std::unique_ptr<std::atomic<bool>[]> m_pDone;
    std::atomic<int> m_nReady{0};
    std::atomic<int> m_nNext{0};
    std::atomic<int> m_nDone{0};
    std::atomic<int> m_nHelpers{0};
    std::atomic<bool> m_bFailed{false};
};

// One helper thread per process, started at the first transfer that has
// bands to move and then kept asleep between transfers (starting a thread
// under Wine costs more than a whole transfer). It never touches GDI.
class CBandHelper {
public:
    // NULL on a single processor or when the thread cannot start.
    static CBandHelper* Instance()
    {
        static CBandHelper* const s_pHelper = Start();
        return s_pHelper;
    }

    // Offers the job to the helper thread; false when it is busy with a
    // transfer of another thread.
    bool Begin(CBandJob* pJob)
    {
        AcquireSRWLockExclusive(&m_lock);
        const bool bFree = m_pJob == nullptr;
        if (bFree) {
            m_pJob = pJob;
            ++m_nGeneration;
        }
        ReleaseSRWLockExclusive(&m_lock);
        if (bFree)
            WakeConditionVariable(&m_wake);
        return bFree;
    }

    // Withdraws the job (all of its bands are done) and waits until the
    // helper has let go of it.
    void End(CBandJob* pJob)
    {
        AcquireSRWLockExclusive(&m_lock);
        m_pJob = nullptr;
        ReleaseSRWLockExclusive(&m_lock);
        pJob->WaitUntilLeft();
    }

private:
    CBandHelper() = default;

    static CBandHelper* Start()
    {
        if (std::thread::hardware_concurrency() < 2)
            return nullptr;
        // Never deleted: the thread sleeps until the process ends.
        CBandHelper* pHelper = new (std::nothrow) CBandHelper;
        if (pHelper == nullptr)
            return nullptr;
        HANDLE hThread = CreateThread(NULL, 0, ThreadProc, pHelper, 0, NULL);
        if (hThread == NULL) {
            delete pHelper;
            return nullptr;
        }
        CloseHandle(hThread);
        return pHelper;
    }

    static DWORD WINAPI ThreadProc(void* pParam)
    {
        static_cast<CBandHelper*>(pParam)->Run();
        return 0;
    }

    void Run()
    {
        unsigned nSeen = 0;
        for (;;) {
            AcquireSRWLockExclusive(&m_lock);
            while (m_pJob == nullptr || m_nGeneration == nSeen)
                SleepConditionVariableSRW(&m_wake, &m_lock, INFINITE, 0);
            nSeen = m_nGeneration;
            CBandJob* pJob = m_pJob;
            pJob->Enter();
            ReleaseSRWLockExclusive(&m_lock);
            pJob->Work();
            pJob->Leave();
        }
    }

    SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_wake = CONDITION_VARIABLE_INIT;
    CBandJob* m_pJob = nullptr;
    unsigned m_nGeneration = 0;
};

// A top-down 32-bit DIB section selected into its own memory DC. It grows
// to the largest picture asked for and is kept, so that a paint does not
// map (and fault in) tens of megabytes each time.
class CScratchDib {
public:
    CScratchDib() = default;
    CScratchDib(const CScratchDib&) = delete;
    CScratchDib& operator=(const CScratchDib&) = delete;
    ~CScratchDib() { Free(); }

    bool Reserve(int cx, int cy)
    {
        if (m_pBits != nullptr && cx <= m_cx && cy <= m_cy)
            return true;
        const int nNewCx = std::max(cx, m_cx);
        const int nNewCy = std::max(cy, m_cy);
        Free();
        m_hdc = CreateCompatibleDC(NULL);
        if (m_hdc == NULL)
            return false;
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
        bmi.bmiHeader.biWidth = nNewCx;
        bmi.bmiHeader.biHeight = -nNewCy;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        void* pBits = nullptr;
        m_hbm = CreateDIBSection(m_hdc, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
        if (m_hbm == NULL) {
            Free();
            return false;
        }
        m_hbmOld = static_cast<HBITMAP>(SelectObject(m_hdc, m_hbm));
        m_pBits = static_cast<BYTE*>(pBits);
        m_cx = nNewCx;
        m_cy = nNewCy;
        return true;
    }

    void Free()
    {
        if (m_hdc != NULL && m_hbmOld != NULL)
            SelectObject(m_hdc, m_hbmOld);
        if (m_hbm != NULL)
            DeleteObject(m_hbm);
        if (m_hdc != NULL)
            DeleteDC(m_hdc);
        m_hdc = NULL;
        m_hbm = m_hbmOld = NULL;
        m_pBits = nullptr;
        m_cx = m_cy = 0;
    }

    void TrimIfLarge()
    {
        if (static_cast<long long>(m_cx) * m_cy > kKeepPixels)
            Free();
    }

    HDC Dc() const { return m_hdc; }
    BYTE* Bits() const { return m_pBits; }
    int Pitch() const { return m_cx * static_cast<int>(sizeof(Pixel)); }

private:
    HDC m_hdc = NULL;
    HBITMAP m_hbm = NULL;
    HBITMAP m_hbmOld = NULL;
    BYTE* m_pBits = nullptr;
    int m_cx = 0;
    int m_cy = 0;
};

// Plain memory for the moved pixels, grown as needed and never cleared.
// Aligned to a cache line, so that bands moved side by side by the two
// threads do not share lines.
class CPixelBuffer {
public:
    Pixel* Reserve(long long nPixels)
    {
        if (nPixels > m_nCapacity) {
            m_pData.reset();
            m_nCapacity = 0;
            m_pData.reset(new (std::nothrow) Pixel[static_cast<std::size_t>(nPixels + kLinePixels)]);
            if (!m_pData)
                return nullptr;
            m_nCapacity = nPixels;
        }
        const std::uintptr_t nAddress = reinterpret_cast<std::uintptr_t>(m_pData.get());
        const std::uintptr_t nAligned = (nAddress + kCacheLine - 1) & ~static_cast<std::uintptr_t>(kCacheLine - 1);
        return reinterpret_cast<Pixel*>(nAligned);
    }

    void TrimIfLarge()
    {
        if (m_nCapacity > kKeepPixels) {
            m_pData.reset();
            m_nCapacity = 0;
        }
    }

private:
    std::unique_ptr<Pixel[]> m_pData;
    long long m_nCapacity = 0;
};

struct ScratchBuffers {
    CScratchDib dib;
    CPixelBuffer out;
};

thread_local ScratchBuffers t_buffers;

// Logical units equal device pixels (up to an offset) and no world transform.
bool IsPlainDc(HDC hdc)
{
    return GetMapMode(hdc) == MM_TEXT && GetGraphicsMode(hdc) == GM_COMPATIBLE;
}

// Copies the w x h source rectangle at (x, y) into the scratch DIB section
// (top row first, pitch of the scratch). The source's bits are never read in
// place, even from a DIB section: GetObject reports a positive height for
// top-down and bottom-up DIB sections alike, so their row order is unknown.
bool ReadSource(HDC hdcSrc, int x, int y, int w, int h, CScratchDib& dib)
{
    if (!dib.Reserve(w, h))
        return false;
    if (!BitBlt(dib.Dc(), 0, 0, w, h, hdcSrc, x, y, SRCCOPY))
        return false;
    GdiFlush();
    return true;
}

// Moves the w x h source rectangle at (xSrc, ySrc) by the axes and puts it
// on rcDest: in one SetDIBitsToDevice when the sizes agree, stretched by
// StretchDIBits otherwise.
BOOL TransferAxisAligned(HDC hdcDest, const RECT& rcDest, HDC hdcSrc, int xSrc, int ySrc,
                         int w, int h, const PlgAxes& axes, bool bSameSize)
{
    ScratchBuffers& buffers = t_buffers;
    const SIZE size = TransformedSize(axes, w, h);
    const void* pOut;
    int nOutPitch;
    bool bBottomUp = false;
    if (!axes.bSwap && !axes.bFlipX) {
        // Rows stay whole: an upside-down picture is the copied rows read
        // as a bottom-up DIB.
        if (!ReadSource(hdcSrc, xSrc, ySrc, w, h, buffers.dib))
            return FALSE;
        pOut = buffers.dib.Bits();
        nOutPitch = buffers.dib.Pitch();
        bBottomUp = axes.bFlipY;
    } else {
        // Whole cache lines per band in a quarter turn: a multiple of 16
        // rows, counted from the end of the source when its rows land right
        // to left.
        const int nBand = std::max(kLinePixels, kBandPixels / w / kLinePixels * kLinePixels);
        const int nShift = axes.bSwap && axes.bFlipX ? (nBand - h % nBand) % nBand : 0;
        const int nBands = (h + nShift + nBand - 1) / nBand;
        const auto bandTop = [nBand, nShift](int k) { return std::max(0, k * nBand - nShift); };
        const int nOutWidth = (size.cx + kLinePixels - 1) / kLinePixels * kLinePixels;
        Pixel* pMoved = buffers.out.Reserve(static_cast<long long>(nOutWidth) * size.cy);
        if (pMoved == nullptr || !buffers.dib.Reserve(w, nBand * std::min(nBands, CBandJob::kSlots)))
            return FALSE;
        nOutPitch = nOutWidth * static_cast<int>(sizeof(Pixel));
        const int nSlotPitch = buffers.dib.Pitch();
        const std::ptrdiff_t nSlotBytes = static_cast<std::ptrdiff_t>(nSlotPitch) * nBand;
        BYTE* pSlots = buffers.dib.Bits();
        const auto move = [&](int k) {
            const int y = bandTop(k);
            const int nRows = std::min(h, bandTop(k + 1)) - y;
            const RECT rcBand = { 0, y, w, y + nRows };
            const RECT rcTo = MapSourceRectToDest(axes, w, h, rcBand);
            TransformPixels(pSlots + nSlotBytes * (k % CBandJob::kSlots), nSlotPitch, w, nRows,
                            reinterpret_cast<BYTE*>(pMoved) + static_cast<std::ptrdiff_t>(nOutPitch) * rcTo.top +
                                static_cast<std::ptrdiff_t>(rcTo.left) * sizeof(Pixel),
                            nOutPitch, axes);
        };
        CBandJob job(nBands, move);
        if (!job.IsValid())
            return FALSE;
        CBandHelper* pHelper = nBands > 1 ? CBandHelper::Instance() : nullptr;
        const bool bShared = pHelper != nullptr && pHelper->Begin(&job);
        bool bCopied = true;
        for (int k = 0; k < nBands && bCopied; ++k) {
            job.WaitForSlot(k);
            const int y = bandTop(k);
            bCopied = BitBlt(buffers.dib.Dc(), 0, nBand * (k % CBandJob::kSlots), w,
                             std::min(h, bandTop(k + 1)) - y, hdcSrc, xSrc, ySrc + y, SRCCOPY) != FALSE;
            GdiFlush();
            job.Publish(bCopied ? k + 1 : nBands, !bCopied);
        }
        job.Work();
        job.WaitAllDone();
        if (bShared)
            pHelper->End(&job);
        if (!bCopied)
            return FALSE;
        pOut = pMoved;
    }

    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = nOutPitch / static_cast<int>(sizeof(Pixel));
    bmi.bmiHeader.biHeight = bBottomUp ? size.cy : -size.cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    int nLines;
    if (bSameSize) {
        nLines = SetDIBitsToDevice(hdcDest, rcDest.left, rcDest.top, size.cx, size.cy,
                                   0, 0, 0, size.cy, pOut, &bmi, DIB_RGB_COLORS);
    } else {
        nLines = StretchDIBits(hdcDest, rcDest.left, rcDest.top,
                               rcDest.right - rcDest.left, rcDest.bottom - rcDest.top,
                               0, 0, size.cx, size.cy, pOut, &bmi, DIB_RGB_COLORS, SRCCOPY);
    }
    buffers.dib.TrimIfLarge();
    buffers.out.TrimIfLarge();
    return nLines != 0 && nLines != static_cast<int>(GDI_ERROR);
}

}  // namespace

BOOL ParallelogramBlt(HDC hdcDest, const POINT pts[3], HDC hdcSrc,
                      int xSrc, int ySrc, int width, int height)
{
    if (!IsRunningOnWine())
        return PlgBlt(hdcDest, pts, hdcSrc, xSrc, ySrc, width, height, NULL, 0, 0);

    PlgAxes axes;
    RECT rcBounds;
    if (width <= 0 || height <= 0 || !GetPlgAxes(pts, &axes, &rcBounds))
        return PlgBlt(hdcDest, pts, hdcSrc, xSrc, ySrc, width, height, NULL, 0, 0);

    const SIZE size = TransformedSize(axes, width, height);
    const bool bSameSize = rcBounds.right - rcBounds.left == size.cx &&
                           rcBounds.bottom - rcBounds.top == size.cy;
    if (bSameSize && !axes.bSwap && !axes.bFlipX && !axes.bFlipY)
        return BitBlt(hdcDest, rcBounds.left, rcBounds.top, width, height,
                      hdcSrc, xSrc, ySrc, SRCCOPY);
    if (!bSameSize || !IsPlainDc(hdcDest))
        return TransferAxisAligned(hdcDest, rcBounds, hdcSrc, xSrc, ySrc, width, height,
                                   axes, false);

    // Only the part the destination lets through is moved: for a picture
    // larger than the screen that is a fraction of it.
    RECT rcClip;
    const int nClip = GetClipBox(hdcDest, &rcClip);
    if (nClip == NULLREGION)
        return TRUE;
    RECT rcPart;
    if (nClip == ERROR)
        rcPart = rcBounds;
    else if (!IntersectRect(&rcPart, &rcClip, &rcBounds))
        return TRUE;
    OffsetRect(&rcPart, -rcBounds.left, -rcBounds.top);
    const RECT rcSrc = MapDestRectToSource(axes, width, height, rcPart);
    OffsetRect(&rcPart, rcBounds.left, rcBounds.top);
    return TransferAxisAligned(hdcDest, rcPart, hdcSrc, xSrc + rcSrc.left, ySrc + rcSrc.top,
                               rcSrc.right - rcSrc.left, rcSrc.bottom - rcSrc.top, axes, true);
}
