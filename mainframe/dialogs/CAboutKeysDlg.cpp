#include "CAboutKeysDlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace tessarel {

CAboutKeysDlg::CAboutKeysDlg(QWidget* parent) : Dialog(parent) {
    setObjectName(QStringLiteral("160"));
    setWindowTitle(QStringLiteral("About Keys"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("About Keys Information"), this);
    auto* inner = new QVBoxLayout(group);
    auto add = [group, inner](const QString& text) {
        auto* label = new QLabel(text, group);
        label->setWordWrap(true);
        inner->addWidget(label);
    };
    add(QStringLiteral("The security of your encrypted data is determined by the key length (the number of characters). "
                       "The more characters your key has, and the more kinds of characters it mixes (upper and lower "
                       "case letters, digits, punctuation), the longer it takes to find it by trying."));
    add(QStringLiteral("You may use a phrase of up to 56 characters as your key."));
    add(QStringLiteral("Key Length - Time Estimate"));
    add(QStringLiteral("8 characters - 37 days"));
    add(QStringLiteral("10 characters - 7000 years"));
    add(QStringLiteral("14 characters - 10 exp 13 years"));
    add(QStringLiteral("The estimates follow the brute-force tables of a standard textbook on applied cryptography."));
    layout->addWidget(group);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &Dialog::OnOK);
    layout->addWidget(buttons);
}

}  // namespace tessarel
