#include "WindowListMenu.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

#include "ChildFrame.h"
#include "MdiFrame.h"

namespace tessarel {

WindowListMenu::WindowListMenu(MdiFrame& owner, QMenu& windowMenu) : QObject(&windowMenu), frame(owner), menu(windowMenu) {
    setObjectName(QStringLiteral("WindowListMenu"));
    connect(&menu, &QMenu::aboutToShow, this, &WindowListMenu::Rebuild);
}

QString WindowListMenu::EntryText(int index, const QString& title) {
    // An ampersand in a file name is shown, not taken as a mnemonic.
    QString shown = title;
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));
    const int number = index + 1;
    if (number <= kNumberedEntries) return QStringLiteral("&%1 %2").arg(number).arg(shown);
    return QStringLiteral("%1 %2").arg(number).arg(shown);
}

void WindowListMenu::Rebuild() {
    const std::vector<ChildFrame*> children = frame.GetChildren();
    // Entries are kept and retitled rather than made anew, so an open menu does not lose the
    // entry under the pointer when the states are updated.
    while (entries.size() > children.size()) {
        QAction* entry = entries.back();
        entries.pop_back();
        targets.pop_back();
        menu.removeAction(entry);
        entry->deleteLater();
    }
    if (children.empty() && separator) {
        menu.removeAction(separator);
        separator->deleteLater();
        separator = nullptr;
    }
    if (!children.empty() && !separator) separator = menu.addSeparator();
    while (entries.size() < children.size()) {
        auto* entry = new QAction(&menu);
        entry->setCheckable(true);
        const std::size_t index = entries.size();
        connect(entry, &QAction::triggered, &frame, [this, index] { Activate(index); });
        menu.addAction(entry);
        entries.push_back(entry);
        targets.emplace_back();
    }
    ChildFrame* active = frame.GetActiveChild();
    for (std::size_t i = 0; i < children.size(); ++i) {
        targets[i] = children[i];
        const QString text = EntryText(static_cast<int>(i), children[i]->windowTitle());
        if (entries[i]->text() != text) entries[i]->setText(text);
        entries[i]->setChecked(children[i] == active);
    }
}

void WindowListMenu::Activate(std::size_t index) {
    // The window may have closed while the menu was open.
    ChildFrame* target = index < targets.size() ? targets[index].data() : nullptr;
    if (!target) return;
    frame.ActivateChild(target);
    target->setFocus();
    Rebuild();
}

}  // namespace tessarel
