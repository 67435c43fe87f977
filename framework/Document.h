#pragma once
// A document: the data of one open file, its modified flag, its path and title, the template it
// belongs to, and the views that show it. The standard file commands Close, Save and Save As are
// handled here, so they reach the document of the active child window first.

#include <QObject>
#include <QString>
#include <vector>

#include "CommandTarget.h"

namespace tessarel {

class ChildFrame;
class DocTemplate;
class View;
struct UpdateHint;

class Document : public QObject, public CommandTarget {
    Q_OBJECT
public:
    Document();
    ~Document() override;

    bool IsModified() const { return modified; }
    void SetModifiedFlag(bool on = true);

    const QString& GetPathName() const { return pathName; }
    // Sets the path and the title (the file's name); adds the path to the recent-file list.
    void SetPathName(const QString& path, bool addToRecentFiles = true);
    void ClearPathName() { pathName.clear(); }
    const QString& GetTitle() const { return title; }
    void SetTitle(const QString& newTitle);

    DocTemplate* GetDocTemplate() const { return docTemplate; }
    const std::vector<View*>& GetViews() const { return views; }
    View* GetFirstView() const { return views.empty() ? nullptr : views.front(); }
    std::vector<ChildFrame*> GetFrames() const;
    void AddView(View* view);
    void RemoveView(View* view);
    // Tells every view but `sender` that the document changed.
    void UpdateAllViews(View* sender, int hint = 0, const UpdateHint* hintObject = nullptr);

    virtual bool OnNewDocument();
    // Reads the file. A failure shows "Failed to open document." after the reader's own message.
    virtual bool OnOpenDocument(const QString& path);
    virtual bool OnSaveDocument(const QString& path);
    // Destroys the document's frames and the document.
    virtual void OnCloseDocument();
    virtual void DeleteContents();
    // Asks "Save changes to %1?" for a modified document; false means the person cancelled or the
    // save failed, and the close must not go on.
    virtual bool SaveModified();

    // Saves under `path`, asking for one first when it is empty or `askForPath` is set.
    bool DoSave(const QString& path, bool askForPath);
    bool DoFileSave();

signals:
    void modifiedChanged(bool modified);
    void titleChanged(const QString& title);

protected:
    // The file itself. Each reports its own failures to the person and returns false.
    virtual bool ReadDocument(const QString& path);
    virtual bool WriteDocument(const QString& path);

private:
    friend class DocTemplate;
    bool modified = false;
    bool closing = false;
    QString pathName;
    QString title;
    DocTemplate* docTemplate = nullptr;
    std::vector<View*> views;
};

}  // namespace tessarel
