#include "CSecurityPage.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "resources/ResourceIds.h"

namespace tessarel {

namespace {

// A spin box whose 0 reads "Never", so the person sees what 0 means instead of guessing.
QSpinBox* NeverSpin(int id, int maximum, const QString& suffix, QWidget* parent) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::number(id));
    spin->setRange(0, maximum);
    spin->setSpecialValueText(QStringLiteral("Never"));
    spin->setSuffix(suffix);
    spin->setGroupSeparatorShown(false);
    return spin;
}

}  // namespace

CSecurityPage::CSecurityPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QString::number(res::DialogSecurityPage));
    auto* clipboardGroup = new QGroupBox(QStringLiteral("Clipboard"), this);
    clipboardSpin = NeverSpin(res::ControlClearClipboardSeconds, kMaxClipboardSeconds, QStringLiteral(" seconds"), clipboardGroup);
    auto* clipboardLabel = new QLabel(QStringLiteral("C&lear a copied password after:"), clipboardGroup);
    clipboardLabel->setBuddy(clipboardSpin);
    auto* clipboardForm = new QFormLayout(clipboardGroup);
    clipboardForm->addRow(clipboardLabel, clipboardSpin);

    auto* lockGroup = new QGroupBox(QStringLiteral("Locking encrypted card files"), this);
    lockSpin = NeverSpin(res::ControlLockAfterMinutes, kMaxLockMinutes, QStringLiteral(" minutes"), lockGroup);
    auto* lockLabel = new QLabel(QStringLiteral("Loc&k when idle for:"), lockGroup);
    lockLabel->setBuddy(lockSpin);
    sessionBox = new QCheckBox(QStringLiteral("Lock when the &desktop session locks"), lockGroup);
    sessionBox->setObjectName(QString::number(res::ControlLockWithSession));
    auto* lockForm = new QFormLayout(lockGroup);
    lockForm->addRow(lockLabel, lockSpin);
    lockForm->addRow(sessionBox);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(clipboardGroup);
    layout->addWidget(lockGroup);
    layout->addStretch();
}

void CSecurityPage::DoDataExchange(bool save) {
    if (save) {
        clearClipboardSeconds = clipboardSpin->value();
        lockAfterMinutes = lockSpin->value();
        lockWithSession = sessionBox->isChecked() ? 1 : 0;
        return;
    }
    // A stored value outside the range shows clamped; OK stores what is shown.
    clipboardSpin->setValue(clearClipboardSeconds);
    lockSpin->setValue(lockAfterMinutes);
    sessionBox->setChecked(lockWithSession != 0);
}

}  // namespace tessarel
