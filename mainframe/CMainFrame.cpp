#include "CMainFrame.h"

#include <QAction>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "CTessarelDoc.h"
#include "cardstore/CCard.h"
#include "FrameResources.h"
#include "app/CPrefPropertySheet.h"
#include "framework/Application.h"
#include "framework/ChildFrame.h"
#include "framework/CommandIds.h"
#include "framework/LockKeyIndicators.h"
#include "framework/Settings.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"
#include "views/CTessarelListView.h"

namespace tessarel {

namespace {
CMainFrame* theFrame = nullptr;

QLabel* DialogBarLabel(const QString& text, int id, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    if (id) label->setObjectName(QString::number(id));
    return label;
}
}  // namespace

CMainFrame::CMainFrame() : autoSaveTimer(new QTimer(this)) {
    theFrame = this;
    categoryNames = {"WWW Pages",      "WWW Sites",         "WWW Forms",     "FTP Servers",    "Newsgroups",
                     "E-Mail Contacts", "POP Accounts",     "Login Accounts", "Bank Accounts", "Software Keys",
                     "Credit Cards",   "ATM/PIN Cards",     "Serial Numbers", "Password Manager", "Personal Data",
                     "Membership Numbers", "Miscellaneous"};
    setWindowIcon(ResourceIcon(res::IconProgram));
    resize(creationWidth, creationHeight);
    connect(autoSaveTimer, &QTimer::timeout, this, &CMainFrame::OnAutoSaveTick);
    RegisterCommandTable();
}

CMainFrame::~CMainFrame() {
    if (theFrame == this) theFrame = nullptr;
}

CMainFrame* CMainFrame::Instance() { return theFrame; }

bool CMainFrame::Create() {
    mainToolbar = BuildToolbar(res::ToolbarMain, QStringLiteral("Standard"));
    fileToolbar = BuildToolbar(res::ToolbarFile, QStringLiteral("File Encryption"));
    BuildStatusBar();
    addToolBar(Qt::TopToolBarArea, fileToolbar);
    addToolBar(Qt::TopToolBarArea, mainToolbar);
    SetMainToolbar(mainToolbar);
    addToolBarBreak(Qt::TopToolBarArea);
    statusDialogBar = BuildStatusDialogBar();
    foldersBar = BuildFoldersBar();
    if (!mainToolbar || !fileToolbar || !statusDialogBar || !foldersBar) return false;
    addToolBar(Qt::TopToolBarArea, statusDialogBar);
    addToolBar(Qt::TopToolBarArea, foldersBar);
    ShowSaveStatus(0);
    BuildMenus();
    BuildAccelerators();
    CenterOnScreen();
    // The "encrypted" pictures follow the toolbar's own, one per button.
    int buttons = ToolbarImageCount(res::ToolbarMain);
    encryptedImageIndex = static_cast<int>(toolbarImages.size());
    for (int i = 0; i < buttons; ++i) toolbarImages.push_back(ToolbarImage(res::BitmapEncryptedToolbar, i));
    fileToolbar->hide();
    foldersBar->hide();
    UpdateCommandStates();
    return true;
}

void CMainFrame::BuildMenus() {
    for (int menuId : {res::MenuMain, res::MenuPlainCard, res::MenuEncryptedCard, res::MenuFileView, res::MenuSealedCard}) {
        std::vector<QMenu*> menus;
        for (const MenuDefinition& definition : MenuResource(menuId)) {
            auto* menu = new QMenu(QString::fromLatin1(definition.title), this);
            for (const MenuItem& item : definition.items) {
                if (item.id == 0) {
                    menu->addSeparator();
                    continue;
                }
                QAction* action = MakeAction(item.id, QString::fromLatin1(item.text));
                action->setStatusTip(StatusText(item.id));
                menu->addAction(action);
                // "Recent File" stands for the whole list.
                if (item.id == cmd::FileMruFirst)
                    for (int id = cmd::FileMruFirst + 1; id <= cmd::FileMruLast; ++id) menu->addAction(MakeAction(id, QString()));
            }
            menus.push_back(menu);
        }
        RegisterMenu(menuId, std::move(menus));
    }
    SetDefaultMenu(res::MenuMain);
}

QToolBar* CMainFrame::BuildToolbar(int toolbarId, const QString& title) {
    auto* toolbar = new QToolBar(title, this);
    toolbar->setObjectName(QStringLiteral("Toolbar%1").arg(toolbarId));
    toolbar->setIconSize(QSize(20, 20));
    toolbar->setAllowedAreas(Qt::AllToolBarAreas);
    int image = 0;
    for (const ToolbarButton& button : ToolbarResource(toolbarId)) {
        if (button.id == 0) {
            toolbar->addSeparator();
            continue;
        }
        QIcon icon = ToolbarImage(toolbarId, image++);
        if (toolbarId == res::ToolbarMain) toolbarImages.push_back(icon);
        QAction* action = MakeAction(button.id, QString::fromLatin1(button.tooltip));
        action->setIcon(icon);
        action->setToolTip(QString::fromLatin1(button.tooltip));
        action->setStatusTip(StatusText(button.id));
        toolbar->addAction(action);
    }
    return toolbar;
}

void CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->showMessage(QStringLiteral("Ready"));
    LockKeyIndicators::Install(*bar);
}

QToolBar* CMainFrame::BuildStatusDialogBar() {
    auto* bar = new QToolBar(QStringLiteral("Status"), this);
    bar->setObjectName(QStringLiteral("DialogBar%1").arg(res::DialogStatusBar));
    auto* panel = new QWidget(bar);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 2, 6, 2);
    row->addWidget(DialogBarLabel(QStringLiteral("Cards in Category:"), 0, panel));
    row->addWidget(DialogBarLabel(QStringLiteral("0"), res::ControlCardsInCategory, panel));
    row->addSpacing(16);
    row->addWidget(DialogBarLabel(QStringLiteral("Total Cards:"), 0, panel));
    row->addWidget(DialogBarLabel(QStringLiteral("0"), res::ControlTotalCards, panel));
    row->addSpacing(16);
    row->addWidget(DialogBarLabel(QStringLiteral("Save Status:"), 0, panel));
    QLabel* icon = DialogBarLabel(QString(), res::ControlSaveStatusIcon, panel);
    icon->setPixmap(ResourceIcon(res::IconNotEncrypted).pixmap(20, 20));
    row->addWidget(icon);
    row->addWidget(DialogBarLabel(QStringLiteral("( Not Encrypted )"), res::ControlSaveStatusText, panel));
    row->addStretch();
    bar->addWidget(panel);
    return bar;
}

QToolBar* CMainFrame::BuildFoldersBar() {
    auto* bar = new QToolBar(QStringLiteral("Folders"), this);
    bar->setObjectName(QStringLiteral("DialogBar%1").arg(res::DialogFoldersBar));
    bar->addWidget(new QLabel(QStringLiteral("Folders:"), bar));
    return bar;
}

void CMainFrame::BuildAccelerators() {
    for (const Accelerator& entry : AcceleratorTable()) AddAccelerator(entry.id, QKeySequence(QString::fromLatin1(entry.key)));
}

void CMainFrame::CenterOnScreen() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->availableGeometry().center() - rect().center());
}

CTessarelDoc* CMainFrame::ActiveCardDocument() const {
    ChildFrame* child = GetActiveChild();
    return child ? dynamic_cast<CTessarelDoc*>(child->GetDocument()) : nullptr;
}

void CMainFrame::Always(int id) { OnCommand(id, [] {}); }

void CMainFrame::EnableWhen(int id, std::function<bool()> rule) {
    OnCommand(id, [] {});
    OnUpdate(id, [rule = std::move(rule)](CommandState& state) { state.Enable(rule()); });
}

void CMainFrame::RegisterCommandTable() {
    using namespace res;
    // The enabling rules of the whole table. The handlers registered here do nothing; the
    // command groups below (file view, cards, printing, browser) put in the real ones.
    auto child = [this] { return GetActiveChild() != nullptr; };
    auto selected = [this] { return cardSelected != 0; };
    auto cardCount = [this] {
        CTessarelDoc* document = ActiveCardDocument();
        return document && document->HasCards();
    };
    EnableWhen(AddCardButton, child);
    Always(NewCard);
    EnableWhen(DeleteCardButton, selected);
    EnableWhen(DeleteCard, selected);
    EnableWhen(UpdateCardButton, selected);
    EnableWhen(EditCard, [this] { return cardSelected == 1; });
    Always(FirstCard);
    Always(LastCard);
    EnableWhen(FindButton, [child, cardCount] { return child() && cardCount(); });
    EnableWhen(cmd::EditFind, [this, cardCount] { return ActiveCardDocument() ? cardCount() : true; });
    EnableWhen(CopyPasswordButton, [this, child] { return child() && cardSelected == 1; });
    EnableWhen(cmd::EditCopy, [this] {
        ChildFrame* active = GetActiveChild();
        return active && (dynamic_cast<CTessarelListView*>(active->GetActiveView()) != nullptr || cardSelected == 1);
    });
    EnableWhen(cmd::EditCut, selected);
    EnableWhen(cmd::EditPaste, [this] { return clipboardFull != 0; });
    OnCommand(Preferences, [this] {
        CPrefPropertySheet::Run(this);
        // Only the print options are taken afresh; the helper paths stay as read at start-up.
        printAtm = ReadInt(setting::PrintAtm, 1);
        printNotes = ReadInt(setting::PrintNotes, 1);
    });
    EnableWhen(PrintPreview, cardCount);
    for (int id : {LaunchWww, LaunchBrowserButton, LaunchEmail, LaunchLogin, LaunchNews, LaunchFtp, res::GetWebPage,
                   OnlineDocumentation, HelpReader, HomePage, OpenNewWindow, AutomaticAccess})
        Always(id);
    EnableWhen(res::LoadWebPage, selected);
    EnableWhen(LoadInBrowserButton, selected);
    EnableWhen(GetFromBrowserButton, [this] {
        ChildFrame* active = GetActiveChild();
        return active && active->GetActiveView() != nullptr;
    });
    RegisterFileViewCommands();
    RegisterCardCommands();
    RegisterPrintCommands();
    RegisterBrowserCommands();
    RegisterImportCommand();
}

void CMainFrame::SetCardSelectedFlag(std::uint8_t flag) {
    cardSelected = flag;
    InvalidateCommandStates();
}

void CMainFrame::ShowCardCounts(int inCategory, int, int total) {
    if (auto* label = qobject_cast<QLabel*>(GetStatusBarItem(res::ControlCardsInCategory))) label->setText(QString::asprintf("%d", inCategory));
    if (auto* label = qobject_cast<QLabel*>(GetStatusBarItem(res::ControlTotalCards))) label->setText(QString::asprintf("%d", total));
}

void CMainFrame::ShowSaveStatus(int flag) {
    auto* icon = qobject_cast<QLabel*>(GetStatusBarItem(res::ControlSaveStatusIcon));
    auto* text = qobject_cast<QLabel*>(GetStatusBarItem(res::ControlSaveStatusText));
    if (!icon || !text) return;
    // 1 the compatible encrypted type, 2 the sealed one (strong encryption), else plain.
    bool encrypted = flag == 1 || flag == 2;
    icon->setPixmap(ResourceIcon(encrypted ? res::IconEncrypted : res::IconNotEncrypted).pixmap(20, 20));
    icon->setProperty("iconNumber", encrypted ? res::IconEncrypted : res::IconNotEncrypted);
    text->setText(flag == 2 ? QStringLiteral("(Strong Encryption)") : encrypted ? QStringLiteral("(Encrypted)") : QStringLiteral("(Not Encrypted)"));
}

QWidget* CMainFrame::GetStatusBarItem(int controlId) const {
    return statusDialogBar ? statusDialogBar->findChild<QWidget*>(QString::number(controlId)) : nullptr;
}

void CMainFrame::SetMainToolbarButton(int buttonIndex, int commandId, int imageIndex) {
    if (!mainToolbar) return;
    QList<QAction*> buttons = mainToolbar->actions();
    if (buttonIndex < 0 || buttonIndex >= buttons.size()) return;
    QAction* action = buttons[buttonIndex];
    SetActionId(action, commandId);
    if (imageIndex >= 0 && imageIndex < static_cast<int>(toolbarImages.size())) action->setIcon(toolbarImages[static_cast<std::size_t>(imageIndex)]);
    action->setProperty("imageIndex", imageIndex);
}

void CMainFrame::RestoreCardBars() {
    if (statusDialogBar) statusDialogBar->show();
    ShowMainToolbar(true);  // as the person last chose it
    update();
}

void CMainFrame::StartAutoSaveTimer(int minutesPerTick) {
    // Read like a C decimal conversion: leading digits count, anything else gives 0.
    QString text = ReadText(setting::AutomaticSave).trimmed();
    qsizetype digits = 0;
    while (digits < text.size() && text[digits].isDigit()) ++digits;
    autoSaveMinutes = text.left(digits).toInt();
    autoSaveTimer->stop();
    autoSaveTimer->start(minutesPerTick * 60000);
}

int CMainFrame::AutoSaveInterval() const { return autoSaveTimer->isActive() ? autoSaveTimer->interval() : 0; }

void CMainFrame::OnAutoSaveTick() {
    ++autoSaveTicks;
    if (autoSaveTicks < autoSaveMinutes) return;
    // The count starts again after each automatic save, so one happens every N minutes.
    autoSaveTicks = 0;
    if (auto* app = Application::Instance()) app->ExecuteCommand(cmd::FileSave);
}

void CMainFrame::RunStartupLaunches() {
    auto* app = Application::Instance();
    if (!app) return;
    const std::pair<const Setting*, int> launches[] = {{&setting::LaunchEmail, res::LaunchEmail},
                                                      {&setting::LaunchWebBrowser, res::LaunchWww},
                                                      {&setting::LaunchFtp, res::LaunchFtp},
                                                      {&setting::LaunchTelnet, res::LaunchLogin},
                                                      {&setting::LaunchNewsReader, res::LaunchNews}};
    for (const auto& [row, command] : launches)
        if (ReadInt(*row) == 1) app->ExecuteCommand(command);
}

void CMainFrame::LoadCachedSettings() {
    helperPaths = {ReadText(setting::NetscapeFilePath), ReadText(setting::ExplorerFilePath), ReadText(setting::MailProgFilePath),
                   ReadText(setting::NewsProgFilePath), ReadText(setting::FtpFilePath),      ReadText(setting::HelpProgFilePath),
                   ReadText(setting::TelnetFilePath)};
    printAtm = ReadInt(setting::PrintAtm, 1);
    printNotes = ReadInt(setting::PrintNotes, 1);
}

}  // namespace tessarel
