#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "framework/core/Object.h"

// Command identifiers are plain integers (menu items, buttons, keys, status panes).
using CommandId = std::uint32_t;

class CCmdUI;
class CCmdTarget;

// One line of a class's command table: the identifier, its handler and its update handler.
// Either may be null: a status pane has only an update handler; a command without an update
// handler is enabled wherever it has a handler.
struct CommandMapEntry {
    CommandId id;
    void (*handler)(CCmdTarget&);
    void (*update)(CCmdTarget&, CCmdUI*);
};

// A class's command table, in its listed order, chained to its base class's table.
struct CommandMap {
    const CommandMap* pBaseMap;
    std::span<const CommandMapEntry> entries;
};

namespace detail {
template <class M>
struct MemberOf;
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...)> {
    using type = C;
};
}  // namespace detail

// Table builders: CommandEntry<&C::OnX, &C::OnUpdateX>(id), CommandEntry<&C::OnX>(id) and
// UpdateEntry<&C::OnUpdateX>(id). A class's table is a function-local static array, and its
// CommandMap a function-local `static const` chained to Base::ThisMessageMap().
template <auto Handler>
void CallCommandHandler(CCmdTarget& target) {
    using C = typename detail::MemberOf<decltype(Handler)>::type;
    (static_cast<C&>(target).*Handler)();
}
template <auto Update>
void CallUpdateHandler(CCmdTarget& target, CCmdUI* pCmdUI) {
    using C = typename detail::MemberOf<decltype(Update)>::type;
    (static_cast<C&>(target).*Update)(pCmdUI);
}

template <auto Handler, auto Update>
constexpr CommandMapEntry CommandEntry(CommandId id) {
    return {id, &CallCommandHandler<Handler>, &CallUpdateHandler<Update>};
}
template <auto Handler>
constexpr CommandMapEntry CommandEntry(CommandId id) {
    return {id, &CallCommandHandler<Handler>, nullptr};
}
template <auto Update>
constexpr CommandMapEntry UpdateEntry(CommandId id) {
    return {id, nullptr, &CallUpdateHandler<Update>};
}

// What a routing pass asks of each target in turn.
enum class CmdQuery {
    Execute,     // carry the command out
    Update,      // run its update handler against the CCmdUI
    HasHandler,  // only tell whether a handler exists
};

// Base of everything that takes part in command routing: views, documents, frames, the
// application. Routing goes active view, then its document, then the frame, then the
// application; each class overrides OnCmdMsg to pass on along that chain.
class CCmdTarget : public CObject {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    // Answers query q for id from this object's own tables (and, in overrides, from the objects
    // routing continues to). True when some table along the way answered.
    virtual bool OnCmdMsg(CommandId id, CmdQuery q, CCmdUI* pCmdUI);

    // The full protocol for one command: the update handler decides (an update handler anywhere
    // on the route wins; otherwise a command with a handler is enabled, one nobody handles is
    // disabled). UpdateCommand fills cmdUI; ExecuteCommand carries the command out only while
    // it is enabled and returns whether it ran.
    void UpdateCommand(CCmdUI& cmdUI);
    bool ExecuteCommand(CommandId id);

    // The root of every chain of command tables: empty.
    static const CommandMap* ThisMessageMap();

protected:
    // This class's table, chained to its base's; classes with a table override it.
    virtual const CommandMap* GetMessageMap() const { return ThisMessageMap(); }
    // Answers q from this object's own table chain only.
    bool DispatchOwn(CommandId id, CmdQuery q, CCmdUI* pCmdUI);
};
