#include "CPasswordReportDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <cstdint>
#include <vector>

#include "PasswordReportModel.h"
#include "PasswordReportTable.h"

namespace tessarel {

namespace {

// How often finished estimates are handed to the rows: often enough to watch them fill, seldom
// enough that the repaints cost nothing next to the estimates.
constexpr int kEstimateBatchMs = 50;
// Up to this many passwords (about 10 ms of zxcvbn) are estimated before the window shows.
constexpr std::size_t kEstimatedBeforeOpening = 256;

}  // namespace

CPasswordReportDlg::CPasswordReportDlg(PasswordReport& report_, QWidget* parent, StrengthEstimator estimator_)
    : Dialog(parent), report(report_), estimator(std::move(estimator_)) {
    setObjectName(QStringLiteral("PasswordReport"));
    setWindowTitle(QStringLiteral("Password Report"));
    auto* layout = new QVBoxLayout(this);
    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("Summary"));
    layout->addWidget(summary);
    table = new PasswordReportTable(this);
    model = new PasswordReportModel(report, table);
    table->setModel(model);
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
    estimateTimer.setInterval(kEstimateBatchMs);
    connect(&estimateTimer, &QTimer::timeout, this, &CPasswordReportDlg::TakeEstimates);
    resize(760, 440);
}

CPasswordReportDlg::~CPasswordReportDlg() { StopEstimating(); }

void CPasswordReportDlg::OnInitDialog() {
    if (!report.Complete() && !estimation) {
        estimation = std::make_unique<StrengthEstimation>(report.EstimateCards(), estimator);
        // A few estimates take less time than the window takes to appear: a small report opens
        // complete, sorted weakest first.
        if (report.GroupCount() <= kEstimatedBeforeOpening) estimation->Wait();
        TakeEstimates();
        if (estimation) estimateTimer.start();
    }
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

void CPasswordReportDlg::TakeEstimates() {
    if (!estimation) return;
    // The rows of the whole batch change at once: one repaint, not one per group.
    std::vector<std::uint32_t> changed;
    for (const EstimatedGroup& done : estimation->TakeFinished()) {
        report.SetStrength(done.group, done.strength);
        const std::span<const std::uint32_t> rows = report.GroupRows(done.group);
        changed.insert(changed.end(), rows.begin(), rows.end());
    }
    model->RowsEstimated(changed);
    if (report.Complete()) EstimatesComplete();
    summary->setText(QString::fromStdString(report.SummaryText()));
}

void CPasswordReportDlg::EstimatesComplete() {
    StopEstimating();
    // An order by strength put every row still estimating last: it is made again with all of
    // them in. Any other order does not depend on the strengths.
    const int column = table->header()->sortIndicatorSection();
    if (!table->isSortingEnabled() || (column != StrengthColumn && column != GuessesColumn)) return;
    const bool firstWasCurrent = table->currentIndex().row() == 0;
    table->sortByColumn(column, table->header()->sortIndicatorOrder());
    // The row the window opened on (the first) stays the one chosen; a row the person chose
    // stays chosen wherever it moved.
    if (firstWasCurrent) table->setCurrentIndex(model->index(0, NameColumn));
}

void CPasswordReportDlg::StopEstimating() {
    estimateTimer.stop();
    estimation.reset();
}

void CPasswordReportDlg::done(int result) {
    // Before the caller can learn that the window closed: no worker reads a card after.
    StopEstimating();
    Dialog::done(result);
}

void CPasswordReportDlg::OnEditClicked() {
    const QModelIndex current = table->currentIndex();
    if (current.isValid()) ChooseRow(current.row());
}

}  // namespace tessarel
