#include "cli/StopSignals.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<int> g_received{0};
static_assert(std::atomic<int>::is_always_lock_free);

struct sigaction g_oldInt {};
struct sigaction g_oldTerm {};

void note(int signal)
{
    int none = 0;
    g_received.compare_exchange_strong(none, signal);
}

} // namespace

StopSignals::StopSignals()
{
    g_received = 0;
    struct sigaction action {};
    action.sa_handler = note;
    sigemptyset(&action.sa_mask);
    // Interrupted calls go on; the flag is looked at between documents.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, &g_oldInt);
    sigaction(SIGTERM, &action, &g_oldTerm);
}

StopSignals::~StopSignals()
{
    sigaction(SIGINT, &g_oldInt, nullptr);
    sigaction(SIGTERM, &g_oldTerm, nullptr);
}

int StopSignals::received()
{
    return g_received.load();
}
