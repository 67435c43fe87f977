#include "RevealButton.h"

#include <QGuiApplication>
#include <QMenu>

#include "core/SecureBuffer.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace tessarel {

RevealButton::RevealButton(int controlId, std::function<QString()> current, QWidget* parent)
    : QToolButton(parent), currentText(std::move(current)) {
    setObjectName(QString::number(controlId));
    setIcon(ResourceIcon(res::IconReveal));
    connect(this, &QToolButton::clicked, this, &RevealButton::Reveal);
}

RevealButton::~RevealButton() { WipeText(lastShown); }

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

void WipeText(QString& text) {
    // data() would copy a shared string first and wipe only the copy.
    if (text.isDetached()) SecureWipe(text.data(), static_cast<std::size_t>(text.capacity()) * sizeof(QChar));
    text = QString();
}

void WipeEdit(QLineEdit* edit) {
    QString held = edit->text();
    // setText drops the undo history too (clear() would keep the removed text there); afterwards
    // `held` is the last holder of the old text unless a caller keeps a copy.
    edit->setText(QString());
    WipeText(held);
}

QLineEdit* MaskedEdit(int controlId, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::number(controlId));
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

}  // namespace tessarel
