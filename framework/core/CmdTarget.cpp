#include "framework/core/CmdTarget.h"

#include "framework/core/CmdUI.h"

const CRuntimeClass CCmdTarget::runtimeClass{"CCmdTarget", &CObject::runtimeClass, nullptr};

const CommandMap* CCmdTarget::ThisMessageMap() {
    static const CommandMap root{nullptr, {}};
    return &root;
}

bool CCmdTarget::DispatchOwn(CommandId id, CmdQuery q, CCmdUI* pCmdUI) {
    for (const CommandMap* map = GetMessageMap(); map != nullptr; map = map->pBaseMap) {
        for (const CommandMapEntry& entry : map->entries) {
            if (entry.id != id) {
                continue;
            }
            switch (q) {
                case CmdQuery::Execute:
                    if (entry.handler != nullptr) {
                        entry.handler(*this);
                        return true;
                    }
                    break;
                case CmdQuery::Update:
                    if (entry.update != nullptr) {
                        entry.update(*this, pCmdUI);
                        return true;
                    }
                    break;
                case CmdQuery::HasHandler:
                    if (entry.handler != nullptr) {
                        return true;
                    }
                    break;
            }
        }
    }
    return false;
}

bool CCmdTarget::OnCmdMsg(CommandId id, CmdQuery q, CCmdUI* pCmdUI) {
    return DispatchOwn(id, q, pCmdUI);
}

void CCmdTarget::UpdateCommand(CCmdUI& cmdUI) {
    // An update handler anywhere along the route decides; failing that, a command that has a
    // handler somewhere is enabled and one that nobody handles is disabled.
    cmdUI.m_bEnabled = true;
    if (OnCmdMsg(cmdUI.m_nID, CmdQuery::Update, &cmdUI)) {
        return;
    }
    cmdUI.Enable(OnCmdMsg(cmdUI.m_nID, CmdQuery::HasHandler, nullptr));
}

bool CCmdTarget::ExecuteCommand(CommandId id) {
    CCmdUI state(id);
    UpdateCommand(state);
    if (!state.m_bEnabled) {
        return false;
    }
    return OnCmdMsg(id, CmdQuery::Execute, nullptr);
}
