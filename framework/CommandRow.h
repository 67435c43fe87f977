#pragma once
// One command as a command group declares it: its id, what it runs and when it is enabled (and,
// for the items that carry a check mark, when it is checked), all on one line of the group's
// table. A command that is meant to do nothing says so, with its reason, instead of hiding behind
// an empty handler, so that a forgotten handler can never pass for an intended one.

#include <functional>
#include <initializer_list>
#include <vector>

#include "CommandState.h"

namespace tessarel {

struct CommandRow {
    using Handler = std::function<void()>;
    using UpdateHandler = std::function<void(CommandState&)>;
    using Rule = std::function<bool()>;

    enum class Kind {
        Handled,   // runs `run`; enabled by `update`, or wherever a handler exists when it has none
        RuleOnly,  // adds the enabling rule of a command whose handler lives on another part of the chain
        NoOp,      // enabled and does nothing, on purpose
        Disabled,  // shown in a menu or bound to a key, but nothing handles it: always disabled
    };

    int id = 0;
    Kind kind = Kind::Handled;
    Handler run;
    UpdateHandler update;
    const char* reason = nullptr;  // why a NoOp or Disabled row is one

    // Enabled wherever it can be routed.
    static CommandRow Always(int id, Handler run);
    static CommandRow When(int id, Handler run, Rule enabled);
    static CommandRow Checked(int id, Handler run, Rule enabled, Rule checked);
    // The update fills the whole state (text, visibility, check, enabling).
    static CommandRow Updated(int id, Handler run, UpdateHandler update);
    static CommandRow EnabledWhen(int id, Rule enabled);
    static CommandRow NoOp(int id, const char* why);
    static CommandRow Disabled(int id, const char* why);
};

using CommandTable = std::vector<CommandRow>;

// The rows of the ids `first` to `last`; each handler is told its own id.
CommandTable CommandRange(int first, int last, std::function<void(int)> run, CommandRow::UpdateHandler update);

}  // namespace tessarel
