#pragma once

// What the update handlers along a target's route say about a command or a status pane.

#include "framework/core/CmdUI.h"

inline CCmdUI CommandState(CCmdTarget& target, CommandId id) {
    CCmdUI state(id);
    target.UpdateCommand(state);
    return state;
}
