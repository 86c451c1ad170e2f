#include "view/CFileWatch.h"

#include <algorithm>
#include <utility>

#include "CComInit.h"
#include "framework/MbString.h"

namespace {

// The thread's message to the watch window: a picture waits in m_pReady.
constexpr UINT kMsgPictureReady = WM_APP + 1;

// Changes of names (a file saved by renaming a new one over it), sizes and
// write times, in the folder itself only.
constexpr DWORD kChangeFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;
// A burst of changes (a writer's chunks) is over once the folder has been
// quiet this long; a file that keeps changing is read all the same this long
// after its first change.
constexpr ULONGLONG kSettleMs = 100;
constexpr ULONGLONG kMostSettleMs = 500;
// A file that cannot be decoded is tried again this often, for this long.
constexpr ULONGLONG kRetryMs = 250;
constexpr ULONGLONG kGiveUpMs = 3000;

ULONGLONG Now()
{
    return ::GetTickCount64();
}

std::string FullPathOf(const CString& path)
{
    char full[MAX_PATH * 2];
    const DWORD n = ::GetFullPathNameA(path, sizeof(full), full, nullptr);
    return n > 0 && n < sizeof(full) ? std::string(full, n) : std::string(path.GetString());
}

} // namespace

BEGIN_MESSAGE_MAP(CFileWatch, CWnd)
    ON_MESSAGE(kMsgPictureReady, OnPictureReady)
END_MESSAGE_MAP()

CFileWatch::CFileWatch(Handler handler) : m_handler(std::move(handler))
{
}

CFileWatch::~CFileWatch()
{
    EndThread();
    if (m_hWnd)
        DestroyWindow();
}

void CFileWatch::Watch(const CString& path, const FileStamp& shown)
{
    if (m_bWatching && path == m_strPath)
        return;
    Stop();
    const std::string full = FullPathOf(path);
    std::string folder = FolderOfPath(full);
    if (folder == full)
        return; // no folder to watch
    if (!folder.empty() && folder.back() == ':')
        folder += '\\'; // a drive's root, not its current folder
    if (!m_hWnd && !CreateEx(0, nullptr, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr))
        return;
    if ((!m_stop && !m_stop.Attach(::CreateEventA(nullptr, TRUE, FALSE, nullptr))) ||
        (!m_retarget && !m_retarget.Attach(::CreateEventA(nullptr, FALSE, FALSE, nullptr))))
        return;
    m_strPath = path;
    m_shown = shown;
    m_bWatching = true;
    SetTarget(full, shown);
    if (m_thread.joinable() && !m_bThreadEnded && folder == m_folder)
        return; // the thread watching the folder takes the new path
    EndThread();
    m_folder = folder;
    m_bThreadEnded = false;
    ::ResetEvent(m_stop);
    m_thread = std::thread([this, folder] { Run(folder); });
}

void CFileWatch::Stop()
{
    m_bWatching = false;
    if (m_thread.joinable())
        SetTarget(std::string(), FileStamp());
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pReady.reset();
}

void CFileWatch::SetTarget(const std::string& path, const FileStamp& baseline)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_target = Target{path, baseline, m_target.generation + 1};
        m_pReady.reset();
    }
    if (m_retarget)
        ::SetEvent(m_retarget);
}

void CFileWatch::EndThread()
{
    if (m_thread.joinable()) {
        ::SetEvent(m_stop);
        m_thread.join();
    }
    m_folder.clear();
}

CFileWatch::Target CFileWatch::CurrentTarget()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_target;
}

unsigned CFileWatch::CurrentGeneration()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_target.generation;
}

bool CFileWatch::IsStopping() const
{
    return ::WaitForSingleObject(m_stop.Get(), 0) == WAIT_OBJECT_0;
}

// The baseline is the content the window shows, then the content last handed
// over or given up on: the thread's own, until the target changes.
void CFileWatch::Run(const std::string& folder)
{
    // A thread that ended early (its folder could not be watched, or its
    // notification could not be armed again) is not handed new paths: the
    // next watch starts another.
    struct EndMark {
        std::atomic<bool>& ended;
        ~EndMark() { ended = true; }
    } endMark{m_bThreadEnded};
    CComInit com; // the system's imaging codecs decode here too
    const HANDLE hChange = ::FindFirstChangeNotificationA(folder.c_str(), FALSE, kChangeFilter);
    if (hChange == INVALID_HANDLE_VALUE)
        return;
    // Closed by its own call, not CloseHandle.
    struct ChangeCloser {
        HANDLE h;
        ~ChangeCloser() { ::FindCloseChangeNotification(h); }
    } closer{hChange};
    const HANDLE handles[3] = {m_stop.Get(), m_retarget.Get(), hChange};

    Target target;
    ULONGLONG checkAt = 0;      // when the next look at the file is due (0: none)
    ULONGLONG firstChange = 0;  // of the burst that is settling
    ULONGLONG failingSince = 0; // the content that cannot be decoded yet
    // A new target: a change between the picture's read and now is looked
    // at at once.
    const auto takeTarget = [&] {
        target = CurrentTarget();
        checkAt = !target.path.empty() && StampOf(target.path.c_str()) != target.baseline ? Now() : 0;
        firstChange = 0;
        failingSince = 0;
    };
    takeTarget();
    for (;;) {
        DWORD timeout = INFINITE;
        if (checkAt != 0) {
            const ULONGLONG now = Now();
            timeout = checkAt > now ? static_cast<DWORD>(checkAt - now) : 0;
        }
        const DWORD wait = ::WaitForMultipleObjects(3, handles, FALSE, timeout);
        if (wait == WAIT_OBJECT_0 + 1) {
            takeTarget();
            continue;
        }
        if (wait == WAIT_OBJECT_0 + 2) {
            // A notification that cannot be armed again (its folder going
            // away) would stay signalled: the watch ends instead of spinning.
            if (!::FindNextChangeNotification(hChange))
                return;
            if (target.path.empty())
                continue;
            const ULONGLONG now = Now();
            if (firstChange == 0)
                firstChange = now;
            checkAt = std::max(checkAt, std::min(now + kSettleMs, firstChange + kMostSettleMs));
            continue;
        }
        if (wait != WAIT_TIMEOUT)
            return; // stopped (or the wait failed)

        checkAt = 0;
        firstChange = 0;
        const char* path = target.path.c_str();
        const FileStamp before = StampOf(path);
        if (target.path.empty() || !before.bExists || before == target.baseline) {
            failingSince = 0; // gone, or not the shown file that changed
            continue;
        }
        const unsigned generation = target.generation;
        std::unique_ptr<CPicture> picture;
        const PictureResult result = CPicture::Load(
            path, &picture, [this, generation] { return IsStopping() || CurrentGeneration() != generation; });
        if (IsStopping())
            return;
        if (CurrentGeneration() != generation)
            continue; // the target changed meanwhile: its event is waiting
        if (result == PictureResult::Ok && StampOf(path) == before) {
            failingSince = 0;
            target.baseline = before;
            HandOver(std::move(picture), before, generation);
            continue;
        }
        // Half written, held by its writer, or rewritten while it was read.
        ++m_nFailedReads;
        const ULONGLONG now = Now();
        if (failingSince == 0)
            failingSince = now;
        if (now - failingSince < kGiveUpMs) {
            checkAt = now + kRetryMs;
        } else {
            failingSince = 0;
            target.baseline = before; // the last good picture stays until the next change
        }
    }
}

void CFileWatch::HandOver(std::unique_ptr<CPicture> picture, const FileStamp& stamp, unsigned generation)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (generation != m_target.generation)
            return;                    // no longer the file watched
        m_pReady = std::move(picture); // the newest wins
        m_readyStamp = stamp;
    }
    ::PostMessageA(m_hWnd, kMsgPictureReady, 0, 0);
}

LRESULT CFileWatch::OnPictureReady(WPARAM, LPARAM)
{
    std::unique_ptr<CPicture> picture;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        picture = std::move(m_pReady);
        if (picture)
            m_shown = m_readyStamp;
    }
    if (picture && m_handler)
        m_handler(std::move(picture));
    return 0;
}
