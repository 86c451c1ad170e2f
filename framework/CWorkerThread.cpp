#include "CWorkerThread.h"

#include "CComInit.h"

CWorkerThread::~CWorkerThread()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
        m_jobs.clear();
        ++m_generation;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void CWorkerThread::Post(Job job)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.emplace_back(m_generation.load(), std::move(job));
        if (!m_thread.joinable())
            m_thread = std::thread(&CWorkerThread::Run, this);
    }
    m_wake.notify_one();
}

void CWorkerThread::Cancel()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_jobs.clear();
    ++m_generation;
}

bool CWorkerThread::IsIdle()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_bRunning && m_jobs.empty();
}

void CWorkerThread::Run()
{
    CComInit com;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_bStop || !m_jobs.empty(); });
        if (m_bStop)
            return;
        std::pair<std::uint64_t, Job> next = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_bRunning = true;
        lock.unlock();
        // A job queued before a Cancel that slipped in between is not run.
        const Token token(m_generation, next.first);
        if (!token.Cancelled())
            next.second(token);
        next.second = nullptr; // what the job holds goes outside the lock
        lock.lock();
        m_bRunning = false;
    }
}
