// File > Lock: locks every open encrypted card file at once (the idle and session locks run the
// same operation from LockController).

#include "CMainFrame.h"
#include "LockController.h"
#include "resources/ResourceIds.h"

namespace tessarel {

void CMainFrame::RegisterLockCommand() {
    // Always enabled: with only plain files open the status bar says there was nothing to lock.
    Register(CommandRow::Always(res::LockCommand, [this] { locks->LockAll(); }));
}

}  // namespace tessarel
