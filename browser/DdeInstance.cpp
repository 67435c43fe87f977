#include "browser/DdeInstance.h"

#include "browser/DdeErrorNames.h"

namespace tessarel::browser {
namespace {

DdeInstance* current = nullptr;

}  // namespace

DdeInstance::DdeInstance(UserInterface& userInterface) : ui(userInterface), ipc(&callback) {
    // One instance per program: a second one stays invalid rather than take the first's place.
    if (current == nullptr && ipc.IsValid()) current = this;
}

DdeInstance::~DdeInstance() {
    if (current == this) current = nullptr;
}

DdeInstance* DdeInstance::Current() { return current; }

void DdeInstance::ReportLastError() {
    const IpcError error = ipc.LastError();
    if (error == IpcError::None) return;
    ui.ShowMessage(Message{DdeErrorName(static_cast<std::uint32_t>(error)), "Error", MessageButtons::Ok,
                           MessageIcon::None, MessageOwner::None});
}

}  // namespace tessarel::browser
