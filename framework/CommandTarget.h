#pragma once
// A receiver of commands. Each target keeps its own table of handlers, filled from the command
// tables of its groups: each row gives a command's handler and, next to it, the rule that
// enables (or checks) the command. Routing asks the targets of the chain one after the other; the
// first that knows the id wins.
//
// A target knows each command once. A second handler (or a second rule) for an id it already
// has would silently replace the first, so that a forgotten handler and an intended one could
// no longer be told apart; the second one is refused instead, reported, and kept in a list the
// tests require to be empty.

#include <functional>
#include <unordered_map>
#include <vector>

#include "CommandRow.h"
#include "CommandState.h"

namespace tessarel {

class CommandTarget {
public:
    using Handler = CommandRow::Handler;
    using UpdateHandler = CommandRow::UpdateHandler;

    CommandTarget() = default;
    virtual ~CommandTarget() = default;
    CommandTarget(const CommandTarget&) = delete;
    CommandTarget& operator=(const CommandTarget&) = delete;

    // Runs the handler of `id` when this target has one.
    bool RunCommand(int id);
    // Fills `state` when this target has an update handler for its id.
    bool UpdateCommand(CommandState& state);
    bool HasHandler(int id) const;
    bool HasUpdateHandler(int id) const;
    // Declared on purpose: enabled and doing nothing, or left without any handler.
    bool IsDeclaredNoOp(int id) const;
    bool IsDeclaredDisabled(int id) const;
    // Every id this target has a handler, a rule or a declaration for.
    std::vector<int> KnownIds() const;
    // The ids whose registration was refused because this target already had them.
    const std::vector<int>& RefusedRegistrations() const { return refused; }

protected:
    void Register(const CommandTable& table);
    // False, with nothing changed, when the row would replace what this target already has.
    bool Register(CommandRow row);
    // One-slot shortcuts, under the same rule: a handler, or an enabling rule, for one id.
    bool OnCommand(int id, Handler handler);
    bool OnUpdate(int id, UpdateHandler handler);

private:
    struct Entry {
        Handler run;
        UpdateHandler update;
        bool noOp = false;
        bool disabled = false;
    };
    std::unordered_map<int, Entry> entries;
    std::vector<int> refused;
};

}  // namespace tessarel
