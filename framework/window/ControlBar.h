#pragma once

#include "framework/window/Wnd.h"

class CFrameWnd;

// Bar styles: where a bar sits, its borders, and what it shows.
constexpr DWORD CBRS_ALIGN_LEFT = 0x1000;
constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000;
constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000;
constexpr DWORD CBRS_ALIGN_ANY = 0xF000;
constexpr DWORD CBRS_BORDER_TOP = 0x0200;
constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
constexpr DWORD CBRS_TOOLTIPS = 0x0010;
constexpr DWORD CBRS_FLYBY = 0x0020;
constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0004;
constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;

// A bar of a frame (toolbar, status bar), found by its window identifier. The frame shows and
// hides it for the View menu and stores its state at close.
class CControlBar : public CWnd {
public:
    CControlBar();
    ~CControlBar() override;

    UINT GetDlgCtrlID() const { return m_nID; }
    DWORD GetBarStyle() const { return m_dwStyle; }
    virtual void SetBarStyle(DWORD dwStyle);
    // The sides (CBRS_ALIGN_*) the bar may be docked on; any docking also allows floating.
    virtual void EnableDocking(DWORD dwDockStyle);
    DWORD GetDockingStyle() const { return m_dwDockStyle; }
    bool IsFloating() const;
    // Which side it is docked on (CBRS_ALIGN_*), 0 when floating.
    DWORD GetDockedSide() const;
    CFrameWnd* GetDockingFrame() const { return m_pDockSite; }

protected:
    friend class CFrameWnd;  // forgets itself in its bars when it goes first
    // Ties the bar to its frame; the frame finds it by nID.
    void InitBar(CWnd* pParentWnd, DWORD dwStyle, UINT nID);

    CFrameWnd* m_pDockSite = nullptr;
    UINT m_nID = 0;
    DWORD m_dwStyle = 0;
    DWORD m_dwDockStyle = 0;
};
