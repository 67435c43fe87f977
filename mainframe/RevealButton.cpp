#include "RevealButton.h"

#include <QGuiApplication>
#include <QMenu>

#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace tessarel {

RevealButton::RevealButton(int controlId, std::function<QString()> current, QWidget* parent)
    : QToolButton(parent), currentText(std::move(current)) {
    setObjectName(QString::number(controlId));
    setIcon(ResourceIcon(res::IconReveal));
    connect(this, &QToolButton::clicked, this, &RevealButton::Reveal);
}

QPoint RevealButton::PopupPosition() const { return mapToGlobal(QPoint(width(), height())) + QPoint(5, 0); }

void RevealButton::Reveal() {
    lastShown = currentText();
    // Without a screen to show it on (tests), the text is only recorded.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return;
    QMenu menu(this);
    QAction* item = menu.addAction(lastShown);
    item->setEnabled(false);
    menu.exec(PopupPosition());
}

QLineEdit* MaskedEdit(int controlId, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::number(controlId));
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

}  // namespace tessarel
