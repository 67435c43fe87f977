#pragma once
// The document manager: owns the templates in registration order and runs the standard file
// commands New and Open, the recent-file list, and the closing of every document at exit.

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "RecentFileList.h"

namespace tessarel {

class DocTemplate;
class Document;

class DocManager {
public:
    DocManager();
    ~DocManager();

    DocTemplate* AddDocTemplate(std::unique_ptr<DocTemplate> docTemplate);
    const std::vector<std::unique_ptr<DocTemplate>>& GetTemplates() const { return templates; }
    std::vector<Document*> GetDocuments() const;

    Document* OnFileNew();
    Document* OnFileOpen();
    // Opens `path`, or shows the document that already holds it (ShowDocument).
    Document* OpenDocumentFile(const QString& path);
    // Activates a window of the document's own kind, making one when it has none.
    Document* ShowDocument(Document& document);
    Document* OpenRecentFile(int index);

    // "Save changes to %1?" for every modified document; false when one was cancelled.
    bool SaveAllModified();
    void CloseAllDocuments();

    // The filters of the Open dialog: every template's, in order, then all files.
    QStringList OpenFilters() const;

    RecentFileList& RecentFiles() { return recentFiles; }

private:
    DocTemplate* TemplateFor(const QString& path) const;
    std::vector<std::unique_ptr<DocTemplate>> templates;
    RecentFileList recentFiles;
};

}  // namespace tessarel
