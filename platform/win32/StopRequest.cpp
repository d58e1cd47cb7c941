// The Win32 half of stop requests: the console's control events.
#include "platform/StopRequest.h"

#include <windows.h>

#include <atomic>

namespace {

constexpr int kInterrupted = 130;  // 128 + SIGINT, as POSIX shells report Ctrl+C
constexpr int kTerminated = 143;   // 128 + SIGTERM

std::atomic<int> g_stopStatus{0};

BOOL WINAPI NoteStopRequest(DWORD event) {
    const int status =
        event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? kInterrupted : kTerminated;
    int none = 0;
    // A second request finds the first noted and is left to the system, which ends the process.
    return g_stopStatus.compare_exchange_strong(none, status) ? TRUE : FALSE;
}

}  // namespace

void CatchStopRequests() {
    ::SetConsoleCtrlHandler(NoteStopRequest, TRUE);
}

int GetStopRequest() {
    return g_stopStatus.load(std::memory_order_relaxed);
}
