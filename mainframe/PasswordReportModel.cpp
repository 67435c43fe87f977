#include "PasswordReportModel.h"

#include <QColor>
#include <algorithm>
#include <limits>

#include "cardstore/CategoryTable.h"
#include "mainframe/dialogs/CardText.h"

namespace tessarel {
namespace {

// Shown in the strength and guesses cells until the estimate is in.
const QString kPending = QStringLiteral("...");

QString StrengthText(const PasswordReportRow& row) {
    if (row.empty) return QStringLiteral("0 (empty)");
    if (!row.estimated) return kPending;
    static const char* const kWords[] = {"very weak", "weak", "fair", "strong", "very strong"};
    return QStringLiteral("%1 (%2)").arg(row.strength.score).arg(QString::fromLatin1(kWords[row.strength.score]));
}

QString AgeText(const PasswordReportRow& row) {
    if (!row.ageKnown) return QStringLiteral("unknown");
    QString text = row.ageDays == 1 ? QStringLiteral("1 day") : QStringLiteral("%1 days").arg(row.ageDays);
    return row.old ? text + QStringLiteral(" (old)") : text;
}

// Estimates still being made sort after every estimate in (last when weakest comes first).
double GuessesKey(const PasswordReportRow& row) { return row.estimated ? row.strength.guessesLog10 : std::numeric_limits<double>::infinity(); }

// The order of a column other than the name: numbers by value (so "10 days" comes before "900
// days"); unknown ages sort first.
bool Before(const PasswordReportRow& a, const PasswordReportRow& b, int column) {
    switch (column) {
        case PasswordReportModel::CategoryColumn:
            return CategoryName(a.categoryCode) < CategoryName(b.categoryCode);
        case PasswordReportModel::StrengthColumn:
        case PasswordReportModel::GuessesColumn:
            return GuessesKey(a) < GuessesKey(b);
        case PasswordReportModel::ReusedColumn:
            return a.reusedBy < b.reusedBy;
        default:
            return (a.ageKnown ? a.ageDays : -1) < (b.ageKnown ? b.ageDays : -1);
    }
}

}  // namespace

PasswordReportModel::PasswordReportModel(const PasswordReport& report_, QObject* parent) : QAbstractTableModel(parent), report(report_) {
    order.resize(report.Rows().size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    shownAt = order;
}

void PasswordReportModel::RowsEstimated(std::span<const std::uint32_t> reportRows) {
    if (reportRows.empty()) return;
    int first = rowCount();
    int last = -1;
    for (const std::uint32_t row : reportRows) {
        if (row >= shownAt.size()) continue;
        first = std::min(first, shownAt[row]);
        last = std::max(last, shownAt[row]);
    }
    if (last >= first) emit dataChanged(index(first, StrengthColumn), index(last, GuessesColumn));
}

int PasswordReportModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : static_cast<int>(order.size()); }

int PasswordReportModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

const PasswordReportRow* PasswordReportModel::RowAt(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= order.size()) return nullptr;
    return &report.Rows()[static_cast<std::size_t>(order[static_cast<std::size_t>(row)])];
}

QString PasswordReportModel::Text(const PasswordReportRow& row, int column) const {
    switch (column) {
        case NameColumn:
            return CardTextToQString(row.name);
        case CategoryColumn: {
            const std::string_view name = CategoryName(row.categoryCode);
            return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
        }
        case StrengthColumn:
            return StrengthText(row);
        case GuessesColumn:
            if (row.empty) return QStringLiteral("-");
            return row.estimated ? QStringLiteral("10^%1").arg(row.strength.guessesLog10, 0, 'f', 1) : kPending;
        case ReusedColumn:
            return row.Reused() ? QString::number(row.reusedBy) : QString();
        default:
            return AgeText(row);
    }
}

QVariant PasswordReportModel::data(const QModelIndex& index, int role) const {
    const PasswordReportRow* row = index.isValid() ? RowAt(index.row()) : nullptr;
    if (!row) return {};
    if (role == Qt::DisplayRole) return Text(*row, index.column());
    if (role == Qt::ForegroundRole &&
        ((index.column() == StrengthColumn && row->estimated && row->Weak()) || (index.column() == ReusedColumn && row->Reused())))
        return QColor(170, 0, 0);
    return {};
}

QVariant PasswordReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    // Every column starts ascending when first clicked, whatever the style prefers.
    if (role == Qt::InitialSortOrderRole) return Qt::AscendingOrder;
    if (role != Qt::DisplayRole) return {};
    static const char* const kTitles[] = {"Name", "Category", "Strength", "Guesses", "Reused", "Age"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(kTitles[section]) : QVariant();
}

void PasswordReportModel::sort(int column, Qt::SortOrder sortOrder) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    const std::vector<int> oldOrder = order;
    const auto& rows = report.Rows();
    // Names are converted and folded once, not in every comparison.
    std::vector<QString> names;
    if (column == NameColumn)
        for (const auto& row : rows) names.push_back(CardTextToQString(row.name).toCaseFolded());
    const auto less = [&](int a, int b) {
        if (column == NameColumn) return names[static_cast<std::size_t>(a)] < names[static_cast<std::size_t>(b)];
        return Before(rows[static_cast<std::size_t>(a)], rows[static_cast<std::size_t>(b)], column);
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return sortOrder == Qt::AscendingOrder ? less(a, b) : less(b, a); });
    for (std::size_t shown = 0; shown < order.size(); ++shown) shownAt[static_cast<std::size_t>(order[shown])] = static_cast<int>(shown);
    QModelIndexList after;
    for (const QModelIndex& index : before)
        after << this->index(shownAt[static_cast<std::size_t>(oldOrder[static_cast<std::size_t>(index.row())])], index.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace tessarel
