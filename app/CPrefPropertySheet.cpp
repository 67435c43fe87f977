#include "CPrefPropertySheet.h"

#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QHBoxLayout>

#include "CInternetPage.h"
#include "CPathsSetPage.h"
#include "CPrintingPage.h"
#include "CSecurityPage.h"
#include "CStartUpPage.h"
#include "framework/Settings.h"

namespace tessarel {

CPrefPropertySheet::CPrefPropertySheet(QWidget* parent) : Dialog(parent) {
    setWindowTitle(QStringLiteral("Property Sheet"));
    tabWidget = new QTabWidget(this);
    internet = new CInternetPage;
    startUp = new CStartUpPage;
    paths = new CPathsSetPage;
    printing = new CPrintingPage;
    security = new CSecurityPage;
    // Added in tab order.
    tabWidget->addTab(internet, QStringLiteral("General"));
    tabWidget->addTab(startUp, QStringLiteral("At Startup"));
    tabWidget->addTab(paths, QStringLiteral("Paths Settings"));
    tabWidget->addTab(printing, QStringLiteral("Printing"));
    tabWidget->addTab(security, QStringLiteral("Security"));
    tabWidget->setMinimumSize(440, 330);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabWidget);
    layout->addLayout(buttons);
}

int CPrefPropertySheet::Run(QWidget* parent) {
    CPrefPropertySheet sheet(parent);
    sheet.LoadFromSettings();
    const int result = sheet.DoModal();
    if (result == QDialog::Accepted) sheet.WriteToSettings();
    return result;
}

void CPrefPropertySheet::LoadFromSettings() {
    using namespace setting;
    // The sheet shows 0 for missing values, except where a default is given here.
    printing->printAtm = ReadInt(PrintAtm, 0);
    printing->printNotes = ReadInt(PrintNotes, 0);
    startUp->email = ReadInt(LaunchEmail, 0);
    startUp->ftp = ReadInt(LaunchFtp, 0);
    startUp->news = ReadInt(LaunchNewsReader, 0);
    startUp->telnet = ReadInt(LaunchTelnet, 0);
    startUp->webBrowser = ReadInt(LaunchWebBrowser, 0);
    startUp->openRecent = ReadInt(CheckOpenFiles, 0);
    internet->browser = ReadInt(ChooseWebBrowser, 1);
    internet->automaticSave = ReadInt(AutomaticSaveCheck, 0);
    internet->minutes = ReadText(AutomaticSave);
    internet->dateFormat = ReadInt(DateFormat, 0);
    paths->navigator = ReadText(NetscapeFilePath);
    paths->explorer = ReadText(ExplorerFilePath);
    paths->email = ReadText(MailProgFilePath);
    paths->news = ReadText(NewsProgFilePath);
    paths->helpReader = ReadText(HelpProgFilePath);
    paths->ftp = ReadText(FtpFilePath);
    paths->telnet = ReadText(TelnetFilePath);
    // The security page shows the table's defaults: a person who never opened it is protected.
    security->clearClipboardSeconds = ReadInt(ClearClipboardSeconds);
    security->lockAfterMinutes = ReadInt(LockAfterMinutes);
    security->lockWithSession = ReadInt(LockWithSession);
}

std::vector<CPrefPropertySheet::StoredValue> CPrefPropertySheet::ValuesInWriteOrder() const {
    using namespace setting;
    return {{&PrintAtm, printing->printAtm},
            {&PrintNotes, printing->printNotes},
            {&LaunchEmail, startUp->email},
            {&LaunchFtp, startUp->ftp},
            {&LaunchNewsReader, startUp->news},
            {&LaunchTelnet, startUp->telnet},
            {&LaunchWebBrowser, startUp->webBrowser},
            {&CheckOpenFiles, startUp->openRecent},
            {&ChooseWebBrowser, internet->browser},
            {&AutomaticSaveCheck, internet->automaticSave},
            {&AutomaticSave, internet->minutes},
            {&DateFormat, internet->dateFormat},
            {&NetscapeFilePath, paths->navigator},
            {&ExplorerFilePath, paths->explorer},
            {&MailProgFilePath, paths->email},
            {&NewsProgFilePath, paths->news},
            {&HelpProgFilePath, paths->helpReader},
            {&FtpFilePath, paths->ftp},
            {&TelnetFilePath, paths->telnet},
            {&ClearClipboardSeconds, security->clearClipboardSeconds},
            {&LockAfterMinutes, security->lockAfterMinutes},
            {&LockWithSession, security->lockWithSession}};
}

void CPrefPropertySheet::WriteToSettings() const {
    for (const StoredValue& value : ValuesInWriteOrder()) {
        if (value.row->type == SettingType::Int)
            WriteInt(*value.row, value.value.toInt());
        else
            WriteText(*value.row, value.value.toString());
    }
}

void CPrefPropertySheet::OnInitDialog() {
    internet->OnInitPage();
    startUp->OnInitPage();
    paths->OnInitPage();
    printing->OnInitPage();
    security->OnInitPage();
    setWindowTitle(QStringLiteral("Preferences"));
}

void CPrefPropertySheet::DoDataExchange(bool save) {
    if (!save) return;  // each page fills its controls when the sheet initialises
    internet->DoDataExchange(true);
    startUp->DoDataExchange(true);
    paths->DoDataExchange(true);
    printing->DoDataExchange(true);
    security->DoDataExchange(true);
}

}  // namespace tessarel
