#include "generate/office/CallWatch.h"

#include <csignal>

CallWatch::~CallWatch()
{
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void CallWatch::watch(qint64 pid) noexcept
{
    const std::lock_guard lock(m_mutex);
    m_pid = pid;
    m_fired = false;
}

void CallWatch::setBound(int ms)
{
    const std::lock_guard lock(m_mutex);
    m_boundMs = ms;
}

bool CallWatch::fired() const
{
    const std::lock_guard lock(m_mutex);
    return m_fired;
}

void CallWatch::stop() noexcept
{
    const std::lock_guard lock(m_mutex);
    m_stopped = true;
    killLocked();
}

bool CallWatch::stopped() const
{
    const std::lock_guard lock(m_mutex);
    return m_stopped;
}

void CallWatch::killLocked() noexcept
{
    // The whole group: whatever the office spawned hangs with it.
    if (m_pid > 0)
        ::kill(static_cast<pid_t>(-m_pid), SIGKILL);
}

// Sleeps until the deadline of the call under way; a call that ended and
// another that began meanwhile only move the deadline on.
void CallWatch::run()
{
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        if (m_depth == 0 || m_fired) {
            m_idle = true;
            m_changed.wait(lock);
            m_idle = false;
            continue;
        }
        if (std::chrono::steady_clock::now() >= m_deadline) {
            m_fired = true;
            killLocked();
            continue;
        }
        m_changed.wait_until(lock, m_deadline);
    }
}

CallWatch::Call::Call(CallWatch& watch) : m_watch(watch)
{
    const std::lock_guard lock(watch.m_mutex);
    if (watch.m_depth++ > 0)
        return;
    watch.m_deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(watch.m_boundMs);
    if (!watch.m_thread.joinable())
        watch.m_thread = std::thread([&watch] { watch.run(); });
    else if (watch.m_idle)
        watch.m_changed.notify_one();
}

CallWatch::Call::~Call()
{
    const std::lock_guard lock(m_watch.m_mutex);
    --m_watch.m_depth;
}
