#include "QuickFilterBar.h"

#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace tessarel {

QuickFilterBar::QuickFilterBar(QAction* focusAction, QWidget* parent) : QToolBar(QStringLiteral("Quick Filter"), parent) {
    setObjectName(QStringLiteral("QuickFilterBar"));
    addAction(focusAction);
    textEdit = new QLineEdit(this);
    textEdit->setObjectName(QStringLiteral("QuickFilterText"));
    textEdit->setPlaceholderText(QStringLiteral("Name, address or user id (Ctrl+K)"));
    textEdit->setClearButtonEnabled(true);
    textEdit->setMinimumWidth(220);
    textEdit->installEventFilter(this);
    addWidget(textEdit);
    secretsBox = new QCheckBox(QStringLiteral("Search passwords and notes"), this);
    secretsBox->setObjectName(QStringLiteral("QuickFilterSecrets"));
    addWidget(secretsBox);
    connect(textEdit, &QLineEdit::textChanged, this, &QuickFilterBar::filterChanged);
    connect(secretsBox, &QCheckBox::toggled, this, &QuickFilterBar::filterChanged);
}

QString QuickFilterBar::Text() const { return textEdit->text(); }

bool QuickFilterBar::SecretsToo() const { return secretsBox->isChecked(); }

void QuickFilterBar::FocusText() {
    textEdit->setFocus(Qt::ShortcutFocusReason);
    textEdit->selectAll();
}

void QuickFilterBar::SetUsable(bool usable) {
    textEdit->setEnabled(usable);
    secretsBox->setEnabled(usable);
}

bool QuickFilterBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == textEdit && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (textEdit->text().isEmpty())
            emit leaveRequested();
        else
            textEdit->clear();
        return true;
    }
    return QToolBar::eventFilter(watched, event);
}

}  // namespace tessarel
