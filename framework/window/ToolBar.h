#pragma once

#include <string>
#include <vector>

#include "framework/window/ControlBar.h"

class CCmdUI;
struct ToolBarDef;

// A toolbar: buttons from the toolbar resource (commands, separators, one image per button),
// each raising its command through the frame and enabled by the command's update handler. With
// CBRS_TOOLTIPS a button shows the second line of its command's prompt string as its tooltip.
class CToolBar : public CControlBar {
public:
    CToolBar();
    ~CToolBar() override;

    bool Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
    bool LoadToolBar(UINT nIDResource);
    void SetBarStyle(DWORD dwStyle) override;
    void EnableDocking(DWORD dwDockStyle) override;

    // The buttons, separators included (identifier 0).
    int GetCount() const { return static_cast<int>(m_buttons.size()); }
    UINT GetItemID(int nIndex) const;
    std::string GetButtonTip(int nIndex) const;

private:
    // The platform's buttons for the loaded ones; their images from the resource.
    bool CreateButtons(const ToolBarDef& def);
    // Shows what the update handlers said on the button at nIndex (separators count), whichever
    // other buttons carry the same command.
    void ApplyButtonState(int nIndex, const CCmdUI& ui);
    void ApplyTooltips();

    struct Button {
        UINT id;
        std::string tip;
    };
    std::vector<Button> m_buttons;
};
