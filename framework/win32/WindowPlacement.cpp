// The Win32 half of the placement helpers: the monitors' work areas.
#include "framework/window/WindowPlacement.h"

bool AfxRectMeetsAnyScreen(const RECT& rect) {
    return MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr;
}

RECT AfxMoveRectOntoPrimaryScreen(const RECT& rect) {
    RECT work{0, 0, 0, 0};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return RECT{work.left, work.top, work.left + (rect.right - rect.left),
                work.top + (rect.bottom - rect.top)};
}

CSize AfxGetPrimaryScreenSize() {
    return CSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}
