#pragma once
// The folder tree of the file encryption view: our namespace's top level, folders only, each
// folder listed when it is first expanded. Selecting a folder fills the file list beside it.

#include <QTreeWidget>
#include <optional>

#include "CPidl.h"
#include "framework/View.h"

namespace tessarel {

class CShellListView;

class CSHellView : public QTreeWidget, public View {
    Q_OBJECT
public:
    explicit CSHellView(QWidget* parent = nullptr);
    ~CSHellView() override;

    QWidget* Widget() override { return this; }
    void OnInitialUpdate() override;

    // Lists the current folder again in the file list; nothing when no folder was chosen yet.
    void RefreshFileList();
    const std::optional<CPidl>& CurrentFolder() const { return currentFolder; }

    // Opens the tree down to `path` and selects it, as a person clicking through it would.
    // False when the path is not under the top level or a folder on the way is missing.
    bool SelectFolderPath(const QString& path);

private:
    class FolderItem;
    void ListChildren(FolderItem* item);
    void OnExpanded(QTreeWidgetItem* item);
    void OnCurrentChanged(QTreeWidgetItem* current);
    CShellListView* ListView() const;

    std::optional<CPidl> currentFolder;
    bool listed = false;
};

}  // namespace tessarel
