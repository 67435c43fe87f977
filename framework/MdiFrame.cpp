#include "MdiFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <algorithm>

#include "Application.h"
#include "ChildFrame.h"
#include "CommandIds.h"
#include "DocTemplate.h"
#include "Document.h"
#include "WindowListMenu.h"

namespace tessarel {

MdiFrame::MdiFrame(QWidget* parent) : QMainWindow(parent), area(new QMdiArea(this)), updateTimer(new QTimer(this)) {
    setCentralWidget(area);
    setAcceptDrops(true);
    connect(area, &QMdiArea::subWindowActivated, this, &MdiFrame::ChildActivated);
    updateTimer->setSingleShot(true);
    updateTimer->setInterval(0);
    connect(updateTimer, &QTimer::timeout, this, &MdiFrame::UpdateCommandStates);
    focusConnection = connect(qApp, &QApplication::focusChanged, this, [this] { InvalidateCommandStates(); });

    Register(CommandTable{
        CommandRow::Checked(
            cmd::ViewToolbar, [this] {
                if (!mainToolbar) return;
                // The person's choice, kept apart from the bar's visibility: a window's activation
                // shows or hides the bar by the window's kind, never against this choice.
                toolbarWanted = !toolbarWanted;
                mainToolbar->setVisible(toolbarWanted);
            },
            [this] { return mainToolbar != nullptr; }, [this] { return mainToolbar && toolbarWanted; }),
        CommandRow::Checked(
            cmd::ViewStatusBar, [this] { statusBar()->setVisible(statusBar()->isHidden()); }, [] { return true; },
            [this] { return !statusBar()->isHidden(); }),
        CommandRow::When(cmd::WindowArrange, [this] { ArrangeIcons(); }, [this] { return GetActiveChild() != nullptr; }),
    });
}

MdiFrame::~MdiFrame() {
    // Child windows that close while the frame is being torn down move the focus; by then the
    // frame's own parts are gone, so the focus must no longer reach it.
    disconnect(focusConnection);
}

std::vector<ChildFrame*> MdiFrame::GetChildren() const {
    std::vector<ChildFrame*> children;
    for (QMdiSubWindow* window : area->subWindowList())
        if (auto* child = qobject_cast<ChildFrame*>(window)) children.push_back(child);
    return children;
}

ChildFrame* MdiFrame::GetActiveChild() const {
    std::vector<ChildFrame*> children = GetChildren();
    if (children.empty()) return nullptr;
    if (activeChild && std::find(children.begin(), children.end(), activeChild.data()) != children.end()) return activeChild;
    if (auto* current = qobject_cast<ChildFrame*>(area->currentSubWindow())) return current;
    return children.back();
}

void MdiFrame::AddChild(ChildFrame* child) {
    area->addSubWindow(child);
    // The child's own window menu carries the platform's keys (Ctrl+W closes it here), which would
    // make the frame's accelerators on the same keys ambiguous, so that neither runs. The frame's
    // accelerator table alone decides what a key does; the menu still works with the mouse.
    if (QMenu* windowMenu = child->systemMenu())
        for (QAction* action : windowMenu->actions()) action->setShortcut(QKeySequence());
}

void MdiFrame::ActivateChild(ChildFrame* child) {
    area->setActiveSubWindow(child);
    // The area activates only while its window is active; the command chain must follow anyway.
    if (activeChild != child) ChildActivated(child);
    InvalidateCommandStates();
}

void MdiFrame::ChildActivated(QMdiSubWindow* window) {
    auto* child = qobject_cast<ChildFrame*>(window);
    if (!child) return;
    activeChild = child;
    OnChildActivated(child);
    emit activeChildChanged(child);
    InvalidateCommandStates();
}

void MdiFrame::OnChildActivated(ChildFrame* child) { child->OnActivate(); }

QAction* MdiFrame::MakeAction(int id, const QString& text) {
    auto* action = new QAction(text, this);
    action->setData(id);
    // The id is read when the action fires: a toolbar button may be given another command.
    connect(action, &QAction::triggered, this, [action] {
        if (auto* app = Application::Instance()) app->ExecuteCommand(action->data().toInt());
    });
    actions[id].push_back(action);
    return action;
}

void MdiFrame::SetActionId(QAction* action, int id) {
    int old = action->data().toInt();
    auto& list = actions[old];
    list.erase(std::remove(list.begin(), list.end(), QPointer<QAction>(action)), list.end());
    action->setData(id);
    actions[id].push_back(action);
    InvalidateCommandStates();
}

QAction* MdiFrame::AddAccelerator(int id, const QKeySequence& key) {
    auto* action = new QAction(this);
    action->setData(id);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [id] {
        if (auto* app = Application::Instance()) app->ExecuteCommand(id);
    });
    addAction(action);
    accelerators.emplace_back(key, id);
    return action;
}

std::vector<QAction*> MdiFrame::ActionsFor(int id) const {
    std::vector<QAction*> found;
    auto entry = actions.find(id);
    if (entry != actions.end())
        for (const QPointer<QAction>& action : entry->second)
            if (action) found.push_back(action);
    return found;
}

void MdiFrame::SetMainToolbar(QToolBar* toolbar) {
    mainToolbar = toolbar;
    if (!toolbar) return;
    // The bar's own menu (a right click on the bars) is the person's choice as much as the View menu.
    connect(toolbar->toggleViewAction(), &QAction::triggered, this, [this](bool shown) {
        toolbarWanted = shown;
        InvalidateCommandStates();
    });
}

void MdiFrame::ShowMainToolbar(bool inUse) {
    if (mainToolbar) mainToolbar->setVisible(inUse && toolbarWanted);
}

void MdiFrame::RegisterMenu(int menuId, std::vector<QMenu*> menus) {
    for (QMenu* menu : menus) {
        connect(menu, &QMenu::aboutToShow, this, &MdiFrame::UpdateCommandStates);
        // The menu that holds Arrange Icons is the Window menu: it lists the open windows.
        const QList<QAction*> items = menu->actions();
        if (std::any_of(items.begin(), items.end(), [](QAction* item) { return item->data().toInt() == cmd::WindowArrange; }))
            windowLists.push_back(new WindowListMenu(*this, *menu));
    }
    menuSets[menuId] = std::move(menus);
}

void MdiFrame::SetDefaultMenu(int menuId) {
    defaultMenu = menuId;
    ShowMenuSet(menuId);
}

const std::vector<QMenu*>& MdiFrame::MenusOf(int menuId) const {
    static const std::vector<QMenu*> none;
    auto found = menuSets.find(menuId);
    return found == menuSets.end() ? none : found->second;
}

void MdiFrame::ShowMenuSet(int menuId) {
    if (menuId == currentMenu && !menuBar()->actions().isEmpty()) return;
    auto found = menuSets.find(menuId);
    if (found == menuSets.end()) return;
    menuBar()->clear();
    for (QMenu* menu : found->second) menuBar()->addMenu(menu);
    currentMenu = menuId;
}

void MdiFrame::InvalidateCommandStates() {
    if (!updateTimer->isActive()) updateTimer->start();
}

void MdiFrame::ApplyState(QAction* action, int id) {
    CommandState state = Application::Instance()->QueryCommand(id);
    action->setEnabled(state.enabled);
    if (state.checkable || action->isCheckable()) {
        action->setCheckable(true);
        action->setChecked(state.checked);
    }
    if (state.text) action->setText(*state.text);
    action->setVisible(!state.hidden);
}

void MdiFrame::UpdateCommandStates() {
    if (!Application::Instance()) return;
    ChildFrame* child = GetActiveChild();
    DocTemplate* owner = child ? child->GetDocTemplate() : nullptr;
    ShowMenuSet(owner ? owner->GetResourceId() : defaultMenu);
    UpdateFrameTitle();
    for (auto& [id, list] : actions)
        for (const QPointer<QAction>& action : list)
            if (action) ApplyState(action, id);
    for (WindowListMenu* windowList : windowLists) windowList->Rebuild();
}

void MdiFrame::UpdateFrameTitle() {
    QString title = Application::Instance() ? Application::Instance()->Title() : QString();
    ChildFrame* child = GetActiveChild();
    // A maximised child adds its own title to the caption ("Program - [Document]").
    if (child && child->isMaximized()) return;
    if (windowTitle() != title) setWindowTitle(title);
}

void MdiFrame::ArrangeIcons() {
    // Lines up the minimised children along the bottom edge of the area.
    int x = 0;
    for (QMdiSubWindow* window : area->subWindowList()) {
        if (!window->isMinimized()) continue;
        QSize size = window->size();
        window->move(x, area->viewport()->height() - size.height());
        x += size.width();
    }
}

namespace {

QStringList DroppedFiles(const QMimeData* data) {
    QStringList files;
    if (!data) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) files << url.toLocalFile();
    return files;
}

}  // namespace

void MdiFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MdiFrame::dropEvent(QDropEvent* event) {
    const QStringList files = DroppedFiles(event->mimeData());
    if (files.isEmpty()) return;
    event->acceptProposedAction();
    auto* app = Application::Instance();
    if (!app) return;
    activateWindow();
    for (const QString& file : files) app->GetDocManager().OpenDocumentFile(file);
}

void MdiFrame::closeEvent(QCloseEvent* event) {
    auto* app = Application::Instance();
    if (app && !app->CloseAllForExit()) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace tessarel
