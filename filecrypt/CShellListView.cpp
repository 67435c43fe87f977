#include "CShellListView.h"

#include <QFile>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>

#include "CShellNamespace.h"
#include "FileEncryptionOperations.h"
#include "framework/Application.h"

namespace tessarel {

namespace {
enum Column { NameColumn, SizeColumn, TypeColumn, ModifiedColumn, ColumnCount };
const char* const kHeadings[ColumnCount] = {"Name", "Size", "Type", "Modified"};
const int kWidths[ColumnCount] = {100, 90, 100, 130};
const QString kFolderType = QStringLiteral("File Folder");
const QString kEncryptedType = QStringLiteral("Encrypted File");

QTreeWidgetItem* MakeRow(const CShellEntry& entry) {
    auto* row = new QTreeWidgetItem;
    row->setText(NameColumn, entry.item.DisplayName());
    row->setIcon(NameColumn, entry.item.SmallIcon());
    row->setText(TypeColumn, entry.item.TypeName());
    row->setData(NameColumn, CShellListView::kPathRole, entry.item.ParsingPath());
    if (!entry.item.IsFolder()) {
        row->setText(SizeColumn, CShellListView::SizeText(entry.size));
        row->setText(ModifiedColumn, CShellListView::TimeText(entry.modified));
    }
    return row;
}
}  // namespace

CShellListView::CShellListView(CFileEncryptionState& fileState, UserInterface& userInterface, QWidget* parent)
    : QTreeWidget(parent), state(fileState), ui(userInterface) {
    setObjectName(QStringLiteral("CShellListView"));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setUniformRowHeights(true);
    setWordWrap(false);
    setSortingEnabled(false);
    setColumnCount(0);
    header()->setSectionsClickable(false);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &CShellListView::OnSelectionChanged);
}

void CShellListView::OnInitialUpdate() {
    if (columnsInserted) return;
    columnsInserted = true;
    QStringList headings;
    for (const char* heading : kHeadings) headings << QString::fromLatin1(heading);
    setHeaderLabels(headings);
    const QFontMetrics metrics(header()->font());
    for (int column = 0; column < ColumnCount; ++column) setColumnWidth(column, metrics.horizontalAdvance(headings[column]) + 15);
    for (int column = 0; column < ColumnCount; ++column) setColumnWidth(column, kWidths[column]);
}

QString CShellListView::SizeText(qint64 bytes) { return QString::number(bytes) + QStringLiteral(" Bytes"); }

QString CShellListView::TimeText(const QDateTime& utc) {
    if (!utc.isValid()) return {};
    // "%y/%m/%d %H:%M %p" on the stored (universal) time; the hour stays on the 24-hour clock.
    const QDateTime time = utc.toUTC();
    const QDate date = time.date();
    const QTime clock = time.time();
    return QString::asprintf("%02d/%02d/%02d %02d:%02d %s", date.year() % 100, date.month(), date.day(), clock.hour(), clock.minute(),
                             clock.hour() < 12 ? "AM" : "PM");
}

void CShellListView::FillList(const CPidl& folder) {
    clear();
    const std::vector<CShellEntry> items = CShellNamespace::Enumerate(folder, false);
    // Rows are placed the way they always were: folders in the order they come, files after
    // them in reverse order; with the filter on, only encrypted files, in reverse order.
    QList<QTreeWidgetItem*> folders;
    QList<QTreeWidgetItem*> files;
    for (const CShellEntry& entry : items) {
        const bool isFolder = entry.item.IsFolder();
        if (state.showEncryptedOnly) {
            if (entry.item.TypeName() == kEncryptedType) files.prepend(MakeRow(entry));
        } else if (isFolder) {
            folders.append(MakeRow(entry));
        } else {
            files.prepend(MakeRow(entry));
        }
    }
    // One insertion for the whole folder keeps large folders quick.
    addTopLevelItems(folders + files);
}

QTreeWidgetItem* CShellListView::RowOf(const QString& path) const {
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (topLevelItem(i)->data(NameColumn, kPathRole).toString() == path) return topLevelItem(i);
    return nullptr;
}

void CShellListView::OnSelectionChanged() {
    const QList<QTreeWidgetItem*> rows = selectedItems();
    if (rows.isEmpty()) return;
    selectionHandled = true;
    OnChosen(rows.front());
}

void CShellListView::OnChosen(QTreeWidgetItem* row) {
    CFileEncryptionOperations operations(state, ui);
    if (row->text(TypeColumn) == kFolderType)
        operations.SelectFolder();
    else
        operations.SelectFile(QFile::encodeName(row->data(NameColumn, kPathRole).toString()).toStdString());
    StatesChanged();
}

void CShellListView::mousePressEvent(QMouseEvent* event) {
    selectionHandled = false;
    QTreeWidget::mousePressEvent(event);
    // Pressing the row already chosen chooses it again (the flags may have been cleared since).
    QTreeWidgetItem* row = itemAt(event->position().toPoint());
    if (row && row->isSelected() && !selectionHandled) OnChosen(row);
}

void CShellListView::focusOutEvent(QFocusEvent* event) {
    QTreeWidget::focusOutEvent(event);
    // A menu opening does not take the choice away; anything else that takes the focus does.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::MenuBarFocusReason) return;
    state.selectedIsPlain = false;
    state.selectedIsEncrypted = false;
    StatesChanged();
}

void CShellListView::StatesChanged() {
    if (auto* app = Application::Instance()) app->InvalidateCommandStates();
}

}  // namespace tessarel
