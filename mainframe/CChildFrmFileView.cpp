#include "CChildFrmFileView.h"

#include <QSplitter>
#include <QTimer>

#include "CMainFrame.h"
#include "mainframe/dialogs/GuiUserInterface.h"
#include "filecrypt/CSHellView.h"
#include "filecrypt/CShellListView.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "resources/Resources.h"

namespace tessarel {

namespace {
const QString kTitle = QStringLiteral("File Encryption");

UserInterface& FileViewUserInterface() {
    static GuiUserInterface ui;
    return ui;
}
}  // namespace

CChildFrmFileView::CChildFrmFileView(Document& doc, DocTemplate& owner) : ChildFrame(doc, owner) {
    setObjectName(QStringLiteral("CChildFrmFileView"));
    setWindowIcon(ResourceIcon(owner.GetResourceId()));
    // The document's title is pushed to all its windows; this one keeps its own.
    connect(this, &QWidget::windowTitleChanged, this, [this](const QString& title) {
        if (title != kTitle) setWindowTitle(kTitle);
    });
}

CChildFrmFileView::~CChildFrmFileView() {
    if (CMainFrame* frame = CMainFrame::Instance()) frame->OnFileViewWindowGone();
}

bool CChildFrmFileView::OnCreateClient() {
    CMainFrame* frame = CMainFrame::Instance();
    if (!frame) return false;
    splitter = MakePaneSplitter();
    tree = new CSHellView(splitter);
    list = new CShellListView(frame->FileEncryption(), FileViewUserInterface(), splitter);
    ShowSideBySide(splitter, tree, list);
    return true;
}

bool CChildFrmFileView::ShowsOpenedFile() const {
    Document* doc = GetDocument();
    return doc && doc->GetDocTemplate() == GetDocTemplate();
}

void CChildFrmFileView::ShowAsFileView() {
    setWindowTitle(kTitle);
    if (isMaximized() || isMinimized()) showNormal();
    resize(kWidth, kHeight);
    update();
}

void CChildFrmFileView::showEvent(QShowEvent* event) {
    ChildFrame::showEvent(event);
    if (shownBefore) return;
    shownBefore = true;
    if (splitter) {
        const int half = splitter->width() / 2;
        splitter->setSizes({half, splitter->width() - half});
    }
    // A "~~~" file opened from the File menu or the command line enters the view once the open
    // has finished.
    if (ShowsOpenedFile())
        QTimer::singleShot(0, this, [this] {
            if (CMainFrame* frame = CMainFrame::Instance()) frame->EnterOpenedFileView(this);
        });
}

}  // namespace tessarel
