#include "PasswordReportTable.h"

#include <QHeaderView>
#include <algorithm>

namespace tessarel {

PasswordReportTable::PasswordReportTable(QWidget* parent) : QTreeView(parent) {
    setObjectName(QStringLiteral("ReportTable"));
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Column widths from the first rows only: measuring 100,000 rows would take seconds.
    header()->setResizeContentsPrecision(200);
}

void PasswordReportTable::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) {
    if (!topLeft.isValid() || !bottomRight.isValid()) {
        QTreeView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    // At least the rows the viewport can hold (no row is lower than a line of text); a shorter
    // range is measured as usual. Asking the view for a row's height would search for the row.
    const int visibleRows = viewport()->height() / std::max(1, fontMetrics().lineSpacing()) + 2;
    if (bottomRight.row() - topLeft.row() <= visibleRows) {
        QTreeView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    // No cell of the table is edited, so there is no editor to update: only the picture.
    viewport()->update();
}

}  // namespace tessarel
