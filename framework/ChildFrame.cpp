#include "ChildFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <algorithm>

#include "Application.h"
#include "CommandIds.h"
#include "Document.h"
#include "View.h"

namespace tessarel {

ChildFrame::ChildFrame(Document& doc, DocTemplate& owner) : document(&doc), docTemplate(&owner) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    OnCommand(cmd::NextPane, [this] { MoveFocus(1); });
    OnCommand(cmd::PrevPane, [this] { MoveFocus(-1); });
}

ChildFrame::~ChildFrame() {
    for (View* view : views) {
        view->frame = nullptr;
        if (view->GetDocument()) view->GetDocument()->RemoveView(view);
    }
}

View* ChildFrame::GetActiveView() const {
    QWidget* focus = QApplication::focusWidget();
    for (View* view : views) {
        QWidget* widget = view->Widget();
        if (focus && widget && (focus == widget || widget->isAncestorOf(focus))) return view;
    }
    if (activeView && std::find(views.begin(), views.end(), activeView) != views.end()) return activeView;
    return views.empty() ? nullptr : views.front();
}

void ChildFrame::SetActiveView(View* view) {
    activeView = view;
    if (view && view->Widget() && isVisible()) view->Widget()->setFocus();
    if (auto* app = Application::Instance()) app->InvalidateCommandStates();
}

void ChildFrame::OnActivate() {}

void ChildFrame::AddFrameView(View* view) {
    views.push_back(view);
    view->frame = this;
    if (document) document->AddView(view);
}

void ChildFrame::DestroyFrame() {
    for (View* view : views)
        if (view->GetDocument()) view->GetDocument()->RemoveView(view);
    document = nullptr;
    if (mdiArea()) mdiArea()->removeSubWindow(this);
    hide();
    deleteLater();
    if (auto* app = Application::Instance()) app->InvalidateCommandStates();
}

void ChildFrame::closeEvent(QCloseEvent* event) {
    // Closing the last window of a document closes the document, after asking about changes.
    event->ignore();
    if (!document) return;
    if (document->GetFrames().size() > 1) {
        DestroyFrame();
        return;
    }
    if (document->SaveModified()) document->OnCloseDocument();
}

void ChildFrame::MoveFocus(int step) {
    if (views.empty()) return;
    auto current = std::find(views.begin(), views.end(), GetActiveView());
    long index = current == views.end() ? 0 : current - views.begin();
    long count = static_cast<long>(views.size());
    index = ((index + step) % count + count) % count;
    SetActiveView(views[static_cast<std::size_t>(index)]);
}

}  // namespace tessarel
