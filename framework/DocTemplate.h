#pragma once
// A document template ties a kind of file to its document class, its child frame, its menu and
// its strings: seven fields separated by "\n" (window title, document name, name for new
// documents, filter name, filter extension, file type identifier, file type name).

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace tessarel {

class ChildFrame;
class Document;

class DocTemplate {
public:
    enum DocString { WindowTitle, DocName, FileNewName, FilterName, FilterExt, RegFileTypeId, RegFileTypeName };
    using DocumentFactory = std::function<std::unique_ptr<Document>()>;
    // Builds the child frame with its views for the document; nullptr when it cannot.
    using FrameFactory = std::function<ChildFrame*(Document&)>;

    DocTemplate(int resourceId, const QString& strings, DocumentFactory documents, FrameFactory frames);
    ~DocTemplate();

    int GetResourceId() const { return resourceId; }
    QString GetDocString(DocString index) const;

    const std::vector<Document*>& GetDocuments() const { return documents; }
    void AddDocument(Document* document);
    void RemoveDocument(Document* document);
    bool HasDocument(const Document* document) const;

    // An empty path makes a new document. Returns nullptr on failure (messages shown).
    Document* OpenDocumentFile(const QString& path, bool makeVisible = true);
    ChildFrame* CreateNewFrame(Document& document);
    void InitialUpdateFrame(ChildFrame& frame, bool makeVisible = true);
    void SetDefaultTitle(Document& document);

    // True when this template opens `path`: by default when the path ends in its extension (case
    // ignored); a template whose files are named another way sets its own rule.
    bool MatchesExtension(const QString& path) const;
    using PathMatcher = std::function<bool(const QString&)>;
    void SetPathMatcher(PathMatcher matcher) { matchPath = std::move(matcher); }

private:
    int resourceId;
    QStringList strings;
    DocumentFactory makeDocument;
    FrameFactory makeFrame;
    PathMatcher matchPath;
    std::vector<Document*> documents;
    int untitledCount = 0;
};

}  // namespace tessarel
