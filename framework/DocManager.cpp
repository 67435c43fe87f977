#include "DocManager.h"

#include <QFileInfo>

#include "Application.h"
#include "ChildFrame.h"
#include "DialogHost.h"
#include "DocTemplate.h"
#include "Document.h"
#include "MdiFrame.h"

namespace tessarel {

DocManager::DocManager() = default;

DocManager::~DocManager() = default;

DocTemplate* DocManager::AddDocTemplate(std::unique_ptr<DocTemplate> docTemplate) {
    templates.push_back(std::move(docTemplate));
    return templates.back().get();
}

std::vector<Document*> DocManager::GetDocuments() const {
    std::vector<Document*> all;
    for (const auto& docTemplate : templates)
        for (Document* document : docTemplate->GetDocuments()) all.push_back(document);
    return all;
}

Document* DocManager::OnFileNew() {
    // New makes a document of the first template that has a name for new documents.
    for (const auto& docTemplate : templates)
        if (!docTemplate->GetDocString(DocTemplate::FileNewName).isEmpty()) return docTemplate->OpenDocumentFile(QString());
    return nullptr;
}

QStringList DocManager::OpenFilters() const {
    QStringList filters;
    for (const auto& docTemplate : templates) {
        QString filter = docTemplate->GetDocString(DocTemplate::FilterName);
        if (!filter.isEmpty()) filters << filter;
    }
    filters << QStringLiteral("All Files (*)");
    return filters;
}

Document* DocManager::OnFileOpen() {
    FileDialogRequest request;
    request.parent = Application::Instance() ? Application::Instance()->GetMainFrame() : nullptr;
    request.caption = QStringLiteral("Open");
    request.filters = OpenFilters();
    std::optional<QString> path = Dialogs().AskOpenFileName(request);
    if (!path) return nullptr;
    return OpenDocumentFile(*path);
}

DocTemplate* DocManager::TemplateFor(const QString& path) const {
    for (const auto& docTemplate : templates)
        if (docTemplate->MatchesExtension(path)) return docTemplate.get();
    // A file of no known type is tried with the first template; its reader decides.
    return templates.empty() ? nullptr : templates.front().get();
}

Document* DocManager::OpenDocumentFile(const QString& path) {
    QString full = QFileInfo(path).absoluteFilePath();
    for (Document* document : GetDocuments())
        if (document->GetPathName() == full) return ShowDocument(*document);
    DocTemplate* docTemplate = TemplateFor(full);
    if (!docTemplate) return nullptr;
    return docTemplate->OpenDocumentFile(full);
}

Document* DocManager::ShowDocument(Document& document) {
    // A window of the document's own kind shows it; a tool window on it (or none) does not, and
    // then one is made from its template.
    DocTemplate* own = document.GetDocTemplate();
    for (ChildFrame* frame : document.GetFrames()) {
        if (frame->GetDocTemplate() != own) continue;
        if (Application::Instance() && Application::Instance()->GetMainFrame()) Application::Instance()->GetMainFrame()->ActivateChild(frame);
        return &document;
    }
    if (own)
        if (ChildFrame* frame = own->CreateNewFrame(document)) own->InitialUpdateFrame(*frame);
    return &document;
}

Document* DocManager::OpenRecentFile(int index) {
    QString path = recentFiles.At(index);
    if (path.isEmpty()) return nullptr;
    Document* document = OpenDocumentFile(path);
    // An entry that cannot be opened leaves the list.
    if (!document) recentFiles.Remove(static_cast<int>(recentFiles.Entries().indexOf(path)));
    return document;
}

bool DocManager::SaveAllModified() {
    for (Document* document : GetDocuments())
        if (!document->SaveModified()) return false;
    return true;
}

void DocManager::CloseAllDocuments() {
    for (Document* document : GetDocuments()) document->OnCloseDocument();
}

}  // namespace tessarel
