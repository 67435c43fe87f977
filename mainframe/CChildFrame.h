#pragma once
// The window of one card file: always maximised, split into the category tree (the client width
// minus 240 pixels) and the card field list.

#include <vector>

#include "framework/ChildFrame.h"

class QSplitter;
class QStackedWidget;

namespace tessarel {

class CTessarelListView;
class CTessarelView;

class CChildFrame : public ChildFrame {
    Q_OBJECT
public:
    CChildFrame(Document& doc, DocTemplate& owner);

    bool OnCreateClient() override;
    void OnActivate() override;

    // While the document is locked, `pane` takes the place of the tree and the field list (the
    // window owns it), and the window holds back the commands in `heldBack` whatever the rest of
    // the chain says. Hiding the pane brings the views back and releases the commands.
    void ShowLockedPane(QWidget* pane, const std::vector<int>& heldBack);
    bool HoldsBack(int id) const override;
    void HideLockedPane();
    QWidget* LockedPane() const { return lockedPane; }

    CTessarelView* TreeView() const { return tree; }
    CTessarelListView* ListView() const { return list; }
    QSplitter* Splitter() const { return splitter; }

    static constexpr int kListWidth = 240;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QStackedWidget* stack = nullptr;
    QSplitter* splitter = nullptr;
    QWidget* lockedPane = nullptr;
    std::vector<int> lockedCommands;
    CTessarelView* tree = nullptr;
    CTessarelListView* list = nullptr;
    bool sized = false;
};

}  // namespace tessarel
