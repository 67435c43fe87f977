#include "RevealButton.h"

#include <QMenu>

#include "core/SecureBuffer.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace tessarel {
namespace {

PopupRunner& InstalledRunner() {
    static PopupRunner runner;
    return runner;
}

}  // namespace

RevealButton::RevealButton(int controlId, std::function<QString()> current, QWidget* parent)
    : QToolButton(parent), currentText(std::move(current)) {
    setObjectName(QString::number(controlId));
    setIcon(ResourceIcon(res::IconReveal));
    connect(this, &QToolButton::clicked, this, &RevealButton::Reveal);
}

QPoint RevealButton::PopupPosition() const { return mapToGlobal(QPoint(width(), height())) + QPoint(5, 0); }

void RevealButton::Reveal() {
    // The text is a password: the copy made for the pop-up is wiped when it closes.
    QString shown = currentText();
    ShowRevealPopup(this, shown, PopupPosition());
    WipeText(shown);
}

void ShowRevealPopup(QWidget* parent, const QString& text, const QPoint& at) {
    QMenu menu(parent);
    QAction* item = menu.addAction(text);
    item->setEnabled(false);
    if (InstalledRunner())
        InstalledRunner()(menu, at);
    else
        menu.exec(at);
    // The item held a copy of the password.
    item->setText(QString());
}

PopupRunner SetPopupRunner(PopupRunner runner) {
    PopupRunner previous = std::move(InstalledRunner());
    InstalledRunner() = std::move(runner);
    return previous;
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
