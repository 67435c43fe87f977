#include "TestDocuments.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QSettings>
#include <QUuid>

#include "framework/DialogHost.h"

namespace tessarel::test {

int TextDocument::instances = 0;

bool TextDocument::ReadDocument(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Dialogs().ShowMessage(Message{"cannot read", {}, MessageButtons::Ok, MessageIcon::None, MessageOwner::None});
        return false;
    }
    text = QString::fromUtf8(file.readAll());
    if (text == "BAD") {
        Dialogs().ShowMessage(Message{"bad contents", {}, MessageButtons::Ok, MessageIcon::None, MessageOwner::None});
        return false;
    }
    return true;
}

bool TextDocument::WriteDocument(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    return file.write(text.toUtf8()) == text.toUtf8().size();
}

void TextView::OnUpdate(View*, int hint, const UpdateHint*) {
    ++updates;
    lastHint = hint;
}

bool TextFrame::OnCreateClient() {
    auto* client = new QWidget;
    auto* layout = new QHBoxLayout(client);
    first = new TextView;
    second = new TextView;
    layout->addWidget(first);
    layout->addWidget(second);
    setWidget(client);
    AddFrameView(first);
    AddFrameView(second);
    return true;
}

void FrameworkFixture::SetUp() {
    QSettings("Corvale", "Tessarel").clear();
    tempDir = QDir::temp().filePath("fw-" + QUuid::createUuid().toString(QUuid::WithoutBraces));
    QDir().mkpath(tempDir);
    dialogs = std::make_unique<ScriptedDialogHost>();
    app = std::make_unique<TestApplication>();
    frame = new TestFrame;
    app->SetMainFrame(frame);
    auto frames = [](Document& document) -> ChildFrame* { return new TextFrame(document, *document.GetDocTemplate()); };
    auto documents = [] { return std::unique_ptr<Document>(new TextDocument); };
    otherTemplate = app->GetDocManager().AddDocTemplate(std::make_unique<DocTemplate>(
        200, "\nLog\n\nLog Files (*.log)\n.log\nTest.Log\nTest Log", documents, frames));
    plainTemplate = app->GetDocManager().AddDocTemplate(std::make_unique<DocTemplate>(
        129, "\nUntitled\nText\nText Files (*.txt)\n.txt\nTest.Text\nTest Text", documents, frames));
}

void FrameworkFixture::TearDown() {
    app->GetDocManager().CloseAllDocuments();
    Settle();
    delete frame;
    app.reset();
    dialogs.reset();
    QDir(tempDir).removeRecursively();
}

void FrameworkFixture::Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

QString FrameworkFixture::TempPath(const QString& name) const { return QDir(tempDir).filePath(name); }

void FrameworkFixture::WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace tessarel::test
