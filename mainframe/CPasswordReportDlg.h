#pragma once
// The Password Report window: one row per card that keeps a password (name, category, strength,
// estimated guesses, reuse count, age), sortable by any column, with a summary line. Activating a
// row (double-click or Enter) or "Edit Card" closes it with that card chosen; the frame then
// selects the card in the category tree and opens Edit Card on it. No password reaches the window.

#include "PasswordReportModel.h"
#include "cardstore/report/PasswordReport.h"
#include "framework/Dialog.h"

class QLabel;
class QPushButton;
class QTreeView;

namespace tessarel {

class CPasswordReportDlg : public Dialog {
    Q_OBJECT
public:
    using enum PasswordReportModel::Column;

    explicit CPasswordReportDlg(const PasswordReport& report, QWidget* parent = nullptr);

    // The card chosen when the window closed with OK: its category code and list index (-1: none).
    int chosenCode = -1;
    int chosenIndex = -1;

    QTreeView* Table() const { return table; }
    QLabel* SummaryLabel() const { return summary; }
    QPushButton* EditButton() const { return editButton; }

    // Closes the window with the card of `row` (a row of the view's model) chosen.
    void ChooseRow(int row);

protected:
    void OnInitDialog() override;

private:
    void OnEditClicked();

    const PasswordReport& report;
    QTreeView* table;
    PasswordReportModel* model;
    QLabel* summary;
    QPushButton* editButton;
};

}  // namespace tessarel
