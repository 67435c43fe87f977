#include "CommandTarget.h"

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

void CommandTarget::OnCommand(int id, Handler handler) { entries[id].run = std::move(handler); }

void CommandTarget::OnUpdate(int id, UpdateHandler handler) { entries[id].update = std::move(handler); }

void CommandTarget::OnCommandRange(int first, int last, std::function<void(int)> handler) {
    for (int id = first; id <= last; ++id) entries[id].run = [handler, id] { handler(id); };
}

void CommandTarget::OnUpdateRange(int first, int last, UpdateHandler handler) {
    for (int id = first; id <= last; ++id) entries[id].update = handler;
}

}  // namespace tessarel
