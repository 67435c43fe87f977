// The dialog seam: scripted answers, fills and cancels, and what happens to unscripted calls.
#include <QLineEdit>
#include <gtest/gtest.h>

#include "framework/Dialog.h"
#include "framework/ScriptedDialogHost.h"

namespace tessarel {
namespace {

class NameDialog : public Dialog {
public:
    NameDialog() {
        edit = new QLineEdit(this);
        edit->setObjectName("name");
    }
    QString name = "initial";
    bool initialised = false;

protected:
    void OnInitDialog() override {
        Dialog::OnInitDialog();
        initialised = true;
        setWindowTitle("Name");
    }
    void DoDataExchange(bool save) override {
        if (save)
            name = edit->text();
        else
            edit->setText(name);
    }

    // Refuses an empty name, as a dialog checking what was typed would.
    bool AcceptMembers() override { return !name.isEmpty(); }

private:
    QLineEdit* edit;
};

TEST(DialogHostTest, ScriptFillsControlsAndOkReadsThemBack) {
    ScriptedDialogHost host;
    NameDialog dialog;
    host.RunDialog([](Dialog& running) {
        auto* edit = running.findChild<QLineEdit*>("name");
        EXPECT_EQ(edit->text(), "initial") << "members reach the controls before the script runs";
        edit->setText("typed");
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(dialog.DoModal(), QDialog::Accepted);
    EXPECT_TRUE(dialog.initialised);
    EXPECT_EQ(dialog.name, "typed");
    ASSERT_EQ(host.Events().size(), 1u);
    EXPECT_EQ(host.Events()[0].dialogTitle, "Name");
}

// A refused OK keeps the dialog open: the next step works on the same dialog as the refusal
// left it; with no step left the dialog is cancelled and the test sees a problem.
TEST(DialogHostTest, ARefusedOkKeepsTheDialogOpenForTheNextStep) {
    ScriptedDialogHost host;
    NameDialog dialog;
    host.RunDialog([](Dialog& running) {
        running.findChild<QLineEdit*>("name")->clear();
        return int(QDialog::Accepted);
    });
    host.RunDialog([&dialog](Dialog& running) {
        EXPECT_EQ(&running, &dialog);
        EXPECT_TRUE(running.findChild<QLineEdit*>("name")->text().isEmpty());
        running.findChild<QLineEdit*>("name")->setText("mended");
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(dialog.DoModal(), QDialog::Accepted);
    EXPECT_EQ(dialog.name, "mended");
    EXPECT_EQ(host.PendingSteps(), 0u);
    EXPECT_TRUE(host.Problems().isEmpty());

    NameDialog refused;
    host.RunDialog([](Dialog& running) {
        running.findChild<QLineEdit*>("name")->clear();
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(refused.DoModal(), QDialog::Rejected);
    ASSERT_EQ(host.Problems().size(), 1);
    EXPECT_TRUE(host.Problems().front().startsWith("unscripted dialog ")) << host.Problems().front().toStdString();
}

TEST(DialogHostTest, CancelLeavesMembersAlone) {
    ScriptedDialogHost host;
    NameDialog dialog;
    host.RunDialog([](Dialog& running) {
        running.findChild<QLineEdit*>("name")->setText("typed");
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(dialog.DoModal(), QDialog::Rejected);
    EXPECT_EQ(dialog.name, "initial");
}

TEST(DialogHostTest, UnscriptedQuestionsAreCancelledAndReported) {
    ScriptedDialogHost host;
    EXPECT_EQ(host.ShowMessage(Message{"Just so", {}, MessageButtons::Ok, MessageIcon::None, MessageOwner::None}), MessageAnswer::Ok);
    EXPECT_TRUE(host.Problems().isEmpty()) << "an OK-only box needs no script";
    EXPECT_EQ(host.ShowMessage(Message{"Sure?", {}, MessageButtons::YesNo, MessageIcon::None, MessageOwner::None}),
              MessageAnswer::Cancel);
    NameDialog dialog;
    EXPECT_EQ(dialog.DoModal(), QDialog::Rejected);
    EXPECT_EQ(host.AskOpenFileName(FileDialogRequest{}), std::nullopt);
    EXPECT_EQ(host.Problems().size(), 3);
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>({"Just so", "Sure?"}));
}

TEST(DialogHostTest, HostIsRestoredWhenTheScriptEnds) {
    DialogHost* before = &Dialogs();
    {
        ScriptedDialogHost host;
        EXPECT_EQ(&Dialogs(), &host);
    }
    EXPECT_EQ(&Dialogs(), before);
}

}  // namespace
}  // namespace tessarel
