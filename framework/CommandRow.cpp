#include "CommandRow.h"

#include <utility>

namespace tessarel {

CommandRow CommandRow::Always(int id, Handler run) { return CommandRow{id, Kind::Handled, std::move(run), {}, nullptr}; }

CommandRow CommandRow::When(int id, Handler run, Rule enabled) {
    return Updated(id, std::move(run), [enabled = std::move(enabled)](CommandState& state) { state.Enable(enabled()); });
}

CommandRow CommandRow::Checked(int id, Handler run, Rule enabled, Rule checked) {
    return Updated(id, std::move(run), [enabled = std::move(enabled), checked = std::move(checked)](CommandState& state) {
        state.Enable(enabled());
        state.SetCheck(checked());
    });
}

CommandRow CommandRow::Updated(int id, Handler run, UpdateHandler update) {
    return CommandRow{id, Kind::Handled, std::move(run), std::move(update), nullptr};
}

CommandRow CommandRow::EnabledWhen(int id, Rule enabled) {
    return CommandRow{id, Kind::RuleOnly, {}, [enabled = std::move(enabled)](CommandState& state) { state.Enable(enabled()); }, nullptr};
}

CommandRow CommandRow::NoOp(int id, const char* why) { return CommandRow{id, Kind::NoOp, [] {}, {}, why}; }

CommandRow CommandRow::Disabled(int id, const char* why) { return CommandRow{id, Kind::Disabled, {}, {}, why}; }

CommandTable CommandRange(int first, int last, std::function<void(int)> run, CommandRow::UpdateHandler update) {
    CommandTable rows;
    for (int id = first; id <= last; ++id) rows.push_back(CommandRow::Updated(id, [run, id] { run(id); }, update));
    return rows;
}

}  // namespace tessarel
