#pragma once

// The platform's event loop run by a test until something it waits for has happened: watchers'
// signals, timers, posted calls. Waiting is on a condition with a time limit, never a fixed
// sleep.

#include <chrono>
#include <functional>

#ifdef _WIN32
#include <windows.h>
#else
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#endif

// Handles what has come, waiting up to ms for the first event when nothing has.
inline void ProcessEventsFor(int ms) {
#ifdef _WIN32
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(ms), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
#else
    // A loop that ends at the first event it handles, or when the time is up.
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents();
    loop.processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
#endif
}

// Runs the loop until done() holds; false when it still did not after timeout.
inline bool RunUntil(const std::function<bool()>& done,
                     std::chrono::milliseconds timeout = std::chrono::seconds(3)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        ProcessEventsFor(20);
    }
}
