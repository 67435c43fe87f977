#pragma once
// The file list of the file encryption view: the items of one folder in four columns (Name, Size,
// Type, Modified), folders first. Choosing a row sets the file encryption state through the
// core's checks, with their messages; losing the keyboard focus clears the Encrypt and Decrypt
// flags until a row is chosen again.

#include <QTreeWidget>

#include "framework/View.h"

namespace tessarel {

class CFileEncryptionState;
class CPidl;
class UserInterface;

class CShellListView : public QTreeWidget, public View {
    Q_OBJECT
public:
    static constexpr int kPathRole = Qt::UserRole;

    CShellListView(CFileEncryptionState& state, UserInterface& ui, QWidget* parent = nullptr);

    QWidget* Widget() override { return this; }
    void OnInitialUpdate() override;

    // Lists the items of `folder`, following the filter of the state.
    void FillList(const CPidl& folder);

    // The texts of the Size and Modified columns.
    static QString SizeText(qint64 bytes);
    static QString TimeText(const QDateTime& utc);

    // The row whose parsing path is `path`, or nullptr.
    QTreeWidgetItem* RowOf(const QString& path) const;

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void OnSelectionChanged();
    void OnChosen(QTreeWidgetItem* row);
    void StatesChanged();

    CFileEncryptionState& state;
    UserInterface& ui;
    bool columnsInserted = false;
    bool selectionHandled = false;
};

}  // namespace tessarel
