#pragma once
// The application object: the last target of the command chain, the owner of the document
// manager, and the router. A command goes to the active child frame, its active view, that view's
// document, the main frame and the application; the first target that has a handler wins.

#include <QObject>
#include <QString>
#include <vector>

#include "CommandState.h"
#include "CommandTarget.h"
#include "DocManager.h"

namespace tessarel {

class MdiFrame;

class Application : public QObject, public CommandTarget {
    Q_OBJECT
public:
    explicit Application(const QString& title);
    ~Application() override;

    static Application* Instance();

    const QString& Title() const { return title; }
    DocManager& GetDocManager() { return docManager; }
    MdiFrame* GetMainFrame() const { return mainFrame; }
    void SetMainFrame(MdiFrame* frame);

    std::vector<CommandTarget*> CommandChain() const;
    // The state of a command: the first update handler in the chain decides; without one, a
    // command is enabled exactly when some target of the chain handles it.
    CommandState QueryCommand(int id) const;
    // Routes the command when it is enabled. Returns whether a handler ran.
    bool ExecuteCommand(int id);

    // Closes every document (asking about modified ones) and, unless cancelled, writes the
    // recent-file list. Returns false when the person cancelled.
    bool CloseAllForExit();

    // Tells the main frame that command states may have changed.
    void InvalidateCommandStates();

private:
    // A "Recent File" item: the file's name, or the disabled placeholder while the list is empty.
    void UpdateRecentFileItem(CommandState& state);

    QString title;
    DocManager docManager;
    MdiFrame* mainFrame = nullptr;
};

}  // namespace tessarel
