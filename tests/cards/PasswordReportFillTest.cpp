// The Password Report window while the strengths are still being estimated, with an estimator
// the test lets through a few passwords at a time (zxcvbn behind a gate): the rows are there
// before the estimates, they fill in as the estimates finish, the table and summary end as the
// complete report's window shows them, and closing the window mid-way stops the workers before
// the cards can go.
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "cardstore/CardTime.h"
#include "cardstore/report/PasswordReport.h"
#include "mainframe/CPasswordReportDlg.h"
#include "ReportTableRows.h"

namespace tessarel::test {
namespace {

// zxcvbn behind a gate: an estimate begins only with a permit the test hands out.
class EstimateGate {
public:
    PasswordStrength Estimate(std::string_view password) {
        {
            std::unique_lock<std::mutex> hold(lock);
            opened.wait(hold, [this] { return open || permits > 0; });
            if (!open) --permits;
        }
        ++begun;
        return EstimatePasswordStrength(password);
    }
    void Let(int count) {
        const std::lock_guard<std::mutex> hold(lock);
        permits += count;
        opened.notify_all();
    }
    void OpenFully() {
        const std::lock_guard<std::mutex> hold(lock);
        open = true;
        opened.notify_all();
    }
    StrengthEstimator Estimator() {
        return [this](std::string_view password) { return Estimate(password); };
    }

    std::atomic<int> begun{0};

private:
    std::mutex lock;
    std::condition_variable opened;
    int permits = 0;
    bool open = false;
};

class PasswordReportFillTest : public ::testing::Test {
protected:
    // `distinct` passwords, more than the window estimates before it shows, every tenth card
    // sharing its password with the card before, every 25th empty, every 7th old.
    void MakeCards(int distinct) {
        data = std::make_unique<CCardFileData>();
        const std::uint32_t now = CurrentCardTimeStamp();
        for (int i = 0; i < distinct; ++i) {
            Add(i, "card " + std::to_string(i), i % 25 == 0 ? "" : (i % 3 ? "Zq" : "sun") + std::to_string(i * 7919) + "!k", now - (i % 7 ? 0u : 400u * 86400u));
            if (i % 10 == 0) Add(i, "twin " + std::to_string(i), "Zq" + std::to_string(i * 7919) + "!k", now);
        }
    }
    void Add(int i, const std::string& name, const std::string& password, std::uint32_t modified) {
        auto card = std::make_unique<CCard>();
        card->SetTexts(name, "https://example.org/", "ann", password, {}, {}, {});
        static const int kCodes[] = {0, 1, 2, 3, 14};
        card->SetCategoryCode(static_cast<std::uint8_t>(kCodes[i % 5]));
        card->SetModified(modified);
        data->PlaceCard(std::move(card));
    }

    std::unique_ptr<CPasswordReportDlg> Open(PasswordReport& report, StrengthEstimator estimator) {
        auto dialog = std::make_unique<CPasswordReportDlg>(report, nullptr, std::move(estimator));
        dialog->Initialise();
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return dialog;
    }

    static QStringList Rows(const CPasswordReportDlg& dialog) { return test::ReportTableRows(dialog); }
    static int Pending(const CPasswordReportDlg& dialog) {
        int pending = 0;
        for (const QString& row : Rows(dialog)) pending += row.section('|', 2, 2) == "..." ? 1 : 0;
        return pending;
    }
    // The complete report's window: what the filled one must end as.
    void ExpectEndsAsTheCompleteReport(const CPasswordReportDlg& filled) {
        PasswordReport complete = PasswordReport::Make(*data, CurrentCardTimeStamp());
        const std::unique_ptr<CPasswordReportDlg> reference = Open(complete, EstimatePasswordStrength);
        EXPECT_FALSE(reference->Estimating());
        EXPECT_EQ(filled.SummaryLabel()->text(), reference->SummaryLabel()->text());
        EXPECT_EQ(Rows(filled).join('\n').toStdString(), Rows(*reference).join('\n').toStdString());
    }

    std::unique_ptr<CCardFileData> data;
};

TEST_F(PasswordReportFillTest, RowsShowAtOnceAndTheStrengthsFillInUntilTheTableIsTheCompleteReports) {
    MakeCards(400);
    EstimateGate gate;
    PasswordReport report = PasswordReport::MakeWithoutStrength(*data, CurrentCardTimeStamp());
    const std::unique_ptr<CPasswordReportDlg> dialog = Open(report, gate.Estimator());
    ASSERT_TRUE(dialog->Estimating());
    // Every row, with all but its strength, before a single estimate.
    const QStringList before = Rows(*dialog);
    ASSERT_EQ(before.size(), 440);
    EXPECT_EQ(Pending(*dialog), 440 - 16) << "all but the empty passwords wait";
    EXPECT_TRUE(before.contains(QString("twin 10|WWW Sites|...|...|1|0 days"))) << before.filter("twin 10|").join(';').toStdString();
    EXPECT_TRUE(before.contains(QString("card 7|FTP Servers|...|...||400 days (old)")));
    EXPECT_EQ(dialog->SummaryLabel()->text(), "440 cards with a password: strength being estimated (0%), 42 reused, 16 empty, 58 older than a year");

    // The workers take the passwords in order: these are the first 100 groups.
    gate.Let(100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return report.GroupsEstimated() == 100; }, 10000));
    int filled = 0;
    for (std::size_t group = 0; group < 100; ++group) filled += static_cast<int>(report.GroupRows(group).size());
    EXPECT_GT(filled, 100) << "some of the first groups are pairs, filled by one estimate";
    EXPECT_EQ(Pending(*dialog), 440 - 16 - filled);
    EXPECT_EQ(dialog->SummaryLabel()->text(), "440 cards with a password: strength being estimated (24%), 42 reused, 16 empty, 58 older than a year");

    gate.OpenFully();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->Estimating(); }, 60000));
    EXPECT_EQ(Pending(*dialog), 0);
    EXPECT_EQ(gate.begun.load(), 403) << "one estimate per distinct password";
    ExpectEndsAsTheCompleteReport(*dialog);
}

TEST_F(PasswordReportFillTest, AnOrderChosenWhileFillingIsKeptAndAStrengthOrderIsMadeAgainAtTheEnd) {
    struct Case {
        const char* what;
        int column;  // -1: the order the window opened with
    };
    for (const Case& c : {Case{"opened weakest first", -1}, Case{"by name", CPasswordReportDlg::NameColumn},
                          Case{"by guesses", CPasswordReportDlg::GuessesColumn}}) {
        SCOPED_TRACE(c.what);
        MakeCards(300);
        EstimateGate gate;
        PasswordReport report = PasswordReport::MakeWithoutStrength(*data, CurrentCardTimeStamp());
        const std::unique_ptr<CPasswordReportDlg> dialog = Open(report, gate.Estimator());
        gate.Let(50);
        ASSERT_TRUE(QTest::qWaitFor([&] { return report.GroupsEstimated() == 50; }, 10000));
        QHeaderView* header = dialog->Table()->header();
        if (c.column >= 0)
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(c.column) + 5, header->height() / 2));
        const QStringList whileFilling = Rows(*dialog);
        gate.OpenFully();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->Estimating(); }, 60000));
        const QStringList filled = Rows(*dialog);
        if (c.column == CPasswordReportDlg::NameColumn) {
            QStringList names, namesBefore;
            for (const QString& row : filled) names << row.section('|', 0, 0);
            for (const QString& row : whileFilling) namesBefore << row.section('|', 0, 0);
            EXPECT_EQ(names, namesBefore) << "the order by name stays";
        } else {
            double last = -1;
            for (const QString& row : filled) {
                const QString guesses = row.section('|', 3, 3);
                const double value = guesses == "-" ? 0.0 : guesses.mid(3).toDouble();
                EXPECT_LE(last, value) << row.toStdString();
                last = value;
            }
        }
        if (c.column < 0) {
            EXPECT_EQ(dialog->Table()->currentIndex().row(), 0) << "the first row stays the chosen one";
            ExpectEndsAsTheCompleteReport(*dialog);
        }
    }
}

TEST_F(PasswordReportFillTest, ClosingWhileEstimatingStopsTheWorkersBeforeTheCardsGo) {
    for (const char* how : {"close button", "escape", "edit card", "double-click"}) {
        SCOPED_TRACE(how);
        const std::string way = how;
        MakeCards(5000);
        EstimateGate gate;
        PasswordReport report = PasswordReport::MakeWithoutStrength(*data, CurrentCardTimeStamp());
        std::unique_ptr<CPasswordReportDlg> dialog = Open(report, gate.Estimator());
        gate.Let(20);
        ASSERT_TRUE(QTest::qWaitFor([&] { return report.GroupsEstimated() == 20; }, 10000));
        QTreeView* table = dialog->Table();
        const QModelIndex second = table->model()->index(1, 0);
        const QString chosenName = second.data().toString();
        table->setCurrentIndex(second);
        // The workers run free from here: the window closes while they are busy.
        gate.OpenFully();
        if (way == "close button") {
            dialog->findChild<QPushButton*>("IDCANCEL")->click();
        } else if (way == "escape") {
            QTest::keyClick(table, Qt::Key_Escape);
        } else if (way == "edit card") {
            dialog->EditButton()->click();
        } else {
            const QPoint point = table->visualRect(second).center();
            QTest::mousePress(table->viewport(), Qt::LeftButton, {}, point);
            QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, point);
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, point);
        }
        const int begunWhenClosed = gate.begun.load();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_FALSE(dialog->Estimating());
        EXPECT_LT(std::size_t(begunWhenClosed) + 100, report.GroupCount()) << "closed well before the last estimate";
        const bool chose = way == "edit card" || way == "double-click";
        EXPECT_EQ(dialog->result(), chose ? int(QDialog::Accepted) : int(QDialog::Rejected));
        if (chose) {
            ASSERT_GE(dialog->chosenCode, 0);
            EXPECT_EQ(data->GetCategoryList(dialog->chosenCode)->GetAt(dialog->chosenIndex)->GetFieldText1(), chosenName.toStdString());
        }
        // The cards go at once; a worker still reading one would be a use after free (the
        // sanitizer build stops on it), and none begins another estimate.
        data.reset();
        QTest::qWait(100);
        EXPECT_EQ(gate.begun.load(), begunWhenClosed);
        dialog.reset();
    }
}

}  // namespace
}  // namespace tessarel::test
