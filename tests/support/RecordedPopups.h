#pragma once
// Stands in for the person looking at a password pop-up: while it lives, every pop-up the program
// runs is recorded (its items, whether each is enabled, where it would appear) and closed at once.

#include <QAction>
#include <QMenu>
#include <QPoint>
#include <QString>
#include <vector>

#include "mainframe/dialogs/RevealButton.h"

namespace tessarel::test {

class RecordedPopups {
public:
    struct Item {
        QString text;
        bool enabled;
        bool operator==(const Item&) const = default;
    };
    struct Popup {
        std::vector<Item> items;
        QPoint at;
        QWidget* parent;
    };

    RecordedPopups() {
        previous = SetPopupRunner([this](QMenu& menu, const QPoint& at) {
            Popup popup{{}, at, menu.parentWidget()};
            for (QAction* action : menu.actions()) popup.items.push_back({action->text(), action->isEnabled()});
            popups.push_back(popup);
        });
    }
    ~RecordedPopups() { SetPopupRunner(std::move(previous)); }
    RecordedPopups(const RecordedPopups&) = delete;
    RecordedPopups& operator=(const RecordedPopups&) = delete;

    std::vector<Popup> popups;

private:
    PopupRunner previous;
};

}  // namespace tessarel::test
