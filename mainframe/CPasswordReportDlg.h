#pragma once
// The Password Report window: one row per card that keeps a password (name, category, strength,
// estimated guesses, reuse count, age), sortable by any column, with a summary line. Activating a
// row (double-click or Enter) or "Edit Card" closes it with that card chosen; the frame then
// selects the card in the category tree and opens Edit Card on it. No password reaches the window.
//
// The window opens on a report whose strengths are still to come: worker threads estimate them
// while the person looks, a timer hands what is finished to the rows in batches, the summary says
// the estimate is running until the last one is in, and a strength order is sorted again then.
// Closing the window in any way stops the workers before it returns, so the cards they read may
// go (or be edited) as soon as the window has closed.

#include <QTimer>
#include <memory>

#include "PasswordReportModel.h"
#include "cardstore/report/PasswordReport.h"
#include "cardstore/report/StrengthEstimation.h"
#include "framework/Dialog.h"

class QLabel;
class QPushButton;
class QTreeView;

namespace tessarel {

class CPasswordReportDlg : public Dialog {
    Q_OBJECT
public:
    using enum PasswordReportModel::Column;

    // `report` gets its missing strengths from `estimator` (zxcvbn unless a test scripts it); it
    // and the cards it was made from must outlive the window's closing.
    explicit CPasswordReportDlg(PasswordReport& report, QWidget* parent = nullptr, StrengthEstimator estimator = EstimatePasswordStrength);
    ~CPasswordReportDlg() override;

    // The card chosen when the window closed with OK: its category code and list index (-1: none).
    int chosenCode = -1;
    int chosenIndex = -1;

    QTreeView* Table() const { return table; }
    QLabel* SummaryLabel() const { return summary; }
    QPushButton* EditButton() const { return editButton; }

    // Closes the window with the card of `row` (a row of the view's model) chosen.
    void ChooseRow(int row);
    // Whether strengths are still being estimated.
    bool Estimating() const { return estimation != nullptr; }
    // Hands the estimates finished so far to the rows (what the timer does).
    void TakeEstimates();

    void done(int result) override;

protected:
    void OnInitDialog() override;

private:
    void OnEditClicked();
    void EstimatesComplete();
    void StopEstimating();

    PasswordReport& report;
    StrengthEstimator estimator;
    std::unique_ptr<StrengthEstimation> estimation;
    QTimer estimateTimer;
    QTreeView* table;
    PasswordReportModel* model;
    QLabel* summary;
    QPushButton* editButton;
};

}  // namespace tessarel
