#pragma once
// A document window inside the main frame. It owns its views and knows which is active; commands
// reach it first, then its active view, then that view's document.

#include <QMdiSubWindow>
#include <vector>

#include "CommandTarget.h"

class QSplitter;

namespace tessarel {

class Document;
class DocTemplate;
class View;

class ChildFrame : public QMdiSubWindow, public CommandTarget {
    Q_OBJECT
public:
    ChildFrame(Document& document, DocTemplate& docTemplate);
    ~ChildFrame() override;

    Document* GetDocument() const { return document; }
    DocTemplate* GetDocTemplate() const { return docTemplate; }
    const std::vector<View*>& GetViews() const { return views; }
    // The view holding the keyboard focus, else the one made active last, else the first.
    View* GetActiveView() const;
    void SetActiveView(View* view);

    // Builds the client area and its views; false makes the frame unusable.
    virtual bool OnCreateClient() = 0;
    // Called when the frame becomes the active child.
    virtual void OnActivate();
    // True while the window holds `id` back whatever the rest of the chain would say (a card
    // window whose file is locked holds back every command that needs its cards).
    virtual bool HoldsBack(int id) const;

    // Closes the window as the person asked for it. The last window of the document's own kind
    // closes the document, after "Save changes to %1?" when it is modified, and with it any
    // other window on it (a tool window entered from the document), so that no document stays
    // loaded without a window. False when the person cancelled: nothing closed.
    bool CloseFrame();

    // Detaches the views from the document and destroys the window (later, safely). The caller
    // sees to the document; a window the person closes goes through CloseFrame.
    void DestroyFrame();

protected:
    void AddFrameView(View* view);
    // The two-pane client area of the program's windows: a horizontal splitter (whose panes
    // cannot be collapsed away) to make the two views in, then the views side by side filling the
    // window (or `content`, a widget that holds the splitter, when one is given), both views of
    // it, the left one active.
    QSplitter* MakePaneSplitter();
    void ShowSideBySide(QSplitter* splitter, View* left, View* right, QWidget* content = nullptr);
    void closeEvent(QCloseEvent* event) override;
    void MoveFocus(int step);

private:
    Document* document;
    DocTemplate* docTemplate;
    std::vector<View*> views;
    View* activeView = nullptr;
};

}  // namespace tessarel
