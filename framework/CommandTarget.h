#pragma once
// A receiver of commands. Each target keeps its own table of handlers, the way the Parts write
// them: a command handler and, next to it, the rule that enables (or checks) the command.
// Routing asks the targets of the chain one after the other; the first that knows the id wins.

#include <functional>
#include <unordered_map>

#include "CommandState.h"

namespace tessarel {

class CommandTarget {
public:
    using Handler = std::function<void()>;
    using UpdateHandler = std::function<void(CommandState&)>;

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

protected:
    void OnCommand(int id, Handler handler);
    void OnUpdate(int id, UpdateHandler handler);
    void OnCommandRange(int first, int last, std::function<void(int)> handler);
    void OnUpdateRange(int first, int last, UpdateHandler handler);

private:
    struct Entry {
        Handler run;
        UpdateHandler update;
    };
    std::unordered_map<int, Entry> entries;
};

}  // namespace tessarel
