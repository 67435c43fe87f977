#pragma once
// A view shows one document inside a child frame. Views are widgets of any kind, so this is a
// mix-in: the concrete view derives from its Qt widget and from View.

#include "CommandTarget.h"
#include "UpdateHint.h"

class QWidget;

namespace tessarel {

class ChildFrame;
class Document;

class View : public CommandTarget {
public:
    View() = default;
    ~View() override;

    Document* GetDocument() const { return document; }
    ChildFrame* GetParentFrame() const { return frame; }
    virtual QWidget* Widget() = 0;

    // Called once after the frame is built and the document is read or made new.
    virtual void OnInitialUpdate();
    // Called by Document::UpdateAllViews for every view but the sender. `hintObject` (may be
    // null: anything may have changed) says what changed.
    virtual void OnUpdate(View* sender, int hint, const UpdateHint* hintObject);

private:
    friend class Document;
    friend class ChildFrame;
    Document* document = nullptr;
    ChildFrame* frame = nullptr;
};

}  // namespace tessarel
