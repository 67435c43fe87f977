#pragma once
// The window of one card file: always maximised, split into the category tree (the client width
// minus 240 pixels) and the card field list.

#include "framework/ChildFrame.h"

class QSplitter;

namespace tessarel {

class CTessarelListView;
class CTessarelView;

class CChildFrame : public ChildFrame {
    Q_OBJECT
public:
    CChildFrame(Document& doc, DocTemplate& owner);

    bool OnCreateClient() override;
    void OnActivate() override;

    CTessarelView* TreeView() const { return tree; }
    CTessarelListView* ListView() const { return list; }
    QSplitter* Splitter() const { return splitter; }

    static constexpr int kListWidth = 240;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QSplitter* splitter = nullptr;
    CTessarelView* tree = nullptr;
    CTessarelListView* list = nullptr;
    bool sized = false;
};

}  // namespace tessarel
