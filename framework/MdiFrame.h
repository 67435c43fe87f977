#pragma once
// The main window of a multiple-document program: the area that holds the child frames, one
// QAction per menu item, toolbar button and accelerator (each carrying its command id), the menu
// set of the active document's template, and the update of command states.

#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <map>
#include <vector>

#include "CommandTarget.h"

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;

namespace tessarel {

class ChildFrame;
class WindowListMenu;

class MdiFrame : public QMainWindow, public CommandTarget {
    Q_OBJECT
public:
    explicit MdiFrame(QWidget* parent = nullptr);
    ~MdiFrame() override;

    QMdiArea* MdiArea() const { return area; }
    ChildFrame* GetActiveChild() const;
    std::vector<ChildFrame*> GetChildren() const;
    void AddChild(ChildFrame* child);
    void ActivateChild(ChildFrame* child);

    // A QAction that carries `id`; triggering it executes the command through the routing.
    QAction* MakeAction(int id, const QString& text);
    // Gives an action another command id (a toolbar button that changes its command).
    void SetActionId(QAction* action, int id);
    // An accelerator: a shortcut of the window that executes `id`.
    QAction* AddAccelerator(int id, const QKeySequence& key);
    const std::vector<std::pair<QKeySequence, int>>& Accelerators() const { return accelerators; }
    std::vector<QAction*> ActionsFor(int id) const;

    // Menu sets, named by resource number; the active child's template picks its set.
    void RegisterMenu(int menuId, std::vector<QMenu*> menus);
    void SetDefaultMenu(int menuId);
    int CurrentMenu() const { return currentMenu; }
    const std::vector<QMenu*>& MenusOf(int menuId) const;

    // The toolbar that the View/Toolbar command shows and hides.
    void SetMainToolbar(QToolBar* toolbar);
    // Whether the person wants the main toolbar (View > Toolbar, or the bar's own menu). The
    // frame hides the bar for reasons of its own at times (another kind of window, print
    // preview); when it brings the bar back it goes by this choice.
    bool MainToolbarWanted() const { return toolbarWanted; }
    // Shows the main toolbar when it is `inUse` and wanted; hides it otherwise.
    void ShowMainToolbar(bool inUse);

    // Asks every target in the chain about every action's id and applies the answers.
    void UpdateCommandStates();
    // Schedules UpdateCommandStates for the next pass of the event loop.
    void InvalidateCommandStates();

    // The caption: the program's title, with the active document's title when there is one.
    void UpdateFrameTitle();

signals:
    void activeChildChanged(ChildFrame* child);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Files dropped on the window are opened as File Open opens them.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    virtual void OnChildActivated(ChildFrame* child);
    void ShowMenuSet(int menuId);

private:
    void ChildActivated(QMdiSubWindow* window);
    void ApplyState(QAction* action, int id);
    void ArrangeIcons();

    QMdiArea* area;
    QPointer<ChildFrame> activeChild;
    std::map<int, std::vector<QPointer<QAction>>> actions;
    std::vector<std::pair<QKeySequence, int>> accelerators;
    std::map<int, std::vector<QMenu*>> menuSets;
    int defaultMenu = 0;
    int currentMenu = 0;
    QToolBar* mainToolbar = nullptr;
    bool toolbarWanted = true;
    std::vector<WindowListMenu*> windowLists;
    QTimer* updateTimer;
    QMetaObject::Connection focusConnection;
};

}  // namespace tessarel
