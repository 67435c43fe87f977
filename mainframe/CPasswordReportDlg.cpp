#include "CPasswordReportDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

#include "cardstore/CategoryTable.h"
#include "views/CardText.h"

namespace tessarel {
namespace {

// The columns sort by numbers kept beside the shown text, so "10 days" comes before "9 years".
constexpr int kSortRole = Qt::UserRole + 1;
constexpr int kCodeRole = Qt::UserRole + 2;
constexpr int kIndexRole = Qt::UserRole + 3;

QStandardItem* Cell(const QString& text, const QVariant& sortKey) {
    auto* item = new QStandardItem(text);
    item->setData(sortKey, kSortRole);
    item->setEditable(false);
    return item;
}

QString StrengthText(const PasswordReportRow& row) {
    if (row.empty) return QStringLiteral("0 (empty)");
    static const char* const kWords[] = {"very weak", "weak", "fair", "strong", "very strong"};
    return QStringLiteral("%1 (%2)").arg(row.strength.score).arg(QString::fromLatin1(kWords[row.strength.score]));
}

QString AgeText(const PasswordReportRow& row) {
    if (!row.ageKnown) return QStringLiteral("unknown");
    QString text = row.ageDays == 1 ? QStringLiteral("1 day") : QStringLiteral("%1 days").arg(row.ageDays);
    return row.old ? text + QStringLiteral(" (old)") : text;
}

}  // namespace

CPasswordReportDlg::CPasswordReportDlg(const PasswordReport& report_, QWidget* parent) : Dialog(parent), report(report_) {
    setObjectName(QStringLiteral("PasswordReport"));
    setWindowTitle(QStringLiteral("Password Report"));
    auto* layout = new QVBoxLayout(this);
    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("Summary"));
    layout->addWidget(summary);
    table = new QTreeView(this);
    table->setObjectName(QStringLiteral("ReportTable"));
    model = new QStandardItemModel(0, ColumnCount, table);
    model->setSortRole(kSortRole);
    model->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Category"), QStringLiteral("Strength"),
                                      QStringLiteral("Guesses"), QStringLiteral("Reused"), QStringLiteral("Age")});
    // Every column starts ascending when first clicked, whatever the style prefers.
    for (int column = 0; column < ColumnCount; ++column) model->setHeaderData(column, Qt::Horizontal, Qt::AscendingOrder, Qt::InitialSortOrderRole);
    table->setModel(model);
    table->setRootIsDecorated(false);
    table->setUniformRowHeights(true);
    table->setAllColumnsShowFocus(true);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSortingEnabled(true);
    table->header()->setSortIndicatorShown(true);
    table->header()->setSectionsClickable(true);
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
    FillModel();
    summary->setText(QString::fromStdString(report.SummaryText()));
    // Weakest first: what the person came to see.
    table->sortByColumn(StrengthColumn, Qt::AscendingOrder);
    table->header()->resizeSections(QHeaderView::ResizeToContents);
    if (model->rowCount() > 0) table->setCurrentIndex(model->index(0, NameColumn));
    editButton->setEnabled(model->rowCount() > 0);
    table->setFocus();
}

void CPasswordReportDlg::FillModel() {
    model->setRowCount(0);
    for (const PasswordReportRow& row : report.Rows()) {
        const std::string_view category = CategoryName(row.categoryCode);
        QList<QStandardItem*> cells{
            Cell(CardTextToQString(row.name), CardTextToQString(row.name).toCaseFolded()),
            Cell(QString::fromLatin1(category.data(), static_cast<qsizetype>(category.size())), row.categoryCode),
            Cell(StrengthText(row), row.strength.guessesLog10),
            Cell(row.empty ? QStringLiteral("-") : QStringLiteral("10^%1").arg(row.strength.guessesLog10, 0, 'f', 1), row.strength.guessesLog10),
            Cell(row.Reused() ? QString::number(row.reusedBy) : QString(), row.reusedBy),
            Cell(AgeText(row), row.ageKnown ? QVariant(static_cast<qlonglong>(row.ageDays)) : QVariant(-1LL)),
        };
        cells[NameColumn]->setData(row.categoryCode, kCodeRole);
        cells[NameColumn]->setData(row.listIndex, kIndexRole);
        if (row.Weak()) cells[StrengthColumn]->setForeground(QColor(170, 0, 0));
        if (row.Reused()) cells[ReusedColumn]->setForeground(QColor(170, 0, 0));
        model->appendRow(cells);
    }
}

void CPasswordReportDlg::ChooseRow(int row) {
    const QModelIndex name = model->index(row, NameColumn);
    if (!name.isValid()) return;
    chosenCode = name.data(kCodeRole).toInt();
    chosenIndex = name.data(kIndexRole).toInt();
    OnOK();
}

void CPasswordReportDlg::OnEditClicked() {
    const QModelIndex current = table->currentIndex();
    if (current.isValid()) ChooseRow(current.row());
}

}  // namespace tessarel
