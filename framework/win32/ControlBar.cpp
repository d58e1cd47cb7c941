// The Win32 half of CControlBar: the bars stay docked on the side their style names.
#include "framework/window/ControlBar.h"

bool CControlBar::IsFloating() const {
    return false;
}

DWORD CControlBar::GetDockedSide() const {
    return m_dwStyle & CBRS_ALIGN_ANY;
}
