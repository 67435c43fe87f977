// Every copy of a password the program makes (Copy Password, the field list's password row, the
// card dialog's password edit shown in clear) reaches the real clipboard marked secret, is taken
// off after "Clear Clipboard Seconds", and the status bar says when; other texts stay plain.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "CardsFixture.h"
#include "framework/CommandIds.h"
#include "framework/Dialog.h"
#include "framework/Settings.h"
#include "mainframe/dialogs/CCardDlg.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

constexpr const char* kHint = "x-kde-passwordManagerHint";

bool MarkedSecret() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->data(kHint) == "secret";
}

class PasswordClipboardTest : public CardsFixture {
protected:
    QString StatusLine() const { return frame->statusBar()->currentMessage(); }
};

TEST_F(PasswordClipboardTest, CopyPasswordIsMarkedSecretAndTheStatusBarSaysWhenItGoes) {
    AddCard("POP Accounts", CardFields{"mail", "pop.example.org", "me", "p@ss", ""});
    SelectCard("POP Accounts", "mail");
    ASSERT_TRUE(Run(res::CopyPasswordButton));
    EXPECT_EQ(QApplication::clipboard()->text(), "p@ss");
    EXPECT_TRUE(MarkedSecret());
    EXPECT_EQ(StatusLine(), "Password copied; the clipboard will be cleared in 10 seconds.");
}

TEST_F(PasswordClipboardTest, TheFieldListMarksOnlyThePasswordRow) {
    CCard* card = AddCard("WWW Sites", CardFields{"site", "http://a.example", "user", "topsecret", ""});
    struct Case {
        int row;
        int command;
        const char* text;
        bool secret;
    };
    const Case cases[] = {
        {0, cmd::EditCopy, "site", false},
        {2, cmd::EditCopy, "user", false},
        {3, cmd::EditCopy, "topsecret", true},
        {1, cmd::EditCut, "http://a.example", false},
        {3, cmd::EditCut, "topsecret", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        QApplication::clipboard()->setText("before");
        MakeListActive();
        ClickRow(c.row);
        ASSERT_TRUE(Run(c.command));
        EXPECT_EQ(QApplication::clipboard()->text(), c.text);
        EXPECT_EQ(MarkedSecret(), c.secret);
    }
    EXPECT_TRUE(card->GetFieldText4().empty()) << "Cut still empties the row";
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PasswordClipboardTest, TheClipboardIsClearedAfterTheSettingsSeconds) {
    WriteInt(setting::ClearClipboardSeconds, 1);
    AddCard("POP Accounts", CardFields{"mail", "pop.example.org", "me", "short-lived", ""});
    SelectCard("POP Accounts", "mail");
    ASSERT_TRUE(Run(res::CopyPasswordButton));
    EXPECT_EQ(StatusLine(), "Password copied; the clipboard will be cleared in 1 second.");
    EXPECT_EQ(QApplication::clipboard()->text(), "short-lived");
    QElapsedTimer elapsed;
    elapsed.start();
    while (!QApplication::clipboard()->text().isEmpty() && elapsed.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(QApplication::clipboard()->text(), "");
    EXPECT_GE(elapsed.elapsed(), 900);
    EXPECT_EQ(StatusLine(), "The clipboard was cleared.");
}

// The card dialog masks the password in every command of the program; a dialog that shows it in
// clear still copies it only marked secret, by keys and by its context menu.
TEST_F(PasswordClipboardTest, ThePasswordEditShownInClearCopiesSecretly) {
    CCardDlg dialog;
    dialog.password = "typed-pw";
    dialog.hidePassword = 0;
    dialogs->RunDialog([](Dialog& shown) {
        auto* edit = shown.findChild<QLineEdit*>(QString::number(res::ControlCardPassword));
        EXPECT_EQ(edit->echoMode(), QLineEdit::Normal);
        QApplication::clipboard()->setText("before");
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text(), "typed-pw");
        EXPECT_TRUE(MarkedSecret());

        // The context menu's Copy, chosen while the menu runs.
        QApplication::clipboard()->setText("before");
        edit->selectAll();
        QString triggered;
        QTimer::singleShot(0, [&triggered] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) return;
            for (QAction* action : menu->actions())
                if (action->text().section('\t', 0, 0) == "&Copy") {
                    triggered = action->text();
                    action->trigger();
                }
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), edit->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(edit, &event);
        EXPECT_FALSE(triggered.isEmpty()) << "the menu has its Copy";
        EXPECT_EQ(QApplication::clipboard()->text(), "typed-pw");
        EXPECT_TRUE(MarkedSecret());

        // Cut takes the text out of the edit as well.
        QApplication::clipboard()->setText("before");
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text(), "typed-pw");
        EXPECT_TRUE(MarkedSecret());
        EXPECT_EQ(edit->text(), "");

        // Masked, nothing is copied at all (Qt's own rule, kept).
        edit->setText("masked-pw");
        edit->setEchoMode(QLineEdit::Password);
        QApplication::clipboard()->setText("before");
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text(), "before");
        return int(QDialog::Rejected);
    });
    dialog.DoModal();
}

}  // namespace
}  // namespace tessarel::test
