#include "CAboutDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "mainframe/CMainFrame.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace tessarel {

const char* const CAboutDialog::kHomePage = CMainFrame::kHomePageAddress;

CAboutDialog::CAboutDialog(OpenAddress openAddress, QWidget* parent) : Dialog(parent) {
    setObjectName(QStringLiteral("100"));
    setWindowTitle(QStringLiteral("About Tessarel"));
    auto* grid = new QGridLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(ResourceIcon(res::IconProgram).pixmap(32, 32));
    grid->addWidget(icon, 0, 0, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Tessarel Version 2.0\nCopyright (C) Corvale. All rights reserved."), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Tessarel Home Page:"), this), 1, 1);
    auto* home = new QPushButton(QString::fromLatin1(kHomePage), this);
    home->setObjectName(QString::number(res::ControlHomePage));
    grid->addWidget(home, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Email:"), this), 3, 1);
    auto* mail = new QLabel(this);
    mail->setPixmap(ResourceBitmap(res::BitmapAboutMail));
    grid->addWidget(mail, 3, 0);
    auto* logo = new QLabel(this);
    logo->setPixmap(ResourceBitmap(res::BitmapAboutLogo));
    grid->addWidget(logo, 4, 0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    grid->addWidget(buttons, 4, 1);
    connect(buttons, &QDialogButtonBox::accepted, this, &Dialog::OnOK);
    // The dialog stays open while the page opens in the browser.
    connect(home, &QPushButton::clicked, this, [openHome = std::move(openAddress)] {
        if (openHome) openHome(kHomePage);
    });
}

}  // namespace tessarel
