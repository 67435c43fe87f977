#include "CSHellView.h"

#include <QDir>
#include <QHeaderView>

#include "CShellListView.h"
#include "CShellNamespace.h"
#include "framework/ChildFrame.h"

namespace tessarel {

// A tree item owns the CPidl of its folder, so the item data lives exactly as long as the item.
class CSHellView::FolderItem : public QTreeWidgetItem {
public:
    explicit FolderItem(CPidl folder) : pidl(std::move(folder)) {
        setText(0, pidl.DisplayName());
        setIcon(0, pidl.SmallIcon());
        // Whether a folder has subfolders is found out when it is opened; looking ahead would
        // read every folder of a large listing.
        setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    CPidl pidl;
    bool expanded = false;
};

CSHellView::CSHellView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("CSHellView"));
    setColumnCount(1);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemExpanded, this, &CSHellView::OnExpanded);
    // Selection, not the current item: the view makes an item current when it first gets the
    // focus, and that is no choice of a folder.
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> chosen = selectedItems();
        if (!chosen.isEmpty()) OnCurrentChanged(chosen.front());
    });
}

CSHellView::~CSHellView() = default;

void CSHellView::OnInitialUpdate() {
    if (listed) return;
    listed = true;
    for (CPidl& top : CShellNamespace::TopLevel()) addTopLevelItem(new FolderItem(std::move(top)));
}

void CSHellView::ListChildren(FolderItem* item) {
    item->expanded = true;
    QList<QTreeWidgetItem*> children;
    for (CShellEntry& entry : CShellNamespace::Enumerate(item->pidl, true)) children.append(new FolderItem(std::move(entry.item)));
    if (children.isEmpty()) item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    item->addChildren(children);
}

void CSHellView::OnExpanded(QTreeWidgetItem* item) {
    auto* folder = static_cast<FolderItem*>(item);
    if (!folder->expanded) ListChildren(folder);
}

void CSHellView::OnCurrentChanged(QTreeWidgetItem* current) {
    if (!current) return;
    currentFolder = static_cast<FolderItem*>(current)->pidl;
    RefreshFileList();
}

CShellListView* CSHellView::ListView() const {
    // The list of this window: a document may show several file encryption windows.
    ChildFrame* window = GetParentFrame();
    if (!window) return nullptr;
    for (View* view : window->GetViews())
        if (auto* list = dynamic_cast<CShellListView*>(view)) return list;
    return nullptr;
}

void CSHellView::RefreshFileList() {
    if (!currentFolder) return;
    if (CShellListView* list = ListView()) list->FillList(*currentFolder);
}

bool CSHellView::SelectFolderPath(const QString& path) {
    const QString target = QDir::cleanPath(QDir(path).absolutePath());
    // The deepest top-level folder that holds the path (the home folder before the root).
    FolderItem* item = nullptr;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        auto* top = static_cast<FolderItem*>(topLevelItem(i));
        const QString base = top->pidl.ParsingPath();
        const bool holds = target == base || target.startsWith(base.endsWith(QLatin1Char('/')) ? base : base + QLatin1Char('/'));
        if (holds && (!item || base.size() > item->pidl.ParsingPath().size())) item = top;
    }
    if (!item) return false;
    const QString rest = target.mid(item->pidl.ParsingPath().size());
    for (const QString& name : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (!item->expanded) ListChildren(item);
        item->setExpanded(true);
        FolderItem* next = nullptr;
        for (int i = 0; i < item->childCount() && !next; ++i) {
            auto* child = static_cast<FolderItem*>(item->child(i));
            if (child->pidl.RelativeName() == name) next = child;
        }
        if (!next) return false;
        item = next;
    }
    if (item->isSelected())
        RefreshFileList();
    else
        setCurrentItem(item);
    scrollToItem(item);
    return true;
}

}  // namespace tessarel
