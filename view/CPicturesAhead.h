// Pictures decoded on the worker thread while the user steps through a
// folder: the picture a step goes to when it was not ready (the target), and
// the neighbours of the picture shown, decoded ahead (and scaled to the size
// they will be shown at) so that a step to them shows at once.
//
// The user-interface thread never waits: jobs leave their results in a
// mailbox shared with the worker and post `message` to a window, which then
// calls TakeResult; a new target cancels what is pending. Results nobody took
// go with the mailbox, whether the window is gone or not. At most one picture
// is held each way, and nothing once stepping stops (Clear).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "CString.h"
#include "CWorkerThread.h"
#include "FileStamp.h"
#include "image/CPicture.h"

// What a job posts.
struct DecodedPicture {
    CString path;
    FileStamp stamp;
    PictureResult result = PictureResult::NoMemory;
    std::unique_ptr<CPicture> picture;
    bool bTarget = false;
    unsigned generation = 0; // of the target it was made for
};

// The size a picture is drawn at once shown, from its upright size, as the
// frame's fit will make it: computed on the worker from values taken when
// the request was made.
using DrawnSizeFor = std::function<SIZE(SIZE upright)>;

class CPicturesAhead {
public:
    CPicturesAhead() = default;
    CPicturesAhead(const CPicturesAhead&) = delete;
    CPicturesAhead& operator=(const CPicturesAhead&) = delete;

    // The window and message results are posted with, and the message that
    // has the window call FlushReleases; set before any request.
    void SetTarget(HWND hWnd, UINT message, UINT releaseMessage)
    {
        m_hWnd = hWnd;
        m_message = message;
        m_releaseMessage = releaseMessage;
    }

    // The picture ready for path (decoded ahead, its file unchanged since),
    // taken out; null when there is none.
    std::unique_ptr<DecodedPicture> Take(const CString& path);

    // Decodes path for the step the user is at: what is pending is cancelled
    // (a storm of steps decodes only where it stops).
    void RequestTarget(const CString& path);
    // Whether a target is being decoded.
    bool IsWaiting() const { return m_bWaiting; }

    // Decodes the neighbours of the picture just shown, each unless it is
    // held already, scaled to drawnFor's size when that is smaller than the
    // picture and no larger than the screen.
    void RequestNeighbours(const CString& previous, const CString& next, const DrawnSizeFor& drawnFor);

    // The results the worker left: a target of the current generation comes
    // back to the caller; a neighbour still wanted is kept; anything else is
    // dropped.
    std::unique_ptr<DecodedPicture> TakeResult();

    // Drops every picture held and everything pending.
    void Clear();
    // Lets a picture go on a thread of its own: giving a large picture's
    // memory back to the system takes milliseconds a step should not wait
    // for. Pictures held ahead that are no longer wanted go the same way.
    // The thread is only given them once the window has done what it was
    // doing (FlushReleases, at the release message): while the system takes
    // the memory back, the window's own calls for memory (a thread, a
    // bitmap) would wait for it.
    void Release(std::unique_ptr<CPicture> picture);
    void FlushReleases();
    // Whether the worker has nothing to do and every picture let go is freed
    // (for tests).
    bool IsIdle() { return m_worker.IsIdle() && m_toRelease.empty() && m_releaser.IsIdle(); }

private:
    void Post(const CString& path, bool bTarget, const DrawnSizeFor& drawnFor);
    void Release(std::unique_ptr<DecodedPicture>& decoded);

    struct Mailbox {
        std::mutex mutex;
        std::vector<std::unique_ptr<DecodedPicture>> results;
    };

    HWND m_hWnd = nullptr;
    UINT m_message = 0;
    std::shared_ptr<Mailbox> m_mailbox = std::make_shared<Mailbox>();
    CWorkerThread m_worker; // after the mailbox: it goes first
    unsigned m_generation = 0;
    bool m_bWaiting = false;
    // The neighbours wanted, and those held (decoded, or failed: a broken
    // file keeps its result, so stepping to it shows its message at once).
    CString m_strPrevious;
    CString m_strNext;
    std::unique_ptr<DecodedPicture> m_previous;
    std::unique_ptr<DecodedPicture> m_next;
    // Frees what Release is given; its jobs are never cancelled (those left
    // when it goes are freed by its destructor, on the calling thread).
    CWorkerThread m_releaser;
    UINT m_releaseMessage = 0;
    std::vector<std::shared_ptr<std::unique_ptr<CPicture>>> m_toRelease; // not yet given to it
};
