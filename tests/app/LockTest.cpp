// Locking encrypted card files in the running program: File > Lock, the idle lock and the session
// lock, the locked pane's password field, and what is (and is not) locked. Everything runs through
// the real windows; the dialogs through the scripted seam.
#include <QApplication>
#include <QDBusConnection>
#include <QDialog>
#include <QDBusMessage>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <tuple>

#include "AppFixture.h"
#include "../support/MustRun.h"
#include "cardstore/CCard.h"
#include "cardstore/CardFileFormat.h"
#include "framework/CommandIds.h"
#include "framework/Settings.h"
#include "mainframe/CChildFrame.h"
#include "mainframe/CChildFrmFileView.h"
#include "mainframe/CLockedPane.h"
#include "mainframe/FrameResources.h"
#include "mainframe/dialogs/GuiUserInterface.h"
#include "mainframe/LockController.h"
#include "resources/ResourceIds.h"
#include "views/CTessarelView.h"

namespace tessarel::test {
namespace {

constexpr const char* kPassword = "longpassword";

// One card as the file holds it, for comparing documents before and after.
using CardRecord = std::tuple<int, std::string, std::string, std::string, std::string, std::string, std::uint32_t, int>;

std::vector<CardRecord> Cards(CTessarelDoc& doc) {
    std::vector<CardRecord> cards;
    auto add = [&cards](int list, const CCard& card) {
        cards.emplace_back(list, std::string(card.GetFieldText1()), std::string(card.GetFieldText2()), std::string(card.GetFieldText3()),
                           std::string(card.GetFieldText4()), std::string(card.GetNote()), card.GetModified(), card.GetStatusFlags());
    };
    for (int code = 0; code < 15; ++code)
        for (const auto& card : *doc.GetCategoryList(code)) add(code, *card);
    for (const auto& card : doc.GetDeletedList()) add(15, *card);
    return cards;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class LockTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
    }

    CTessarelDoc* OpenEncrypted(const QString& name, int cards = 3) {
        MakeCardFile(Path(name), cards, 1, kPassword);
        TypePassword(QString::fromLatin1(kPassword));
        auto* doc = static_cast<CTessarelDoc*>(app->GetDocManager().OpenDocumentFile(Path(name)));
        Settle();
        return doc;
    }

    static CChildFrame* CardWindow(CTessarelDoc& doc) {
        for (ChildFrame* window : doc.GetFrames())
            if (auto* card = dynamic_cast<CChildFrame*>(window)) return card;
        return nullptr;
    }

    static CLockedPane* Pane(CTessarelDoc& doc) {
        CChildFrame* window = CardWindow(doc);
        return window ? qobject_cast<CLockedPane*>(window->LockedPane()) : nullptr;
    }

    // Types the password into the locked pane and presses Unlock, as a person would.
    static void UnlockThroughPane(CTessarelDoc& doc, const QString& password) {
        CLockedPane* pane = Pane(doc);
        ASSERT_NE(pane, nullptr);
        pane->PasswordField()->setText(password);
        pane->UnlockButton()->click();
        Settle();
    }

    QString Status() const { return frame->statusBar()->currentMessage(); }
    bool Locked(CTessarelDoc& doc) const { return frame->Locks().IsLocked(doc); }
};

TEST_F(LockTest, LockCommandIsOnTheFileMenuWithCtrlL) {
    bool inMenu = false;
    for (const MenuDefinition& menu : MenuResource(res::MenuEncryptedCard))
        for (const MenuItem& item : menu.items)
            if (item.id == res::LockCommand) inMenu = QString::fromLatin1(menu.title) == "&File" && QString::fromLatin1(item.text) == "&Lock\tCtrl+L";
    EXPECT_TRUE(inMenu);
    int ctrlL = 0;
    for (const Accelerator& accelerator : AcceleratorTable())
        if (QKeySequence(QString::fromLatin1(accelerator.key)) == QKeySequence(Qt::CTRL | Qt::Key_L)) {
            ++ctrlL;
            EXPECT_EQ(accelerator.id, res::LockCommand);
        }
    EXPECT_EQ(ctrlL, 1);
    EXPECT_FALSE(StatusText(res::LockCommand).isEmpty());
}

TEST_F(LockTest, LockAndUnlockLoseNothing) {
    CTessarelDoc* doc = OpenEncrypted("safe.qde");
    ASSERT_NE(doc, nullptr);
    CTessarelView* tree = CTessarelView::CardTreeOf(*doc);
    ASSERT_NE(tree, nullptr);
    tree->setCurrentItem(tree->GetCategoryItem(1));
    const QString category = tree->GetSelectedCategoryName();
    const std::vector<CardRecord> before = Cards(*doc);
    ASSERT_EQ(before.size(), 4u);
    const QByteArray bytes = FileBytes(Path("safe.qde"));
    DocTemplate* docTemplate = doc->GetDocTemplate();
    const QString path = doc->GetPathName();
    ASSERT_TRUE(Enabled(res::NewCard));

    // Ctrl+L, as the person presses it in the card window.
    frame->activateWindow();
    QApplication::setActiveWindow(frame);
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_L, Qt::ControlModifier);
    Settle();
    ASSERT_TRUE(Locked(*doc));
    EXPECT_EQ(Status(), "1 card file was locked.");
    EXPECT_FALSE(doc->HasCards());
    EXPECT_TRUE(doc->GetEncryptionPassword().empty());
    EXPECT_TRUE(doc->Data().decryptionPassword.empty());
    CChildFrame* window = CardWindow(*doc);
    ASSERT_NE(Pane(*doc), nullptr);
    EXPECT_EQ(qobject_cast<QStackedWidget*>(window->widget())->currentWidget(), Pane(*doc));
    EXPECT_FALSE(tree->isVisible());
    EXPECT_EQ(tree->GetCategoryItem(1)->childCount(), 0);  // the tree holds no card item
    for (int id : {res::NewCard, res::AddCardButton, int(cmd::FileSave), int(cmd::FileSaveAs), int(cmd::EditFind), res::EncryptOnSave,
                   int(cmd::FilePrint), res::PrintPreview, res::ImportCards, res::FileView, res::GetWebPage})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(cmd::FileClose));
    EXPECT_EQ(FileBytes(Path("safe.qde")), bytes);

    UnlockThroughPane(*doc, QString::fromLatin1(kPassword));
    EXPECT_FALSE(Locked(*doc));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Cards(*doc), before);
    EXPECT_EQ(doc->GetPathName(), path);
    EXPECT_EQ(doc->GetDocTemplate(), docTemplate);
    EXPECT_EQ(doc->GetEncryptionMode(), 1);
    EXPECT_EQ(std::string(doc->GetEncryptionPassword()), kPassword);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(Pane(*doc), nullptr);
    EXPECT_EQ(tree->GetSelectedCategoryName(), category);
    EXPECT_EQ(tree->GetCategoryItem(1)->childCount(), 3);
    EXPECT_TRUE(Enabled(res::NewCard));
    EXPECT_TRUE(Enabled(cmd::FileSave));
    EXPECT_EQ(FileBytes(Path("safe.qde")), bytes);
    EXPECT_EQ(Status(), "safe.qde was unlocked.");
}

TEST_F(LockTest, ASealedFileLocksAndComesBackSealed) {
    CCardFileData data;
    for (int i = 0; i < 2; ++i) {
        auto card = std::make_unique<CCard>();
        card->SetFieldText1("sealed " + std::to_string(i));
        card->SetFieldText4("sealed secret");
        card->SetCategoryCode(3);
        data.PlaceCard(std::move(card));
    }
    data.encryptionMode = 1;
    data.encryptionPassword.assign(kPassword);
    data.sealed = true;
    data.sealParameters = {1, 8};  // cheap to derive: the test is about locking, not the key
    GuiUserInterface ui;
    ASSERT_TRUE(SaveCardFile(data, Path("safe.qdx").toStdString(), ui).ok);
    TypePassword(QString::fromLatin1(kPassword));
    auto* doc = static_cast<CTessarelDoc*>(app->GetDocManager().OpenDocumentFile(Path("safe.qdx")));
    ASSERT_NE(doc, nullptr);
    const std::vector<CardRecord> before = Cards(*doc);
    const QByteArray bytes = FileBytes(Path("safe.qdx"));
    DocTemplate* docTemplate = doc->GetDocTemplate();

    ASSERT_TRUE(app->ExecuteCommand(res::LockCommand));
    ASSERT_TRUE(Locked(*doc));
    EXPECT_FALSE(doc->HasCards());
    EXPECT_TRUE(doc->GetEncryptionPassword().empty());
    UnlockThroughPane(*doc, QString::fromLatin1(kPassword));
    EXPECT_FALSE(Locked(*doc));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Cards(*doc), before);
    EXPECT_TRUE(doc->Data().sealed);
    EXPECT_EQ(doc->GetDocTemplate(), docTemplate);
    EXPECT_EQ(FileBytes(Path("safe.qdx")), bytes);
}

TEST_F(LockTest, WrongPasswordStaysLocked) {
    CTessarelDoc* doc = OpenEncrypted("safe.qde");
    ASSERT_NE(doc, nullptr);
    const std::vector<CardRecord> before = Cards(*doc);
    ASSERT_TRUE(app->ExecuteCommand(res::LockCommand));
    ASSERT_TRUE(Locked(*doc));

    // The field is reached from the keyboard (its label's mnemonic; Alt+P stays Preferences).
    frame->activateWindow();
    QApplication::setActiveWindow(frame);
    Pane(*doc)->UnlockButton()->setFocus();
    QTest::keyClick(Pane(*doc)->UnlockButton(), Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), Pane(*doc)->PasswordField());

    UnlockThroughPane(*doc, QStringLiteral("not the password"));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Password not correct, please try again."});
    EXPECT_TRUE(Locked(*doc));
    EXPECT_FALSE(doc->HasCards());
    ASSERT_NE(Pane(*doc), nullptr);
    EXPECT_TRUE(Pane(*doc)->PasswordField()->text().isEmpty());  // the wrong password is not kept
    EXPECT_FALSE(Enabled(res::NewCard));

    // Return in the field unlocks as the button does.
    Pane(*doc)->PasswordField()->setText(QString::fromLatin1(kPassword));
    QTest::keyClick(Pane(*doc)->PasswordField(), Qt::Key_Return);
    Settle();
    EXPECT_FALSE(Locked(*doc));
    EXPECT_EQ(Cards(*doc), before);
}

TEST_F(LockTest, PlainCardFilesAreNotLocked) {
    MakeCardFile(Path("plain.qdf"), 2);
    auto* plain = static_cast<CTessarelDoc*>(app->GetDocManager().OpenDocumentFile(Path("plain.qdf")));
    ASSERT_NE(plain, nullptr);
    ASSERT_TRUE(app->ExecuteCommand(res::LockCommand));
    EXPECT_FALSE(Locked(*plain));
    EXPECT_EQ(Status(), "No encrypted card file is open: there was nothing to lock.");

    CTessarelDoc* safe = OpenEncrypted("safe.qde");
    ASSERT_NE(safe, nullptr);
    ASSERT_TRUE(app->ExecuteCommand(res::LockCommand));
    EXPECT_TRUE(Locked(*safe));
    EXPECT_FALSE(Locked(*plain));
    EXPECT_EQ(Cards(*plain).size(), 2u);
    EXPECT_EQ(Pane(*plain), nullptr);
    EXPECT_EQ(Status(), "1 card file was locked.");
}

TEST_F(LockTest, ModifiedFileIsSavedFirstOnlyWithAutomaticSave) {
    struct Case {
        int automaticSave;
        bool locked;
        const char* status;
    };
    for (const Case& c : {Case{0, false, "safe.qde was not locked: it has changes that are not saved."},
                          Case{1, true, "1 card file was locked."}}) {
        SCOPED_TRACE(c.automaticSave);
        WriteInt(setting::AutomaticSaveCheck, c.automaticSave);
        CTessarelDoc* doc = OpenEncrypted("safe.qde");
        ASSERT_NE(doc, nullptr);
        // A change as the card commands make it: a new card in its list, the document modified.
        auto card = std::make_unique<CCard>();
        card->SetFieldText1("added");
        card->SetFieldText4("new secret");
        card->SetCategoryCode(2);
        frame->AddCardToCategory(*doc, 2, std::move(card));
        doc->SetModifiedFlag();
        doc->UpdateAllViews(nullptr);
        const std::vector<CardRecord> changed = Cards(*doc);
        const QByteArray bytes = FileBytes(Path("safe.qde"));

        ASSERT_TRUE(app->ExecuteCommand(res::LockCommand));
        EXPECT_EQ(Locked(*doc), c.locked);
        EXPECT_EQ(Status(), c.status);
        if (!c.locked) {
            EXPECT_EQ(Cards(*doc), changed);
            EXPECT_TRUE(doc->IsModified());
            EXPECT_EQ(FileBytes(Path("safe.qde")), bytes);
            EXPECT_EQ(Pane(*doc), nullptr);
        } else {
            EXPECT_NE(FileBytes(Path("safe.qde")), bytes);  // saved before the cards left
            UnlockThroughPane(*doc, QString::fromLatin1(kPassword));
            EXPECT_FALSE(Locked(*doc));
            EXPECT_EQ(Cards(*doc), changed);
        }
        EXPECT_TRUE(Messages().empty());
        app->GetDocManager().CloseAllDocuments();
        Settle();
    }
}

TEST_F(LockTest, FileViewWindowsOfALockedFileClose) {
    CTessarelDoc* doc = OpenEncrypted("safe.qde");
    ASSERT_NE(doc, nullptr);
    dialogs->AnswerMessage(MessageAnswer::No);  // no file-encryption password now
    ASSERT_TRUE(app->ExecuteCommand(res::FileView));
    Settle();
    ASSERT_EQ(doc->GetFrames().size(), 2u);
    ASSERT_TRUE(app->ExecuteCommand(res::LockCommand));
    Settle();
    EXPECT_TRUE(Locked(*doc));
    ASSERT_EQ(doc->GetFrames().size(), 1u);
    EXPECT_NE(dynamic_cast<CChildFrame*>(doc->GetFrames().front()), nullptr);
    EXPECT_FALSE(frame->FileToolbar()->isVisibleTo(frame));
}

TEST_F(LockTest, IdleTimerLocksAndInputRestartsIt) {
    CTessarelDoc* doc = OpenEncrypted("safe.qde");
    ASSERT_NE(doc, nullptr);
    LockController& locks = frame->Locks();
    // Off by default: no timer runs.
    locks.ApplySettings();
    EXPECT_FALSE(locks.IdleTimer()->isActive());

    WriteInt(setting::LockAfterMinutes, 5);
    locks.ApplySettings();
    EXPECT_TRUE(locks.IdleTimer()->isActive());
    EXPECT_EQ(locks.IdleTimer()->interval(), 5 * 60000);
    // Any key or mouse input starts the wait again.
    locks.IdleTimer()->stop();
    QTest::keyClick(CTessarelView::CardTreeOf(*doc), Qt::Key_Down);
    EXPECT_TRUE(locks.IdleTimer()->isActive());
    locks.IdleTimer()->stop();
    QTest::mouseClick(CTessarelView::CardTreeOf(*doc)->viewport(), Qt::LeftButton);
    EXPECT_TRUE(locks.IdleTimer()->isActive());

    locks.OnIdleTimeout();
    EXPECT_TRUE(Locked(*doc));
    EXPECT_FALSE(doc->HasCards());
}

// A dialog may hold pointers to the cards (a card dialog, Find): the lock waits for it to close.
TEST_F(LockTest, ALockUnderAnOpenDialogWaitsForItToClose) {
    CTessarelDoc* doc = OpenEncrypted("safe.qde");
    ASSERT_NE(doc, nullptr);
    QDialog dialog(frame);
    dialog.setModal(true);
    dialog.show();
    ASSERT_NE(QApplication::activeModalWidget(), nullptr);
    frame->Locks().OnIdleTimeout();
    EXPECT_FALSE(Locked(*doc));
    EXPECT_EQ(Cards(*doc).size(), 4u);
    EXPECT_EQ(Status(), "The card files will be locked when the open dialog is closed.");
    dialog.close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Locked(*doc); }, 5000));
}

TEST_F(LockTest, SessionLockSignalOnTheBusLocks) {
    const QString daemon = QStringLiteral("dbus-daemon");
    QProcess bus;
    bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!bus.waitForStarted(5000)) TESSAREL_SKIP_UNLESS_REQUIRED("dbus-daemon (Debian package dbus) is needed for a private session bus");
    ASSERT_TRUE(bus.waitForReadyRead(10000));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    ASSERT_FALSE(address.isEmpty());
    {
        QDBusConnection listener = QDBusConnection::connectToBus(address, QStringLiteral("lock-test-listener"));
        QDBusConnection sender = QDBusConnection::connectToBus(address, QStringLiteral("lock-test-sender"));
        ASSERT_TRUE(listener.isConnected());
        ASSERT_TRUE(sender.isConnected());
        ASSERT_TRUE(frame->Locks().ListenForSessionLock(listener));

        struct Interface {
            const char* path;
            const char* name;
        };
        for (const Interface& screenSaver : {Interface{"/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver"},
                                             Interface{"/org/gnome/ScreenSaver", "org.gnome.ScreenSaver"}}) {
            SCOPED_TRACE(screenSaver.name);
            CTessarelDoc* doc = OpenEncrypted("safe.qde");
            ASSERT_NE(doc, nullptr);
            QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(screenSaver.path), QString::fromLatin1(screenSaver.name),
                                                             QStringLiteral("ActiveChanged"));
            signal << true;
            ASSERT_TRUE(sender.send(signal));
            EXPECT_TRUE(QTest::qWaitFor([&] { return Locked(*doc); }, 10000));
            app->GetDocManager().CloseAllDocuments();
            Settle();
        }

        // The screen saver going away unlocks nothing, and with "Lock With Session" off nothing locks.
        CTessarelDoc* doc = OpenEncrypted("safe.qde");
        ASSERT_NE(doc, nullptr);
        frame->Locks().OnScreenSaverActiveChanged(false);
        EXPECT_FALSE(Locked(*doc));
        WriteInt(setting::LockWithSession, 0);
        frame->Locks().OnScreenSaverActiveChanged(true);
        EXPECT_FALSE(Locked(*doc));
        WriteInt(setting::LockWithSession, 1);
        frame->Locks().OnScreenSaverActiveChanged(true);
        EXPECT_TRUE(Locked(*doc));
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("lock-test-listener"));
    QDBusConnection::disconnectFromBus(QStringLiteral("lock-test-sender"));
    bus.terminate();
    bus.waitForFinished(5000);
}

}  // namespace
}  // namespace tessarel::test
