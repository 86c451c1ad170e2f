// One background thread for a window program whose user-interface thread
// must never wait: it runs the jobs it is given one at a time, in the order
// they came. A job touches no window; it hands its result over by posting a
// message to one (and frees the result itself when the post fails, the window
// being gone).
//
// Shared between the threads are only the queue, the stop flag and the
// generation, behind one lock. Cancel drops what is queued and tells the job
// that runs, through its token, that nobody wants its result any more; a
// long job asks its token between steps. The destructor cancels, wakes the
// thread and waits for it, so nothing of the worker outlives its owner.
// The thread runs COM (apartment-threaded) for the codecs.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class CWorkerThread {
public:
    // Tells a job whether it is still wanted.
    class Token {
    public:
        Token(const std::atomic<std::uint64_t>& current, std::uint64_t generation)
            : m_current(current), m_generation(generation)
        {
        }
        // True once the job was cancelled (or the worker is going away).
        bool Cancelled() const { return m_current.load() != m_generation; }

    private:
        const std::atomic<std::uint64_t>& m_current;
        std::uint64_t m_generation;
    };
    using Job = std::function<void(const Token&)>;

    CWorkerThread() = default;
    ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Queues the job behind the others; the thread starts with the first.
    void Post(Job job);
    // Drops every job not yet started; the running one finds its token
    // cancelled. Returns at once.
    void Cancel();
    // Whether no job runs and none waits.
    bool IsIdle();

private:
    void Run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::pair<std::uint64_t, Job>> m_jobs;
    bool m_bRunning = false; // a job runs
    bool m_bStop = false;
    std::atomic<std::uint64_t> m_generation{1};
    std::thread m_thread;
};
