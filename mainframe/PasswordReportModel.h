#pragma once
// The rows of the Password Report window as a table model: the cells are made when the view asks
// for them and sorting reorders a vector of row numbers, so a report of 100,000 cards opens and
// sorts without an item object per cell. A strength not yet estimated shows "..." and sorts last.

#include <QAbstractTableModel>
#include <cstdint>
#include <span>
#include <vector>

#include "cardstore/report/PasswordReport.h"

namespace tessarel {

class PasswordReportModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, CategoryColumn, StrengthColumn, GuessesColumn, ReusedColumn, AgeColumn, ColumnCount };

    PasswordReportModel(const PasswordReport& report, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

    // The report row shown at `row` (nullptr outside).
    const PasswordReportRow* RowAt(int row) const;
    // The strength of these report rows has come in: their cells change.
    void RowsEstimated(std::span<const std::uint32_t> reportRows);

private:
    QString Text(const PasswordReportRow& row, int column) const;

    const PasswordReport& report;
    std::vector<int> order;    // shown row -> report row
    std::vector<int> shownAt;  // report row -> shown row
};

}  // namespace tessarel
