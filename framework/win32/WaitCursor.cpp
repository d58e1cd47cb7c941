// The Win32 half of CWaitCursor: the hourglass while the object lives.
#include "framework/window/WaitCursor.h"

#include <windows.h>

namespace {
// Waits nest: the arrow comes back when the outermost ends.
int g_nWaits = 0;
HCURSOR g_restore = nullptr;
}  // namespace

CWaitCursor::CWaitCursor() {
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
    if (g_nWaits++ == 0) {
        g_restore = previous;
    }
}

CWaitCursor::~CWaitCursor() {
    if (--g_nWaits == 0) {
        SetCursor(g_restore);
    }
}
