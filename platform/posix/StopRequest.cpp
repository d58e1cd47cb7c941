// The POSIX half of stop requests: SIGINT and SIGTERM.
#include "platform/StopRequest.h"

#include <signal.h>

#include <atomic>

namespace {

std::atomic<int> g_stopStatus{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler stores into it");

void NoteStopRequest(int signal) {
    g_stopStatus.store(128 + signal, std::memory_order_relaxed);
}

}  // namespace

void CatchStopRequests() {
    struct sigaction action {};
    action.sa_handler = NoteStopRequest;
    sigemptyset(&action.sa_mask);
    // Calls under way go on; the handler gives way to the default action after its first call.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

int GetStopRequest() {
    return g_stopStatus.load(std::memory_order_relaxed);
}
