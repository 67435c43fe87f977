#pragma once
// The window of the file encryption view: a splitter with the folder tree at half the width and
// the file list beside it, titled "File Encryption", 750 x 480 pixels. It carries the file-view
// template, so its menu is menu 155; the main frame shows the file tool's bars while it is active.

#include "framework/ChildFrame.h"

class QSplitter;

namespace tessarel {

class CSHellView;
class CShellListView;

class CChildFrmFileView : public ChildFrame {
    Q_OBJECT
public:
    static constexpr int kWidth = 750;
    static constexpr int kHeight = 480;

    CChildFrmFileView(Document& doc, DocTemplate& owner);
    ~CChildFrmFileView() override;

    bool OnCreateClient() override;

    // Title and size of the view's window; its position stays.
    void ShowAsFileView();

    // True for the window of a "~~~" file opened through the file-view template (the document is
    // then its own), false for a window entered from a card file.
    bool ShowsOpenedFile() const;

    CSHellView* TreeView() const { return tree; }
    CShellListView* ListView() const { return list; }
    QSplitter* Splitter() const { return splitter; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QSplitter* splitter = nullptr;
    CSHellView* tree = nullptr;
    CShellListView* list = nullptr;
    bool shownBefore = false;
};

}  // namespace tessarel
