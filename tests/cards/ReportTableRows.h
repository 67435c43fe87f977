#pragma once
// The report window's table as text, for tests that compare what the person sees.

#include <QAbstractItemModel>
#include <QStringList>
#include <QTreeView>

#include "mainframe/CPasswordReportDlg.h"

namespace tessarel::test {

// Every row's cells in the order the view shows them, "|"-separated.
inline QStringList ReportTableRows(const CPasswordReportDlg& dialog) {
    QStringList rows;
    const QAbstractItemModel* model = dialog.Table()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column) cells << model->index(row, column).data().toString();
        rows << cells.join('|');
    }
    return rows;
}

}  // namespace tessarel::test
