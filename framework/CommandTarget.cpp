#include "CommandTarget.h"

#include <QtGlobal>

namespace tessarel {

bool CommandTarget::RunCommand(int id) {
    auto found = entries.find(id);
    if (found == entries.end() || !found->second.run) return false;
    // Copy first: a handler may close the window that owns this target.
    Handler handler = found->second.run;
    handler();
    return true;
}

bool CommandTarget::UpdateCommand(CommandState& state) {
    auto found = entries.find(state.id);
    if (found == entries.end() || !found->second.update) return false;
    found->second.update(state);
    return true;
}

bool CommandTarget::HasHandler(int id) const {
    auto found = entries.find(id);
    return found != entries.end() && static_cast<bool>(found->second.run);
}

bool CommandTarget::HasUpdateHandler(int id) const {
    auto found = entries.find(id);
    return found != entries.end() && static_cast<bool>(found->second.update);
}

bool CommandTarget::IsDeclaredNoOp(int id) const {
    auto found = entries.find(id);
    return found != entries.end() && found->second.noOp;
}

bool CommandTarget::IsDeclaredDisabled(int id) const {
    auto found = entries.find(id);
    return found != entries.end() && found->second.disabled;
}

std::vector<int> CommandTarget::KnownIds() const {
    std::vector<int> ids;
    ids.reserve(entries.size());
    for (const auto& [id, entry] : entries) ids.push_back(id);
    return ids;
}

void CommandTarget::Register(const CommandTable& table) {
    for (const CommandRow& row : table) Register(row);
}

bool CommandTarget::Register(CommandRow row) {
    auto found = entries.find(row.id);
    if (found != entries.end()) {
        const Entry& known = found->second;
        const bool declaredTwice = known.disabled || row.kind == CommandRow::Kind::Disabled;
        if (declaredTwice || (row.run && known.run) || (row.update && known.update)) {
            // A programming error: the table names the id twice. The first row stays so that
            // the program does what its first declaration says; the tests catch the second.
            qCritical("command %d is registered twice on the same target; the second registration is ignored", row.id);
            refused.push_back(row.id);
            return false;
        }
    }
    Entry& entry = entries[row.id];
    if (row.run) entry.run = std::move(row.run);
    if (row.update) entry.update = std::move(row.update);
    if (row.kind == CommandRow::Kind::NoOp) entry.noOp = true;
    if (row.kind == CommandRow::Kind::Disabled) entry.disabled = true;
    return true;
}

bool CommandTarget::OnCommand(int id, Handler handler) { return Register(CommandRow::Always(id, std::move(handler))); }

bool CommandTarget::OnUpdate(int id, UpdateHandler handler) {
    return Register(CommandRow{id, CommandRow::Kind::RuleOnly, {}, std::move(handler), nullptr});
}

}  // namespace tessarel
