#include "oncores.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace printerlist {

namespace {

// Helpers wait for a job; a job's tasks are taken by number from a shared counter.
class Pool {
public:
    static Pool &Instance()
    {
        // Never destroyed: helpers wait on it until the process ends.
        static Pool *pool = new Pool;
        return *pool;
    }

    bool Run(size_t tasks, void (*fn)(void *, size_t), void *context)
    {
        bool idle = false;
        if (!m_busy.compare_exchange_strong(idle, true))
            return false;
        {
            std::lock_guard lock(m_mutex);
            m_fn = fn;
            m_context = context;
            m_tasks = tasks;
            m_next.store(0);
            m_open = true;
            ++m_job;
        }
        m_wake.notify_all();
        take();
        {
            // No helper joins from here on; wait for those that took a task.
            std::unique_lock lock(m_mutex);
            m_open = false;
            m_done.wait(lock, [this] { return m_working == 0; });
        }
        m_busy.store(false);
        return true;
    }

private:
    Pool()
    {
        for (unsigned i = 1; i < CoreCount(); ++i) {
            try {
                std::thread(&Pool::helper, this).detach();
            } catch (const std::system_error &) {
                break;   // fewer helpers; the calling thread does the rest
            }
        }
    }

    void take()
    {
        for (size_t t = m_next.fetch_add(1); t < m_tasks; t = m_next.fetch_add(1))
            m_fn(m_context, t);
    }

    void helper()
    {
        unsigned long long seen = 0;
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [&] { return m_open && m_job != seen; });
            seen = m_job;
            ++m_working;
            lock.unlock();
            take();
            lock.lock();
            if (--m_working == 0)
                m_done.notify_all();
        }
    }

    std::atomic<bool> m_busy{false};
    std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    bool m_open = false;
    unsigned long long m_job = 0;
    int m_working = 0;
    void (*m_fn)(void *, size_t) = nullptr;
    void *m_context = nullptr;
    size_t m_tasks = 0;
    std::atomic<size_t> m_next{0};
};

} // namespace

unsigned CoreCount()
{
    static const unsigned cores = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    return cores;
}

void RunOnCores(size_t tasks, void (*fn)(void *, size_t), void *context)
{
    if (tasks == 0)
        return;
    if (tasks > 1 && CoreCount() > 1 && Pool::Instance().Run(tasks, fn, context))
        return;
    for (size_t t = 0; t < tasks; ++t)
        fn(context, t);
}

} // namespace printerlist
