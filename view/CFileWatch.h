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
// handler runs on the thread that made it. Stopping (or destroying) the
// watch wakes the thread and waits for it, and drops a picture not yet
// handed over.
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
    bool IsWatching() const { return m_thread.joinable(); }
    // How many reads of the changed file failed (half written, held by its
    // writer) since the watch was made.
    int GetFailedReads() const { return m_nFailedReads.load(); }

protected:
    LRESULT OnPictureReady(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // The thread: waits for changes, checks, decodes, hands over.
    void Run(const std::string& path, const std::string& folder, FileStamp baseline);
    void HandOver(std::unique_ptr<CPicture> picture, const FileStamp& stamp);
    bool IsStopping() const;

    Handler m_handler;
    CString m_strPath;      // the path as the view holds it
    std::string m_fullPath; // the same, made absolute
    FileStamp m_shown;      // the content handed over last (user-interface thread)
    CKernelHandle m_stop;   // set to end the thread
    std::thread m_thread;
    std::mutex m_mutex;                 // guards m_pReady and m_readyStamp
    std::unique_ptr<CPicture> m_pReady; // decoded, not yet handed over
    FileStamp m_readyStamp;             // its file's stamp
    std::atomic<int> m_nFailedReads{0};
};
