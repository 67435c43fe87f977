// The browser and helper-application commands of the main frame: starting the web browser and the
// e-mail, news, FTP, telnet and help programs by their paths, opening addresses and a card's page
// in the chosen browser over the conversation layer, a new card from the browser's page, and the
// browser detection of the first start.

#include <QCoreApplication>
#include <QDate>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocale>
#include <QThread>

#include "CCardDlg.h"
#include "CMainFrame.h"
#include "CStatusMessageDlg.h"
#include "CTessarelDoc.h"
#include "browser/AddressScheme.h"
#include "browser/AutomaticAccessAddress.h"
#include "browser/CDDEObject.h"
#include "browser/DdeVerbs.h"
#include "browser/ProgramCommandLine.h"
#include "cardstore/CCard.h"
#include "cardstore/CCardList.h"
#include "cardstore/CardTime.h"
#include "framework/ChildFrame.h"
#include "framework/DialogHost.h"
#include "framework/Settings.h"
#include "resources/ResourceIds.h"
#include "views/CTessarelListView.h"
#include "views/CTessarelView.h"
#include "views/CardText.h"

namespace tessarel {

namespace {

using browser::CDDEObject;

constexpr int kBrowserWaitMs = 3000;
constexpr const char* kNotRunning = "Could not connect to the browser, browser is not running.";
constexpr const char* kLaunching = "Launching browser...";
constexpr const char* kLaunchingTryAgain = "Launching browser..., try again after browser has started...";

QString& CompanionPathOverride() {
    static QString path;
    return path;
}

// "Choose Web Browser": 1 Internet Explorer, 0 Netscape Navigator; any other value names none.
std::string ServiceNameFor(int choice, const char* explorerSpelling) {
    if (choice == 1) return explorerSpelling;
    if (choice == 0) return "Netscape";
    return {};
}

void ShowError(const char* text) {
    Dialogs().ShowMessage(Message{text, "Error", MessageButtons::Ok, MessageIcon::None, MessageOwner::MainWindow});
}

void Tell(const char* text) {
    Dialogs().ShowMessage(Message{text, {}, MessageButtons::Ok, MessageIcon::None, MessageOwner::MainWindow});
}

// The program's wait: the interface takes no input meanwhile, but the "Message" window paints
// and the program's own conversations are still served.
void BlockingWait(int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        QThread::msleep(10);
    }
}

bool IsNetscape(const CDDEObject& dde) { return dde.ServiceName() == "Netscape"; }

// The card shown in the field list of the active card window.
CCard* CurrentCard(const CMainFrame& frame) {
    CTessarelDoc* document = frame.ActiveCardDocument();
    if (!document) return nullptr;
    for (View* view : document->GetViews())
        if (auto* list = dynamic_cast<CTessarelListView*>(view)) return list->GetCurrentCard();
    return nullptr;
}

bool GetWebPageSupports(const QString& category) {
    static const QStringList kCategories = {"WWW Sites", "Password Manager", "FTP Servers", "Software Keys"};
    return kCategories.contains(category);
}

bool BrowserAttributesFor(const QString& category) {
    static const QStringList kCategories = {"WWW Sites", "Password Manager", "FTP Servers", "Newsgroups", "E-Mail Contacts"};
    return kCategories.contains(category);
}

}  // namespace

void CMainFrame::RegisterBrowserCommands() {
    using namespace res;
    for (int id : {LaunchWww, LaunchBrowserButton}) OnCommand(id, [this] { LaunchBrowser(); });
    OnCommand(LaunchEmail, [this] { StartHelperProgram(MailPath); });
    OnCommand(LaunchLogin, [this] { StartHelperProgram(TelnetPath); });
    OnCommand(LaunchNews, [this] { StartHelperProgram(NewsPath); });
    OnCommand(LaunchFtp, [this] { StartHelperProgram(FtpPath); });
    for (int id : {res::LoadWebPage, LoadInBrowserButton}) OnCommand(id, [this] { LoadWebPage(); });
    for (int id : {res::GetWebPage, GetFromBrowserButton}) OnCommand(id, [this] { GetWebPage(); });
    OnCommand(HomePage, [this] { OpenAddressInBrowser(kHomePageAddress); });
    OnCommand(OnlineDocumentation, [this] { OpenAddressInBrowser(kOnlineGuideAddress); });
    OnCommand(HelpReader, [this] { StartHelpReader(); });
}

QString CMainFrame::BrowserCompanionPath() {
    if (!CompanionPathOverride().isEmpty()) return CompanionPathOverride();
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tessarel-browserd");
}

void CMainFrame::SetBrowserCompanionPath(const QString& path) { CompanionPathOverride() = path; }

// --- programs by path ----------------------------------------------------------------------------

// A stored path is run as a command line: a program followed by its arguments (ProgramCommandLine).
void CMainFrame::StartHelperProgram(HelperPath which) {
    browser::ProgramCommandLine::StartDetached(helperPaths[static_cast<std::size_t>(which)]);
}

void CMainFrame::LaunchBrowser() {
    const int choice = ReadInt(setting::ChooseWebBrowser);
    if (choice != 0 && choice != 1) return;
    const QString& path = helperPaths[choice == 1 ? ExplorerPath : NetscapePath];
    if (browser::ProgramCommandLine::StartDetached(path)) return;
    ShowError(choice == 1 ? "Could not start Microsoft Explorer,application not found,please install."
                          : "Could not start Netscape Navigator,application not found,please install.");
}

void CMainFrame::StartHelpReader() {
    const QString path = ReadText(setting::HelpProgFilePath);
    if (path.isEmpty()) {
        Tell("Acrobat Help Reader not installed, or path not set, go to preferences - path settings.");
        return;
    }
    browser::ProgramCommandLine::StartDetached(path);
}

// --- the browser ---------------------------------------------------------------------------------

void CMainFrame::WaitForBrowser(const char* launchingText) {
    auto* window = new CStatusMessageDlg(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    statusMessage = window;
    window->SetText(QString::fromLatin1(kNotRunning));
    window->show();
    const BrowserWait& wait = browserWait ? browserWait : BrowserWait(BlockingWait);
    wait(kBrowserWaitMs);
    LaunchBrowser();
    if (statusMessage) window->SetText(QString::fromLatin1(launchingText));
    wait(kBrowserWaitMs);
}

void CMainFrame::CloseStatusMessage() {
    if (statusMessage) statusMessage->close();
    statusMessage = nullptr;
}

void CMainFrame::OpenAddressInBrowser(std::string_view address) {
    {
        CDDEObject dde(ServiceNameFor(ReadInt(setting::ChooseWebBrowser), "Iexplore"));
        // A browser that hangs and that the person stopped waiting for is not launched again.
        if (!dde.CanConnect(browser::WWW_OpenURL) && !dde.Abandoned()) WaitForBrowser(kLaunching);
        if (IsNetscape(dde)) dde.Activate(CDDEObject::LastActiveWindow, 0);
        dde.OpenURL(address, {}, CDDEObject::LastActiveWindow, 0, {}, {}, dde.ServerName());
    }
    CloseStatusMessage();
}

void CMainFrame::LoadWebPage() {
    const CCard* card = CurrentCard(*this);
    if (!card || card->GetFieldText2().empty()) return;
    const std::uint32_t window = card->GetNewBrowserWindow() == 1 ? 0 : CDDEObject::LastActiveWindow;
    // With Automatic Access the address holds the password; it lives in wiped storage only.
    const SecureString address =
        card->GetAutomaticAccess() == 1
            ? browser::AutomaticAccessAddress(card->GetFieldText2(), card->GetFieldText3(), card->GetFieldText4())
            : SecureString(card->GetFieldText2());
    // A card's file:, javascript: or other non-web address is not sent to any browser.
    const QString scheme = browser::AddressScheme::Of(address);
    if (!scheme.isEmpty() && !browser::AddressScheme::IsOpenable(scheme)) {
        Tell(browser::AddressScheme::RefusalText(scheme).toUtf8().constData());
        return;
    }
    {
        CDDEObject dde(ServiceNameFor(ReadInt(setting::ChooseWebBrowser), "Iexplore"));
        if (dde.CanConnect(browser::WWW_OpenURL)) {
            if (IsNetscape(dde)) dde.Activate(window, 0);
        } else if (!dde.Abandoned()) {
            WaitForBrowser(kLaunching);
            dde.Activate(window, 0);
        }
        dde.OpenURL(address, {}, window, 0, {}, {}, dde.ServerName());
    }
    CloseStatusMessage();
}

void CMainFrame::GetWebPage() {
    CDDEObject::WindowInfo page;
    bool abandoned = false;
    {
        CDDEObject dde(ServiceNameFor(ReadInt(setting::ChooseWebBrowser), "IExplore"));
        if (dde.CanConnect(browser::WWW_OpenURL)) {
            page = dde.GetWindowInfo(CDDEObject::LastActiveWindow);
        } else if (!dde.Abandoned()) {
            WaitForBrowser(kLaunchingTryAgain);
            dde.Activate(CDDEObject::LastActiveWindow, 0);
        }
        abandoned = dde.Abandoned();
    }
    CloseStatusMessage();
    if (abandoned) return;  // the person stopped waiting: the command ends there

    CTessarelDoc* document = ActiveCardDocument();
    auto* tree = document ? dynamic_cast<CTessarelView*>(document->GetFirstView()) : nullptr;
    if (tree) tree->setFocus();
    const QString category = tree ? tree->GetSelectedCategoryName() : QString();
    if (!GetWebPageSupports(category)) {
        Tell("This command is not supported for this category.");
        return;
    }
    if (page.address.empty() && page.title.empty()) return;

    CCardDlg dialog;
    dialog.categoryName = category;
    FillCardDialogLabels(dialog, *document, category);
    dialog.name = CardTextToQString(page.title);
    dialog.secondField = CardTextToQString(page.address);
    dialog.browserAttributesEnabled = BrowserAttributesFor(category) ? 1 : 0;
    dialog.hidePassword = 1;
    if (dialog.DoModal() != QDialog::Accepted) return;
    std::unique_ptr<CCard> card = CardFromDialog(dialog);
    if (!card) return;
    // The page's card carries today's date in the short form and the current time as its value.
    card->SetModified(CurrentCardTimeStamp());
    card->SetDateText(QLocale::c().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString());
    const int code = card->GetCategoryCode();
    const CCard* added = card.get();
    AddCardByName(*document, dialog.categoryName, std::move(card));
    // A category the adding operation does not take keeps nothing; there is no card to show.
    const CCardList* list = document->GetCategoryList(code);
    if (!list || list->GetCount() == 0 || list->GetAt(list->GetCount() - 1) != added) return;
    document->SetModifiedFlag();
    document->UpdateAllViews(nullptr);
    tree->ExpandAndSelectCard(tree->FindCategoryItem(dialog.categoryName), added->GetListIndex());
    tree->setFocus();
}

// --- the first start -----------------------------------------------------------------------------

void CMainFrame::DetectBrowsers() {
    helperPaths[ExplorerPath].clear();
    helperPaths[NetscapePath].clear();
    helperPaths[HelpPath].clear();
    // On this platform the browser is the companion that hands pages to the desktop's browser;
    // it serves both browser names, so it stands for both.
    const QFileInfo companion(BrowserCompanionPath());
    if (companion.isFile() && companion.isExecutable()) {
        helperPaths[ExplorerPath] = companion.absoluteFilePath();
        helperPaths[NetscapePath] = companion.absoluteFilePath();
    } else {
        ShowError("No Web Browsers are installed, please do so.");
    }
    WriteText(setting::ExplorerFilePath, helperPaths[ExplorerPath]);
    WriteText(setting::NetscapeFilePath, helperPaths[NetscapePath]);
    WriteInt(setting::ChooseWebBrowser, 1);
}

}  // namespace tessarel
