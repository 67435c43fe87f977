#include "Document.h"

#include <QFileInfo>
#include <algorithm>

#include "Application.h"
#include "ChildFrame.h"
#include "CommandIds.h"
#include "DialogHost.h"
#include "DocTemplate.h"
#include "MdiFrame.h"
#include "View.h"

namespace tessarel {

namespace {

void Tell(const QString& text) {
    Dialogs().ShowMessage(Message{text.toStdString(), {}, MessageButtons::Ok, MessageIcon::Warning, MessageOwner::MainWindow});
}

}  // namespace

Document::Document() {
    Register(CommandTable{
        CommandRow::Always(cmd::FileClose, [this] {
            if (SaveModified()) OnCloseDocument();
        }),
        CommandRow::Always(cmd::FileSave, [this] { DoFileSave(); }),
        CommandRow::Always(cmd::FileSaveAs, [this] { DoSave(QString(), true); }),
    });
}

Document::~Document() {
    for (View* view : views) view->document = nullptr;
    if (docTemplate) docTemplate->RemoveDocument(this);
}

void Document::SetModifiedFlag(bool on) {
    if (modified == on) return;
    modified = on;
    emit modifiedChanged(on);
    if (auto* app = Application::Instance()) app->InvalidateCommandStates();
}

void Document::SetPathName(const QString& path, bool addToRecentFiles) {
    pathName = QFileInfo(path).absoluteFilePath();
    SetTitle(QFileInfo(path).fileName());
    if (addToRecentFiles) {
        if (auto* app = Application::Instance()) app->GetDocManager().RecentFiles().Add(pathName);
    }
}

void Document::SetTitle(const QString& newTitle) {
    title = newTitle;
    for (ChildFrame* frame : GetFrames()) frame->setWindowTitle(title);
    emit titleChanged(title);
    if (auto* app = Application::Instance(); app && app->GetMainFrame()) app->GetMainFrame()->UpdateFrameTitle();
}

std::vector<ChildFrame*> Document::GetFrames() const {
    std::vector<ChildFrame*> frames;
    for (View* view : views)
        if (view->frame && std::find(frames.begin(), frames.end(), view->frame) == frames.end()) frames.push_back(view->frame);
    return frames;
}

void Document::AddView(View* view) {
    if (std::find(views.begin(), views.end(), view) != views.end()) return;
    if (view->document) view->document->RemoveView(view);
    views.push_back(view);
    view->document = this;
}

void Document::RemoveView(View* view) {
    auto found = std::find(views.begin(), views.end(), view);
    if (found == views.end()) return;
    views.erase(found);
    view->document = nullptr;
}

void Document::UpdateAllViews(View* sender, int hint, const UpdateHint* hintObject) {
    // Copy: a view may change the list while it updates.
    std::vector<View*> current = views;
    for (View* view : current)
        if (view != sender) view->OnUpdate(sender, hint, hintObject);
    if (auto* app = Application::Instance()) app->InvalidateCommandStates();
}

bool Document::OnNewDocument() {
    DeleteContents();
    pathName.clear();
    SetModifiedFlag(false);
    return true;
}

bool Document::OnOpenDocument(const QString& path) {
    DeleteContents();
    SetModifiedFlag(true);  // dirty while the contents are half read
    if (!ReadDocument(path)) {
        Tell(QStringLiteral("Failed to open document."));
        DeleteContents();
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool Document::OnSaveDocument(const QString& path) {
    if (!WriteDocument(path)) {
        Tell(QStringLiteral("Failed to save document."));
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

void Document::OnCloseDocument() {
    if (closing) return;
    closing = true;
    for (ChildFrame* frame : GetFrames()) frame->DestroyFrame();
    DeleteContents();
    if (docTemplate) docTemplate->RemoveDocument(this);
    if (auto* app = Application::Instance()) app->InvalidateCommandStates();
    deleteLater();
}

void Document::DeleteContents() {}

bool Document::SaveModified() {
    if (!IsModified()) return true;
    QString name = pathName.isEmpty() ? title : pathName;
    Message question{QStringLiteral("Save changes to %1?").arg(name).toStdString(), {}, MessageButtons::YesNoCancel,
                     MessageIcon::Warning, MessageOwner::MainWindow};
    switch (Dialogs().ShowMessage(question)) {
        case MessageAnswer::Yes: return DoFileSave();
        case MessageAnswer::No: return true;
        default: return false;
    }
}

bool Document::DoFileSave() { return DoSave(pathName, pathName.isEmpty()); }

bool Document::DoSave(const QString& path, bool askForPath) {
    QString target = path;
    if (askForPath || target.isEmpty()) {
        FileDialogRequest request;
        request.parent = Application::Instance() ? Application::Instance()->GetMainFrame() : nullptr;
        request.caption = QStringLiteral("Save As");
        QString extension;
        if (docTemplate) {
            extension = docTemplate->GetDocString(DocTemplate::FilterExt);
            QString filter = docTemplate->GetDocString(DocTemplate::FilterName);
            if (!filter.isEmpty()) request.filters << filter;
        }
        request.filters << QStringLiteral("All Files (*)");
        request.defaultSuffix = extension.startsWith('.') ? extension.mid(1) : extension;
        // Propose the current name with this template's extension.
        QString proposal = pathName.isEmpty() ? title : pathName;
        if (!extension.isEmpty() && !proposal.endsWith(extension, Qt::CaseInsensitive) && QFileInfo(proposal).suffix().isEmpty())
            proposal += extension;
        request.initialPath = proposal;
        std::optional<QString> chosen = Dialogs().AskSaveFileName(request);
        if (!chosen) return false;
        target = *chosen;
        if (!request.defaultSuffix.isEmpty() && QFileInfo(target).suffix().isEmpty()) target += extension;
    }
    if (!OnSaveDocument(target)) return false;
    SetPathName(target);
    return true;
}

bool Document::ReadDocument(const QString&) { return false; }

bool Document::WriteDocument(const QString&) { return false; }

}  // namespace tessarel
