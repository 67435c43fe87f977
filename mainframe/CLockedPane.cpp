#include "CLockedPane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "mainframe/dialogs/RevealButton.h"
#include "resources/ResourceIds.h"

namespace tessarel {

CLockedPane::CLockedPane(const QString& title, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("LockedPane"));
    heading = new QLabel(QStringLiteral("%1 is locked.").arg(title), this);
    heading->setObjectName(QStringLiteral("LockedHeading"));
    QFont bigger = heading->font();
    bigger.setBold(true);
    heading->setFont(bigger);
    auto* hint = new QLabel(QStringLiteral("Its cards were removed from memory. Type the file's password to open it again."), this);
    hint->setWordWrap(true);

    password = MaskedEdit(res::ControlUnlockPassword, this);
    auto* label = new QLabel(QStringLiteral("Passw&ord:"), this);
    label->setBuddy(password);
    unlock = new QPushButton(QStringLiteral("&Unlock"), this);
    unlock->setObjectName(QString::number(res::ControlUnlockButton));
    connect(unlock, &QPushButton::clicked, this, &CLockedPane::unlockRequested);
    connect(password, &QLineEdit::returnPressed, this, &CLockedPane::unlockRequested);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(password, 1);
    row->addWidget(unlock);
    auto* column = new QVBoxLayout(this);
    column->addStretch(1);
    column->addWidget(heading, 0, Qt::AlignHCenter);
    column->addWidget(hint, 0, Qt::AlignHCenter);
    column->addLayout(row);
    column->addStretch(2);
    column->setContentsMargins(24, 12, 24, 12);
}

CLockedPane::~CLockedPane() { WipeEdit(password); }

QString CLockedPane::TakePassword() {
    QString typed = password->text();
    WipeEdit(password);
    return typed;
}

void CLockedPane::FocusPassword() { password->setFocus(Qt::OtherFocusReason); }

}  // namespace tessarel
