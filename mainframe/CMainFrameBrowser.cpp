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

#include "mainframe/dialogs/CCardDlg.h"
#include "CMainFrame.h"
#include "CStatusMessageDlg.h"
#include "cardstore/document/CTessarelDoc.h"
#include "WebPageAddress.h"
#include "browser/AddressScheme.h"
#include "browser/CDDEObject.h"
#include "browser/DesktopPortal.h"
#include "browser/DdeVerbs.h"
#include "browser/ProgramCommandLine.h"
#include "cardstore/CCard.h"
#include "cardstore/CCardList.h"
#include "cardstore/CardTime.h"
#include "cardstore/CategorySets.h"
#include "framework/ChildFrame.h"
#include "framework/DialogHost.h"
#include "framework/Settings.h"
#include "resources/ResourceIds.h"
#include "views/CTessarelListView.h"
#include "views/CTessarelView.h"
#include "mainframe/dialogs/CardText.h"

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
    return category_sets::Contains(category_sets::kGetWebPageCategories, category.toStdString());
}

// The card dialog of Get Web Page offers the browser options for these categories.
bool GetWebPageBrowserOptions(const QString& category) {
    return category_sets::Contains(category_sets::kGetWebPageBrowserOptions, category.toStdString());
}

}  // namespace

void CMainFrame::RegisterBrowserCommands() {
    using namespace res;
    auto launchBrowser = [this] { LaunchBrowser(); };
    auto loadWebPage = [this] { LoadWebPage(); };
    auto getWebPage = [this] { GetWebPage(); };
    auto selected = [this] { return cardSelected != 0; };
    Register(CommandTable{
        CommandRow::Always(LaunchWww, launchBrowser),
        CommandRow::Always(LaunchBrowserButton, launchBrowser),
        CommandRow::Always(LaunchEmail, [this] { StartHelperProgram(MailPath); }),
        CommandRow::Always(LaunchLogin, [this] { StartHelperProgram(TelnetPath); }),
        CommandRow::Always(LaunchNews, [this] { StartHelperProgram(NewsPath); }),
        CommandRow::Always(LaunchFtp, [this] { StartHelperProgram(FtpPath); }),
        CommandRow::When(res::LoadWebPage, loadWebPage, selected),
        CommandRow::When(LoadInBrowserButton, loadWebPage, selected),
        CommandRow::Always(res::GetWebPage, getWebPage),
        CommandRow::When(GetFromBrowserButton, getWebPage,
                         [this] {
                             ChildFrame* active = GetActiveChild();
                             return active && active->GetActiveView() != nullptr;
                         }),
        CommandRow::Always(HomePage, [this] { OpenAddressInBrowser(kHomePageAddress); }),
        CommandRow::Always(OnlineDocumentation, [this] { OpenAddressInBrowser(kOnlineGuideAddress); }),
        CommandRow::Always(HelpReader, [this] { StartHelpReader(); }),
    });
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

void CMainFrame::ShowMessageWindow(const QString& text) {
    CloseStatusMessage();
    auto* window = new CStatusMessageDlg(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    statusMessage = window;
    window->SetText(text);
    window->show();
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
    // With Automatic Access the address holds the password (wiped storage only), when the
    // desktop portal can take it privately.
    const WebPageAddress page = WebPageAddress::For(*card, [] { return browser::DesktopPortal::Answers(); });
    const SecureString& address = page.address;
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
    if (page.credentialsLeftOut) ShowMessageWindow(WebPageAddress::LeftOutText());
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
    dialog.browserAttributesEnabled = GetWebPageBrowserOptions(category) ? 1 : 0;
    dialog.hidePassword = 1;
    if (dialog.DoModal() != QDialog::Accepted) return;
    std::unique_ptr<CCard> card = CardFromDialog(dialog);
    if (!card) return;
    // The page's card carries today's date in the short form and the current time as its value.
    card->SetModified(CurrentCardTimeStamp());
    card->SetDateText(QLocale::c().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString());
    // A category the adding operation does not take keeps nothing; there is no card to show.
    std::optional<CardPlace> place = AddCardByName(*document, dialog.categoryName, std::move(card));
    if (!place) return;
    document->SetModifiedFlag();
    document->UpdateAllViews(nullptr);
    tree->ExpandAndSelectCard(tree->FindCategoryItem(dialog.categoryName), place->index);
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
