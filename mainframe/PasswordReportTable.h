#pragma once
// The table of the Password Report window: a flat tree view of the report's rows, one selected
// at a time, sorted by clicking a column. While the strengths fill in, each batch changes rows
// spread over the whole report; a tree view answers such a range by measuring every row in it
// to find what to repaint (a tenth of a second for 100,000 rows, several times a second). A
// range longer than the window shows repaints the visible rows instead, which is what any such
// range comes to.

#include <QTreeView>

namespace tessarel {

class PasswordReportTable : public QTreeView {
    Q_OBJECT
public:
    explicit PasswordReportTable(QWidget* parent);

protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles = {}) override;
};

}  // namespace tessarel
