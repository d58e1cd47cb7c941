#pragma once

#include "framework/window/Wnd.h"

// A scroll bar that behaves like the platform's: it never moves by itself. Every user action
// (arrow, page area, thumb drag step, thumb release) becomes a request (SB_LINEUP ... with the
// thumb position) sent to its owner's OnVScroll/OnHScroll, followed by SB_ENDSCROLL when the
// action ends; only the program sets the range and the position. A range whose maximum is not
// above its minimum leaves the bar disabled.
class CScrollBar : public CWnd {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    CScrollBar();
    ~CScrollBar() override;

    // Creates the bar as a child of pParent; requests go to pOwner's OnVScroll/OnHScroll.
    void Create(bool bVertical, CWnd* pParent, CWnd* pOwner);

    // The position is kept inside the range, as the platform keeps it.
    void SetScrollRange(int nMinPos, int nMaxPos, bool bRedraw = true);
    void GetScrollRange(int* pMinPos, int* pMaxPos) const;
    int SetScrollPos(int nPos, bool bRedraw = true);
    int GetScrollPos() const;
    bool IsVertical() const { return m_bVertical; }
    bool IsEnabled() const { return m_nMax > m_nMin; }

    // Delivers one request to the owner, as a user action on the bar would.
    void SendRequest(UINT nSBCode, UINT nPos = 0);
    // A wheel turn of nDelta eighths of a degree (positive: away from the user, or to the left):
    // three line requests per notch of 120. Small steps of smooth wheels add up to notches.
    void SendWheelRequests(int nDelta);

private:
    // Shows the range and the position on the platform's control.
    void UpdateControl();

    bool m_bVertical = true;
    CWnd* m_pOwner = nullptr;
    int m_nMin = 0;
    int m_nMax = 0;
    int m_nPos = 0;
    int m_nWheelRest = 0;  // wheel movement not yet worth a notch
};
