#pragma once
// What the update of command states asks every target in the chain about one command id.

#include <optional>

#include <QString>

namespace tessarel {

struct CommandState {
    int id = 0;
    bool enabled = false;
    bool checked = false;
    bool checkable = false;  // set by an update handler that wants a check mark shown
    bool hidden = false;     // an update handler may hide an item (unused recent-file entries)
    std::optional<QString> text;  // an update handler may retitle an item (recent files)

    bool enableDecided = false;  // an update handler that never calls Enable leaves it to the handlers

    void Enable(bool on = true) {
        enabled = on;
        enableDecided = true;
    }
    void SetCheck(bool on) {
        checkable = true;
        checked = on;
    }
};

}  // namespace tessarel
