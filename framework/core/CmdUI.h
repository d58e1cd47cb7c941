#pragma once

#include <optional>
#include <string>

#include "framework/core/CmdTarget.h"

// What an update handler says about one command or status pane: enabled, checked, its text.
// The framework runs the handler against a CCmdUI, then applies what it recorded to the menu
// item, toolbar button or status pane that carries the identifier.
class CCmdUI {
public:
    explicit CCmdUI(CommandId id) : m_nID(id) {}

    void Enable(bool bOn = true) { m_bEnabled = bOn; }
    void SetCheck(int nCheck = 1) { m_nCheck = nCheck; }
    void SetText(std::string text) { m_text = std::move(text); }

    CommandId m_nID;
    bool m_bEnabled = true;
    std::optional<int> m_nCheck;        // unset: the handler said nothing about the check
    std::optional<std::string> m_text;  // unset: the handler said nothing about the text
};
