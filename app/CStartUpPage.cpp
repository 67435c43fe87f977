#include "CStartUpPage.h"

#include <QCheckBox>
#include <QGroupBox>

namespace tessarel {

CStartUpPage::CStartUpPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("106"));
    auto* helpers = new QGroupBox(QStringLiteral("Helper Applications "), this);
    helpers->setGeometry(8, 8, 300, 150);
    emailBox = Box(1054, "Launch E-Mail Application ", helpers, 22);
    ftpBox = Box(1053, "Launch FTP Client", helpers, 46);
    newsBox = Box(1056, "Launch Newsreader", helpers, 70);
    telnetBox = Box(1055, "Launch Telnet Application ", helpers, 94);
    browserBox = Box(1052, "Launch Web Browser", helpers, 118);
    auto* startup = new QGroupBox(QStringLiteral("At Startup"), this);
    startup->setGeometry(8, 164, 300, 52);
    recentBox = Box(1057, "Open most recent file", startup, 22);
}

QCheckBox* CStartUpPage::Box(int id, const char* caption, QWidget* group, int top) {
    auto* box = new QCheckBox(QString::fromLatin1(caption), group);
    box->setObjectName(QString::number(id));
    box->setGeometry(10, top, 280, 20);
    return box;
}

void CStartUpPage::DoDataExchange(bool save) {
    const std::pair<int*, QCheckBox*> pairs[] = {{&email, emailBox},     {&ftp, ftpBox},         {&news, newsBox},
                                                 {&telnet, telnetBox},   {&webBrowser, browserBox}, {&openRecent, recentBox}};
    for (const auto& [member, box] : pairs) {
        if (save)
            *member = box->isChecked() ? 1 : 0;
        else
            box->setChecked(*member != 0);
    }
}

}  // namespace tessarel
