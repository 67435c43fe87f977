#include "ChildFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QSplitter>
#include <algorithm>

#include "Application.h"
#include "CommandIds.h"
#include "Document.h"
#include "View.h"

namespace tessarel {

ChildFrame::ChildFrame(Document& doc, DocTemplate& owner) : document(&doc), docTemplate(&owner) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    Register(CommandTable{
        CommandRow::Always(cmd::NextPane, [this] { MoveFocus(1); }),
        CommandRow::Always(cmd::PrevPane, [this] { MoveFocus(-1); }),
    });
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

bool ChildFrame::HoldsBack(int) const { return false; }

void ChildFrame::AddFrameView(View* view) {
    views.push_back(view);
    view->frame = this;
    if (document) document->AddView(view);
}

QSplitter* ChildFrame::MakePaneSplitter() {
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    return splitter;
}

void ChildFrame::ShowSideBySide(QSplitter* splitter, View* left, View* right, QWidget* content) {
    splitter->addWidget(left->Widget());
    splitter->addWidget(right->Widget());
    setWidget(content ? content : splitter);
    AddFrameView(left);
    AddFrameView(right);
    SetActiveView(left);
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

bool ChildFrame::CloseFrame() {
    if (!document) return true;
    const DocTemplate* own = document->GetDocTemplate();
    const std::vector<ChildFrame*> frames = document->GetFrames();
    const bool anotherOfItsKind = std::any_of(frames.begin(), frames.end(), [this, own](const ChildFrame* frame) {
        return frame != this && frame->GetDocTemplate() == own;
    });
    // A tool window, or one of several windows of the document's kind: only this window goes.
    if (frames.size() > 1 && (docTemplate != own || anotherOfItsKind)) {
        DestroyFrame();
        return true;
    }
    if (!document->SaveModified()) return false;
    document->OnCloseDocument();
    return true;
}

void ChildFrame::closeEvent(QCloseEvent* event) {
    // The window goes (or stays) through CloseFrame; the event itself never closes it.
    event->ignore();
    CloseFrame();
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
