#pragma once
// The program's one conversation instance: the local IPC with the conversation layer's callback
// and the user-interface seam its error boxes go through. Start-up makes it; while it lives,
// every CDDEObject finds it through Current().

#include "browser/DdeServerCallback.h"
#include "browser/IpcInstance.h"
#include "core/UserInterface.h"

namespace tessarel::browser {

class DdeInstance {
public:
    explicit DdeInstance(UserInterface& userInterface);
    ~DdeInstance();
    DdeInstance(const DdeInstance&) = delete;
    DdeInstance& operator=(const DdeInstance&) = delete;

    // False when the IPC could not start; start-up then ends the program.
    bool IsValid() const { return ipc.IsValid() && Current() == this; }

    // The live instance, or null when none was made (or it failed).
    static DdeInstance* Current();

    IpcInstance& Ipc() { return ipc; }
    UserInterface& Ui() { return ui; }

    // Looks up the IPC's last error; when there is one, shows its name in an owner-less message
    // box with the caption "Error".
    void ReportLastError();

private:
    UserInterface& ui;
    DdeServerCallback callback;
    IpcInstance ipc;
};

}  // namespace tessarel::browser
