// The Password Report window through real widgets: its rows and summary, sorting by a column, no
// password in any cell, and activating a row (double-click or Enter), which selects the card in
// the category tree and opens Edit Card on it.
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "CardsFixture.h"
#include "cardstore/CardTime.h"
#include "mainframe/CPasswordReportDlg.h"
#include "ReportTableRows.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

class PasswordReportWindowTest : public CardsFixture {
protected:
    void SetUp() override {
        CardsFixture::SetUp();
        AddCard("WWW Sites", CardFields{"Shop", "https://shop.example/", "ann", "sunshine1", {}});
        AddCard("Login Accounts", CardFields{"Server", "host", "root", "sunshine1", {}});
        AddCard("WWW Sites", CardFields{"Bank", "https://bank.example/", "ann", "vK7#qz!R2m@Lw9$Tn4", {}});
        CCard* old = AddCard("Miscellaneous", CardFields{"Locker", {}, {}, "Gq8&wP3!zL6^rT1%yX", {}});
        old->SetModified(CurrentCardTimeStamp() - 400u * 86400u);
        AddCard("Credit Cards", CardFields{"Visa", "12/30", "4111", "1234", {}});
    }

    static QStringList Rows(const CPasswordReportDlg& dialog) { return test::ReportTableRows(dialog); }
};

TEST_F(PasswordReportWindowTest, ListsEveryCardWithAPasswordAndSortsByAnyColumn) {
    QStringList shown;
    QString summary;
    QStringList byName;
    dialogs->RunDialog([&](Dialog& dialog) {
        auto& report = dynamic_cast<CPasswordReportDlg&>(dialog);
        report.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&report));
        EXPECT_EQ(report.windowTitle(), "Password Report");
        shown = Rows(report);
        summary = report.SummaryLabel()->text();
        // A click on the header sorts by that column, as a person would.
        QHeaderView* header = report.Table()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(CPasswordReportDlg::NameColumn) + 5, header->height() / 2));
        byName = Rows(report);
        EXPECT_EQ(report.focusWidget(), report.Table()) << "the keyboard starts in the table";
        return int(QDialog::Rejected);
    });
    ASSERT_TRUE(Run(res::ShowPasswordReport));
    EXPECT_EQ(dialogs->PendingSteps(), 0u);
    EXPECT_EQ(summary, "4 cards with a password: 2 weak, 2 reused, 0 empty, 1 older than a year");
    ASSERT_EQ(shown.size(), 4);
    // Weakest first.
    EXPECT_TRUE(shown[0].startsWith("Server|Login Accounts|0 (very weak)|") || shown[0].startsWith("Shop|WWW Sites|0 (very weak)|")) << shown[0].toStdString();
    for (const QString& row : shown) {
        EXPECT_FALSE(row.contains("sunshine")) << row.toStdString();
        EXPECT_FALSE(row.contains("vK7")) << row.toStdString();
    }
    QStringList names;
    for (const QString& row : byName) names << row.section('|', 0, 0);
    EXPECT_EQ(names, QStringList({"Bank", "Locker", "Server", "Shop"}));
    const QString locker = byName[1];
    EXPECT_TRUE(locker.endsWith("|400 days (old)")) << locker.toStdString();
    EXPECT_TRUE(byName[2].contains("|1|")) << "reused by one other card: " << byName[2].toStdString();
    EXPECT_TRUE(byName[0].contains("|4 (very strong)|10^")) << byName[0].toStdString();
}

TEST_F(PasswordReportWindowTest, ActivatingARowSelectsTheCardAndOpensEditCard) {
    SelectCard("WWW Sites", "Shop");
    struct Case {
        const char* how;
        QString card;
    };
    for (const Case& c : {Case{"double-click", "Server"}, Case{"enter", "Bank"}, Case{"edit button", "Locker"}}) {
        SCOPED_TRACE(c.how);
        const std::string how = c.how;
        const QString wanted = c.card;
        dialogs->RunDialog([how, wanted](Dialog& dialog) {
            auto& report = dynamic_cast<CPasswordReportDlg&>(dialog);
            report.show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&report));
            QTreeView* table = report.Table();
            QModelIndex target;
            for (int row = 0; row < table->model()->rowCount(); ++row)
                if (table->model()->index(row, 0).data().toString() == wanted) target = table->model()->index(row, 0);
            EXPECT_TRUE(target.isValid());
            table->setCurrentIndex(target);
            if (how == "double-click") {
                const QPoint point = table->visualRect(target).center();
                QTest::mousePress(table->viewport(), Qt::LeftButton, {}, point);
                QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, point);
                QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, point);
            } else if (how == "enter") {
                QTest::keyClick(table, Qt::Key_Return);
            } else {
                report.EditButton()->click();
            }
            return report.result();
        });
        QString edited;
        dialogs->RunDialog([&edited](Dialog& dialog) {
            edited = dialog.findChild<QLineEdit*>(QString::number(res::ControlCardName))->text();
            return int(QDialog::Rejected);
        });
        ASSERT_TRUE(Run(res::ShowPasswordReport));
        EXPECT_EQ(dialogs->PendingSteps(), 0u);
        EXPECT_EQ(edited, wanted);
        EXPECT_EQ(SelectedText(), wanted);
        EXPECT_EQ(Tree()->GetCurrentCard()->GetFieldText1(), wanted.toStdString());
    }
    EXPECT_TRUE(dialogs->Problems().isEmpty()) << dialogs->Problems().join("; ").toStdString();
}

TEST_F(PasswordReportWindowTest, ClosingTheWindowLeavesTheSelectionAlone) {
    SelectCard("WWW Sites", "Bank");
    dialogs->RunDialog([](Dialog& dialog) {
        QTest::keyClick(&dialog, Qt::Key_Escape);
        return dialog.result();
    });
    ASSERT_TRUE(Run(res::ShowPasswordReport));
    EXPECT_EQ(SelectedText(), "Bank");
    EXPECT_EQ(dialogs->Events().size(), 6u) << "five card dialogs and the report, no Edit Card";
}

}  // namespace
}  // namespace tessarel::test
