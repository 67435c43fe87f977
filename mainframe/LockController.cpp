#include "LockController.h"

#include <climits>

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QStatusBar>
#include <QTimer>

#include "CChildFrame.h"
#include "CChildFrmFileView.h"
#include "CLockedPane.h"
#include "CMainFrame.h"
#include "cardstore/document/CTessarelDoc.h"
#include "mainframe/dialogs/GuiUserInterface.h"
#include "mainframe/dialogs/RevealButton.h"
#include "cardstore/CardFileFormat.h"
#include "framework/Application.h"
#include "framework/CommandIds.h"
#include "framework/DialogHost.h"
#include "framework/Settings.h"
#include "resources/ResourceIds.h"
#include "views/CTessarelView.h"

namespace tessarel {

namespace {

constexpr int kMinute = 60000;
// How often a lock that waits for a dialog to close looks again.
constexpr int kRetryMilliseconds = 1000;

// The card store's user interface for reading a locked file again: the password is the one typed
// in the locked pane (asked once), messages go to the person as when the file was opened.
class PaneUserInterface : public UserInterface {
public:
    explicit PaneUserInterface(const QString& typed) : password(typed) {}
    ~PaneUserInterface() override { WipeText(password); }
    MessageAnswer ShowMessage(const Message& message) override { return Dialogs().ShowMessage(message); }
    std::optional<std::string> AskPassword(const std::string&) override {
        if (asked) return std::nullopt;
        asked = true;
        std::optional<SecureString> bytes = TypedTextToBytes(password);
        if (!bytes) return std::nullopt;
        // The reader wipes this copy once it holds the password.
        return std::string(*bytes);
    }

private:
    QString password;
    bool asked = false;
};

bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TabletPress:
            return true;
        default:
            return false;
    }
}

std::vector<CChildFrame*> CardWindowsOf(const CTessarelDoc& document) {
    std::vector<CChildFrame*> windows;
    for (ChildFrame* frame : document.GetFrames())
        if (auto* card = dynamic_cast<CChildFrame*>(frame)) windows.push_back(card);
    return windows;
}

}  // namespace

LockController::LockController(CMainFrame& owner)
    : QObject(&owner), frame(owner), idleTimer(new QTimer(this)), retryTimer(new QTimer(this)) {
    idleTimer->setSingleShot(true);
    connect(idleTimer, &QTimer::timeout, this, &LockController::OnIdleTimeout);
    retryTimer->setSingleShot(true);
    retryTimer->setInterval(kRetryMilliseconds);
    connect(retryTimer, &QTimer::timeout, this, [this] {
        if (DialogOpen())
            retryTimer->start();
        else
            LockAll(false);
    });
    // Every input anywhere in the program counts as the person being there.
    qApp->installEventFilter(this);
    ApplySettings();
}

LockController::~LockController() {
    if (qApp) qApp->removeEventFilter(this);
}

const std::vector<int>& LockController::CommandsNeedingCards() {
    using namespace res;
    static const std::vector<int> ids{
        cmd::FileSave, cmd::FileSaveAs, EncryptOnSave, EncryptOnSaveButton, cmd::FilePrint, cmd::FilePrintSetup,
        PrintPreview, cmd::EditFind, FindButton, FindAgain, NewCard, AddCardButton, DeleteCard, DeleteCardButton,
        EditCard, UpdateCardButton, FirstCard, LastCard, CopyPasswordButton, cmd::EditCopy, cmd::EditCut,
        cmd::EditPaste, LoadWebPage, LoadInBrowserButton, GetWebPage, GetFromBrowserButton, ImportCards, FileView,
        FileEncryptionButton, cmd::NextPane, cmd::PrevPane};
    return ids;
}

bool LockController::IsLocked(const CTessarelDoc& document) const { return locked.count(&document) != 0; }

bool LockController::DialogOpen() const { return QApplication::activeModalWidget() != nullptr; }

void LockController::LockWhenDialogsClose() {
    if (!retryTimer->isActive()) retryTimer->start();
}

int LockController::LockAll(bool asked) {
    auto* app = Application::Instance();
    if (!app) return 0;
    // A dialog may hold pointers to a document's cards (a card dialog, Find): removing the cards
    // under it would leave it pointing at freed memory. The lock waits until it is closed.
    if (DialogOpen()) {
        LockWhenDialogsClose();
        ShowStatus(QStringLiteral("The card files will be locked when the open dialog is closed."));
        return 0;
    }
    int count = 0;
    bool lockedBefore = false;
    QStringList notLocked;
    for (Document* document : app->GetDocManager().GetDocuments()) {
        auto* cards = dynamic_cast<CTessarelDoc*>(document);
        if (!cards) continue;
        const Outcome outcome = Lock(*cards);
        if (outcome == Outcome::Locked) ++count;
        if (outcome == Outcome::AlreadyLocked) lockedBefore = true;
        const QString text = NotLockedText(*cards, outcome);
        if (!text.isEmpty()) notLocked << text;
    }
    if (!notLocked.isEmpty())
        ShowStatus(notLocked.join(QLatin1Char(' ')));
    else if (count > 0)
        ShowStatus(count == 1 ? QStringLiteral("1 card file was locked.") : QStringLiteral("%1 card files were locked.").arg(count));
    else if (lockedBefore && asked)
        ShowStatus(QStringLiteral("The encrypted card files are locked."));
    else if (asked)
        ShowStatus(QStringLiteral("No encrypted card file is open: there was nothing to lock."));
    return count;
}

QString LockController::NotLockedText(const CTessarelDoc& document, Outcome outcome) {
    const QString title = document.GetTitle();
    switch (outcome) {
        case Outcome::NoFile: return QStringLiteral("%1 was not locked: it has not been saved to a file yet.").arg(title);
        case Outcome::Unsaved: return QStringLiteral("%1 was not locked: it has changes that are not saved.").arg(title);
        case Outcome::SaveFailed: return QStringLiteral("%1 was not locked: its changes could not be saved.").arg(title);
        case Outcome::Busy: return QStringLiteral("%1 was not locked: a dialog is open.").arg(title);
        default: return {};
    }
}

LockController::Outcome LockController::Lock(CTessarelDoc& document) {
    if (IsLocked(document)) return Outcome::AlreadyLocked;
    if (document.GetEncryptionMode() != 1 || document.GetEncryptionPassword().empty()) return Outcome::NotEncrypted;
    if (document.GetPathName().isEmpty()) return Outcome::NoFile;
    if (DialogOpen()) return Outcome::Busy;
    if (document.IsModified()) {
        // The file must hold every card before they leave memory: saved first when the person
        // asked for automatic saves, otherwise left open (a lock never decides to save).
        if (ReadInt(setting::AutomaticSaveCheck) != 1) return Outcome::Unsaved;
        if (!document.DoFileSave() || document.IsModified()) return Outcome::SaveFailed;
    }
    CTessarelView* tree = CTessarelView::CardTreeOf(document);
    locked[&document] = LockedState{tree ? tree->GetSelectedCategoryName() : QString()};
    connect(&document, &QObject::destroyed, this, [this, key = &document] { locked.erase(key); });
    // A file encryption window entered from the card file goes: it belongs to the document and
    // would route the document's commands past the locked window.
    for (ChildFrame* window : document.GetFrames())
        if (dynamic_cast<CChildFrmFileView*>(window)) window->DestroyFrame();
    Wipe(document);
    ShowPanes(document);
    return Outcome::Locked;
}

void LockController::Wipe(CTessarelDoc& document) {
    CCardFileData& data = document.Data();
    // Destroying a card wipes its texts (they live in wiping storage).
    data.RemoveAllCards();
    data.encryptionPassword.Wipe();
    data.decryptionPassword.Wipe();
    data.passwordDigest.fill(0);
    // The card clipboard holds a copy of a card, maybe of this file: it goes too.
    frame.EmptyCardClipboard();
    // The views held references into the lists: they show the empty document now.
    document.UpdateAllViews(nullptr);
}

void LockController::ShowPanes(CTessarelDoc& document) {
    QPointer<CTessarelDoc> guarded(&document);
    for (CChildFrame* window : CardWindowsOf(document)) {
        auto* pane = new CLockedPane(document.GetTitle());
        window->ShowLockedPane(pane, CommandsNeedingCards());
        connect(pane, &CLockedPane::unlockRequested, this, [this, guarded, pane] {
            if (!guarded) return;
            QString typed = pane->TakePassword();
            const bool opened = Unlock(*guarded, typed);
            WipeText(typed);
            if (!opened) pane->FocusPassword();
        });
        if (frame.GetActiveChild() == window) pane->FocusPassword();
    }
    frame.SetCardSelectedFlag(0);
    frame.SetSelectedCardIndex(-1);
    if (frame.ActiveCardDocument() == &document) frame.ShowCardCounts(0, 0, 0);
    frame.InvalidateCommandStates();
}

bool LockController::Unlock(CTessarelDoc& document, const QString& password) {
    auto found = locked.find(&document);
    if (found == locked.end()) return false;
    CCardFileData fresh;
    fresh.dateFormat = ReadInt(setting::DateFormat);
    PaneUserInterface ui(password);
    const QString path = document.GetPathName();
    const CardFileReadResult result = LoadCardFile(fresh, QFile::encodeName(path).toStdString(), ui);
    if (!result.ok) return false;
    // The file was replaced by one that is not an encrypted card file: reading it would turn the
    // window into something else under the same name. It stays locked; the person may close it.
    if (!result.encrypted || result.layout == CardFileLayout::EncryptedSingleFile) {
        Dialogs().ShowMessage(Message{QStringLiteral("%1 is no longer an encrypted card file; it stays locked.")
                                          .arg(path)
                                          .toStdString(),
                                      {}, MessageButtons::Ok, MessageIcon::Warning, MessageOwner::MainWindow});
        return false;
    }
    const QString category = found->second.category;
    locked.erase(found);
    document.Data() = std::move(fresh);
    for (CChildFrame* window : CardWindowsOf(document)) window->HideLockedPane();
    document.UpdateAllViews(nullptr);
    RestoreSelection(document, category);
    ShowStatus(QStringLiteral("%1 was unlocked.").arg(document.GetTitle()));
    frame.InvalidateCommandStates();
    return true;
}

void LockController::RestoreSelection(CTessarelDoc& document, const QString& category) {
    CTessarelView* tree = CTessarelView::CardTreeOf(document);
    if (!tree || category.isEmpty()) return;
    if (QTreeWidgetItem* item = tree->FindCategoryItem(category)) {
        tree->setCurrentItem(item);
        if (frame.GetActiveChild() == tree->GetParentFrame()) tree->setFocus(Qt::OtherFocusReason);
    }
}

void LockController::ApplySettings() {
    const int minutes = ReadInt(setting::LockAfterMinutes);
    idleLockOn = minutes > 0;
    if (!idleLockOn) {
        idleTimer->stop();
        return;
    }
    idleTimer->setInterval(minutes > INT_MAX / kMinute ? INT_MAX : minutes * kMinute);
    idleTimer->start();
}

void LockController::OnIdleTimeout() { LockAll(false); }

bool LockController::eventFilter(QObject* watched, QEvent* event) {
    // Restarting a running single-shot timer is cheap; the interval is the setting's.
    if (idleLockOn && IsInput(event->type())) idleTimer->start();
    return QObject::eventFilter(watched, event);
}

bool LockController::ListenForSessionLock(const QDBusConnection& bus) {
    if (!bus.isConnected()) return false;
    QDBusConnection connection(bus);
    const bool freedesktop = connection.connect(QString(), QString(), QStringLiteral("org.freedesktop.ScreenSaver"),
                                                QStringLiteral("ActiveChanged"), this, SLOT(OnScreenSaverActiveChanged(bool)));
    const bool gnome = connection.connect(QString(), QString(), QStringLiteral("org.gnome.ScreenSaver"),
                                          QStringLiteral("ActiveChanged"), this, SLOT(OnScreenSaverActiveChanged(bool)));
    return freedesktop && gnome;
}

void LockController::OnScreenSaverActiveChanged(bool active) {
    // The setting is read when the signal comes, so a change in the preferences counts at once.
    if (active && ReadInt(setting::LockWithSession) == 1) LockAll(false);
}

void LockController::ShowStatus(const QString& text) {
    if (QStatusBar* bar = frame.statusBar()) bar->showMessage(text);
}

}  // namespace tessarel
