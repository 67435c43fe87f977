#include "CPasswordReportDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "PasswordReportModel.h"

namespace tessarel {

CPasswordReportDlg::CPasswordReportDlg(const PasswordReport& report_, QWidget* parent) : Dialog(parent), report(report_) {
    setObjectName(QStringLiteral("PasswordReport"));
    setWindowTitle(QStringLiteral("Password Report"));
    auto* layout = new QVBoxLayout(this);
    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("Summary"));
    layout->addWidget(summary);
    table = new QTreeView(this);
    table->setObjectName(QStringLiteral("ReportTable"));
    model = new PasswordReportModel(report, table);
    table->setModel(model);
    table->setRootIsDecorated(false);
    table->setUniformRowHeights(true);
    table->setAllColumnsShowFocus(true);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Column widths from the first rows only: measuring 100,000 rows would take seconds.
    table->header()->setResizeContentsPrecision(200);
    layout->addWidget(table);
    auto* legend = new QLabel(QStringLiteral("Strength is zxcvbn's score from 0 to 4; below 3 is weak. Guesses are the estimated "
                                             "attempts an attacker needs. Reused counts the other cards with the same password."),
                              this);
    legend->setWordWrap(true);
    layout->addWidget(legend);
    auto* buttons = new QDialogButtonBox(this);
    editButton = buttons->addButton(QStringLiteral("&Edit Card"), QDialogButtonBox::ActionRole);
    editButton->setObjectName(QStringLiteral("EditCard"));
    editButton->setEnabled(false);
    QPushButton* close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("IDCANCEL"));
    layout->addWidget(buttons);
    // Enter on a row, and a double-click, choose that row's card.
    connect(table, &QTreeView::activated, this, [this](const QModelIndex& index) { ChooseRow(index.row()); });
    connect(editButton, &QPushButton::clicked, this, &CPasswordReportDlg::OnEditClicked);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPasswordReportDlg::OnCancel);
    resize(760, 440);
}

void CPasswordReportDlg::OnInitDialog() {
    summary->setText(QString::fromStdString(report.SummaryText()));
    // Weakest first: what the person came to see.
    table->setSortingEnabled(true);
    table->sortByColumn(StrengthColumn, Qt::AscendingOrder);
    table->header()->resizeSections(QHeaderView::ResizeToContents);
    if (model->rowCount() > 0) table->setCurrentIndex(model->index(0, NameColumn));
    editButton->setEnabled(model->rowCount() > 0);
    table->setFocus();
}

void CPasswordReportDlg::ChooseRow(int row) {
    const PasswordReportRow* chosen = model->RowAt(row);
    if (!chosen) return;
    chosenCode = chosen->categoryCode;
    chosenIndex = chosen->listIndex;
    OnOK();
}

void CPasswordReportDlg::OnEditClicked() {
    const QModelIndex current = table->currentIndex();
    if (current.isValid()) ChooseRow(current.row());
}

}  // namespace tessarel
