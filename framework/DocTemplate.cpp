#include "DocTemplate.h"

#include <algorithm>

#include "Application.h"
#include "ChildFrame.h"
#include "Document.h"
#include "MdiFrame.h"
#include "View.h"

namespace tessarel {

DocTemplate::DocTemplate(int id, const QString& text, DocumentFactory documentFactory, FrameFactory frameFactory)
    : resourceId(id), strings(text.split('\n')), makeDocument(std::move(documentFactory)), makeFrame(std::move(frameFactory)) {}

DocTemplate::~DocTemplate() {
    for (Document* document : documents) document->docTemplate = nullptr;
}

QString DocTemplate::GetDocString(DocString index) const {
    int at = static_cast<int>(index);
    return at < strings.size() ? strings[at] : QString();
}

void DocTemplate::AddDocument(Document* document) {
    if (HasDocument(document)) return;
    if (document->docTemplate && document->docTemplate != this) document->docTemplate->RemoveDocument(document);
    documents.push_back(document);
    document->docTemplate = this;
}

void DocTemplate::RemoveDocument(Document* document) {
    auto found = std::find(documents.begin(), documents.end(), document);
    if (found == documents.end()) return;
    documents.erase(found);
    if (document->docTemplate == this) document->docTemplate = nullptr;
}

bool DocTemplate::HasDocument(const Document* document) const {
    return std::find(documents.begin(), documents.end(), document) != documents.end();
}

bool DocTemplate::MatchesExtension(const QString& path) const {
    if (matchPath) return matchPath(path);
    QString extension = GetDocString(FilterExt);
    return !extension.isEmpty() && path.endsWith(extension, Qt::CaseInsensitive);
}

void DocTemplate::SetDefaultTitle(Document& document) {
    QString name = GetDocString(DocName);
    if (name.isEmpty()) name = QStringLiteral("Untitled");
    document.SetTitle(name + QString::number(++untitledCount));
}

ChildFrame* DocTemplate::CreateNewFrame(Document& document) {
    if (!makeFrame) return nullptr;
    ChildFrame* frame = makeFrame(document);
    if (!frame) return nullptr;
    if (!frame->OnCreateClient()) {
        frame->DestroyFrame();
        return nullptr;
    }
    frame->setWindowTitle(document.GetTitle());
    if (auto* app = Application::Instance(); app && app->GetMainFrame()) app->GetMainFrame()->AddChild(frame);
    return frame;
}

void DocTemplate::InitialUpdateFrame(ChildFrame& frame, bool makeVisible) {
    for (View* view : frame.GetViews()) view->OnInitialUpdate();
    if (!makeVisible) return;
    frame.show();
    if (auto* app = Application::Instance(); app && app->GetMainFrame()) app->GetMainFrame()->ActivateChild(&frame);
}

Document* DocTemplate::OpenDocumentFile(const QString& path, bool makeVisible) {
    if (!makeDocument) return nullptr;
    std::unique_ptr<Document> owned = makeDocument();
    Document* document = owned.release();  // from here the document deletes itself on close
    AddDocument(document);
    ChildFrame* frame = CreateNewFrame(*document);
    if (!frame) {
        RemoveDocument(document);
        document->deleteLater();
        return nullptr;
    }
    bool ok;
    if (path.isEmpty()) {
        SetDefaultTitle(*document);
        ok = document->OnNewDocument();
    } else {
        ok = document->OnOpenDocument(path);
        if (ok) document->SetPathName(path);
    }
    if (!ok) {
        document->OnCloseDocument();
        return nullptr;
    }
    InitialUpdateFrame(*frame, makeVisible);
    return document;
}

}  // namespace tessarel
