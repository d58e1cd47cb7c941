#pragma once

#include <string>
#include <vector>

#include "framework/window/ControlBar.h"

constexpr UINT SBPS_NORMAL = 0x0000;
constexpr UINT SBPS_NOBORDERS = 0x0100;
constexpr UINT SBPS_POPOUT = 0x0200;
constexpr UINT SBPS_STRETCH = 0x0800;

// A status bar of panes laid left to right, each named by an indicator identifier. A pane's
// initial text (and width) comes from the string of its identifier; afterwards the update
// handlers of that identifier set its text while the program is idle. There is no message pane:
// menu and toolbar prompts are never shown here.
class CStatusBar : public CControlBar {
public:
    CStatusBar();
    ~CStatusBar() override;

    bool Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
    // False when an indicator has no string.
    bool SetIndicators(const UINT* lpIDArray, int nIDCount);
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    int GetCount() const { return static_cast<int>(m_panes.size()); }
    std::string GetPaneText(int nIndex) const;
    bool SetPaneText(int nIndex, const std::string& text);

private:
    // The platform's half: a control per pane showing texts (each pane as wide as its text at
    // first), and their placement at the panes' widths.
    void CreatePanes(const std::vector<std::string>& texts);
    void LayoutPanes();

    struct Pane {
        UINT id;
        UINT style;
        int cx;
    };
    std::vector<Pane> m_panes;
};
