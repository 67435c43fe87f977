#pragma once
// The list of open windows at the foot of a Window menu, the way multiple-document programs show
// it: a separator, then "&1 title", "&2 title", ... in the order the windows were opened, the
// active one checked. Choosing an entry activates that window. The list is made afresh whenever
// the menu opens and whenever the frame updates its command states, so it never names a window
// that has gone.

#include <QObject>
#include <QPointer>
#include <vector>

class QAction;
class QMenu;

namespace tessarel {

class ChildFrame;
class MdiFrame;

class WindowListMenu : public QObject {
    Q_OBJECT
public:
    // Entries 1 to 9 carry their digit as the mnemonic; further windows are listed without one.
    static constexpr int kNumberedEntries = 9;

    WindowListMenu(MdiFrame& frame, QMenu& menu);

    // Puts the current windows into the menu.
    void Rebuild();
    // The entries now in the menu (not the separator).
    const std::vector<QAction*>& Entries() const { return entries; }

    // The text of entry `index` (from 0) for a window titled `title`.
    static QString EntryText(int index, const QString& title);

private:
    void Activate(std::size_t index);

    MdiFrame& frame;
    QMenu& menu;
    QAction* separator = nullptr;
    std::vector<QAction*> entries;
    std::vector<QPointer<ChildFrame>> targets;  // the window of each entry
};

}  // namespace tessarel
