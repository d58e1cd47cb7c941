// The Win32 half of the placement helpers: the monitors' work areas.
#include "framework/window/WindowPlacement.h"

// A placement's coordinates are the workspace's: they count from the primary monitor's work
// area, not from the screen's corner.
RECT AfxGetWorkArea(const RECT& rect, bool* pbMeetsScreen) {
    RECT primary{0, 0, 0, 0};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &primary, 0);
    RECT onScreen = rect;
    OffsetRect(&onScreen, primary.left, primary.top);
    HMONITOR monitor = MonitorFromRect(&onScreen, MONITOR_DEFAULTTONULL);
    if (pbMeetsScreen != nullptr) {
        *pbMeetsScreen = monitor != nullptr;
    }
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT work = primary;
    if (monitor != nullptr && GetMonitorInfoW(monitor, &info)) {
        work = info.rcWork;
    }
    OffsetRect(&work, -primary.left, -primary.top);
    return work;
}

CSize AfxGetPrimaryScreenSize() {
    return CSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}
