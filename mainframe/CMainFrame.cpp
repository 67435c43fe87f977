#include "CMainFrame.h"
#include "mainframe/dialogs/PasswordClipboard.h"

#include <QAction>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "cardstore/document/CTessarelDoc.h"
#include "cardstore/CCard.h"
#include "FrameResources.h"
#include "LockController.h"
#include "QuickFilterBar.h"
#include "framework/Application.h"
#include "framework/ChildFrame.h"
#include "framework/CommandIds.h"
#include "framework/LockKeyIndicators.h"
#include "framework/MinutesText.h"
#include "framework/Settings.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

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
    CTessarelDoc::SetHost(this);
    setWindowIcon(ResourceIcon(res::IconProgram));
    resize(kCreationWidth, kCreationHeight);
    connect(autoSaveTimer, &QTimer::timeout, this, &CMainFrame::OnAutoSaveTick);
    locks = new LockController(*this);
    RegisterCommandTable();
}

CMainFrame::~CMainFrame() {
    if (theFrame == this) {
        theFrame = nullptr;
        CTessarelDoc::SetHost(nullptr);
    }
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
    quickFilterBar = BuildQuickFilterBar();
    // A row of its own: beside the status bar the field would go into the overflow menu.
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, quickFilterBar);
    // The filter goes with the card counts: hidden in the file encryption view and print preview.
    connect(statusDialogBar, &QToolBar::visibilityChanged, quickFilterBar, &QWidget::setVisible);
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
                // UTF-8: our own captions may use typographic characters ("…").
                QAction* action = MakeAction(item.id, QString::fromUtf8(item.text));
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
    ShowClipboardStatusIn(bar);
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

void CMainFrame::RegisterCommandTable() {
    using namespace res;
    // The frame's own commands; each command group below declares its own in its file.
    Register(CommandTable{
        CommandRow::Always(Preferences, [this] {
            if (preferencesRunner) preferencesRunner(this);
            // Only the print options are taken afresh; the helper paths stay as read at start-up.
            printOptions = PrintOptions{ReadInt(setting::PrintAtm, 1), ReadInt(setting::PrintNotes, 1)};
            locks->ApplySettings();
        }),
        CommandRow::NoOp(OpenNewWindow, "accepted for the items of a menu the program never shows"),
        CommandRow::NoOp(AutomaticAccess, "accepted for the items of a menu the program never shows"),
        CommandRow::Disabled(cmd::EditUndo, "cards have no undo; the item stays disabled"),
        CommandRow::Disabled(StandardView, "the card view is the only standard view; the item stays disabled"),
        CommandRow::Disabled(FindAgain, "Ctrl+G belongs to the Find Card dialog's Find Again button, not to the frame"),
        CommandRow::Disabled(cmd::Help, "help is opened from the Help menu's own items"),
        CommandRow::Disabled(cmd::ContextHelp, "there is no context help"),
    });
    RegisterFileViewCommands();
    RegisterCardCommands();
    RegisterPrintCommands();
    RegisterBrowserCommands();
    RegisterImportCommand();
    RegisterGeneratorCommand();
    RegisterPasswordTools();
    RegisterLockCommand();
}

void CMainFrame::SetCardSelectedFlag(std::uint8_t flag) {
    cardSelected = flag;
    InvalidateCommandStates();
}

void CMainFrame::ShowCardCounts(int inCategory, int, int total) {
    if (ShowFilteredCardCounts()) return;
    ShowCardCountTexts(QString::asprintf("%d", inCategory), QString::asprintf("%d", total));
}

void CMainFrame::ShowCardCountTexts(const QString& inCategory, const QString& total) {
    if (auto* label = qobject_cast<QLabel*>(GetStatusBarItem(res::ControlCardsInCategory))) label->setText(inCategory);
    if (auto* label = qobject_cast<QLabel*>(GetStatusBarItem(res::ControlTotalCards))) label->setText(total);
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

void CMainFrame::ShowFileProtection(int protection) {
    ShowSaveStatus(protection);
    const int image = protection != 0 ? encryptedImageIndex + res::EncryptButtonImage : res::EncryptButtonImage;
    SetMainToolbarButton(res::EncryptButtonIndex, res::EncryptOnSaveButton, image);
}

void CMainFrame::WhenActiveChildChanges(QObject* context, std::function<void(ChildFrame*)> handler) {
    connect(this, &MdiFrame::activeChildChanged, context, std::move(handler));
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
    autoSaveMinutes = MinutesText::Value(ReadText(setting::AutomaticSave));
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
    printOptions = PrintOptions{ReadInt(setting::PrintAtm, 1), ReadInt(setting::PrintNotes, 1)};
}

}  // namespace tessarel
