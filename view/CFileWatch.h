// Follows the file of the picture shown while another program rewrites it
// (a render, a plot, a camera's export): a change notification on the file's
// folder wakes a thread of the watch's own, which tells the shown file's
// changes from those of its neighbours by the file's size and write time,
// lets a burst of changes settle, decodes the new content off the
// user-interface thread and hands the picture to the handler there.
//
// A file caught half written (or held by its writer) is tried again shortly
// for a few seconds, without a word; then the last good picture stays until
// the file changes again. A file deleted or renamed away leaves the picture
// as it is; one that comes back is shown. While nothing changes the thread
// only waits.
//
// The watch is a message-only window: the thread posts to it, and the
// handler runs on the thread that made it. The thread stays while the
// pictures watched are in one folder (stepping through it): a new path is
// handed to it, and a stop only tells it to watch nothing, so neither waits
// for a thread to end or begin. Watching another folder, or destroying the
// watch, wakes the thread and waits for it. A picture not yet handed over is
// dropped whenever the path changes or the watch stops.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "CKernelHandle.h"
#include "CString.h"
#include "CWnd.h"
#include "FileStamp.h"
#include "image/CPicture.h"

class CFileWatch : public CWnd {
public:
    using Handler = std::function<void(std::unique_ptr<CPicture> picture)>;

    explicit CFileWatch(Handler handler);
    ~CFileWatch() override;

    // Watches path from now on; `shown` is the stamp of the content shown,
    // taken before it was read, so a rewrite during that read is seen.
    // Watching the path already watched changes nothing; after a Stop, the
    // same path is watched on from the content last handed over, so a
    // change in between (or a picture dropped by the Stop) is not missed.
    void Watch(const CString& path, const FileStamp& shown);
    // Stops watching; the handler is not called again until the next Watch.
    void Stop();
    bool IsWatching() const { return m_bWatching; }
    // How many reads of the changed file failed (half written, held by its
    // writer) since the watch was made.
    int GetFailedReads() const { return m_nFailedReads.load(); }

protected:
    LRESULT OnPictureReady(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // What the thread watches: the file (none when path is empty) and the
    // content shown of it; each new target has a new generation.
    struct Target {
        std::string path;
        FileStamp baseline;
        unsigned generation = 0;
    };

    // The thread: waits for changes, checks, decodes, hands over.
    void Run(const std::string& folder);
    void HandOver(std::unique_ptr<CPicture> picture, const FileStamp& stamp, unsigned generation);
    bool IsStopping() const;
    Target CurrentTarget();
    unsigned CurrentGeneration();
    // Gives the thread a new target and drops a picture not yet handed over.
    void SetTarget(const std::string& path, const FileStamp& baseline);
    void EndThread();

    Handler m_handler;
    CString m_strPath;    // the path as the view holds it
    std::string m_folder; // the folder the thread watches
    bool m_bWatching = false;
    FileStamp m_shown;        // the content handed over last (user-interface thread)
    CKernelHandle m_stop;     // set to end the thread
    CKernelHandle m_retarget; // set when the target changed
    std::thread m_thread;
    std::mutex m_mutex; // guards m_target, m_pReady and m_readyStamp
    Target m_target;
    std::unique_ptr<CPicture> m_pReady; // decoded, not yet handed over
    FileStamp m_readyStamp;             // its file's stamp
    std::atomic<int> m_nFailedReads{0};
    std::atomic<bool> m_bThreadEnded{false}; // Run returned
};
