#pragma once
// A small program on the framework for its tests: a text document, a view that shows it, a child
// frame with two such views, and a fixture that builds the application and main frame.

#include <QLabel>
#include <QString>
#include <gtest/gtest.h>
#include <memory>

#include "framework/Application.h"
#include "framework/ChildFrame.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/MdiFrame.h"
#include "framework/ScriptedDialogHost.h"
#include "framework/View.h"

namespace tessarel::test {

// Reads and writes its text as a file; "BAD" as the contents makes the read fail with its own message.
class TextDocument : public Document {
public:
    QString text;
    static int instances;
    TextDocument() { ++instances; }
    ~TextDocument() override { --instances; }
    using CommandTarget::OnCommand;
    using CommandTarget::OnUpdate;

protected:
    bool ReadDocument(const QString& path) override;
    bool WriteDocument(const QString& path) override;
};

class TextView : public QLabel, public View {
public:
    QWidget* Widget() override { return this; }
    void OnUpdate(View* sender, int hint, const UpdateHint* hintObject) override;
    int updates = 0;
    int lastHint = -1;
    using CommandTarget::OnCommand;
    using CommandTarget::OnUpdate;
};

class TextFrame : public ChildFrame {
public:
    TextFrame(Document& doc, DocTemplate& owner) : ChildFrame(doc, owner) {}
    bool OnCreateClient() override;
    bool HoldsBack(int id) const override { return id == heldBack; }
    TextView* first = nullptr;
    TextView* second = nullptr;
    int heldBack = 0;  // the one command the window holds back, 0 for none
    using CommandTarget::OnCommand;
    using CommandTarget::OnUpdate;
};

class TestFrame : public MdiFrame {
public:
    using CommandTarget::OnCommand;
    using CommandTarget::OnUpdate;
    using CommandTarget::Register;
};

class TestApplication : public Application {
public:
    TestApplication() : Application(QStringLiteral("Tester")) {}
    using CommandTarget::OnCommand;
    using CommandTarget::OnUpdate;
};

class FrameworkFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Lets deferred deletions and command updates run.
    static void Settle();
    QString TempPath(const QString& name) const;
    static void WriteFile(const QString& path, const QByteArray& bytes);

    std::unique_ptr<ScriptedDialogHost> dialogs;
    std::unique_ptr<TestApplication> app;
    TestFrame* frame = nullptr;
    DocTemplate* plainTemplate = nullptr;   // ".txt", makes new documents
    DocTemplate* otherTemplate = nullptr;   // ".log", no name for new documents
    QString tempDir;
};

}  // namespace tessarel::test
