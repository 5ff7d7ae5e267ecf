#pragma once

#include <QtGlobal>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// How long one call into the office may take before the office is taken for
// hung and ended. A diploma template loads in tens of milliseconds and is
// filled and stored in less; a minute is reached only by an office that
// will not answer at all.
constexpr int OfficeCallBoundMs = 60000;

// The watchdog over the calls into one office: a call that has not returned
// within the bound has its office killed, so that the call returns (with
// the office lost) instead of waiting for ever. stop() ends the office at
// once from any thread, and every call after it is refused.
class CallWatch {
public:
    CallWatch() = default;
    ~CallWatch();
    CallWatch(const CallWatch&) = delete;
    CallWatch& operator=(const CallWatch&) = delete;

    // The process group to end; 0 for none (before a start, after a quit).
    void watch(qint64 pid) noexcept;
    void setBound(int ms);
    int bound() const { return m_boundMs; }

    // Whether the watch ended the office since the last watch(pid).
    bool fired() const;
    // Ends the office now and refuses every call from here on. Never throws.
    void stop() noexcept;
    bool stopped() const;

    // One call: watched from its start to its end; calls made inside it
    // count as part of it.
    class Call {
    public:
        explicit Call(CallWatch& watch);
        ~Call();
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

    private:
        CallWatch& m_watch;
    };

private:
    void run();
    void killLocked() noexcept;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
    int m_boundMs = OfficeCallBoundMs;
    qint64 m_pid = 0;
    int m_depth = 0;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_idle = false;
    bool m_fired = false;
    bool m_stopped = false;
    bool m_quit = false;
};
