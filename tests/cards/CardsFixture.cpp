#include "CardsFixture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTest>

#include "framework/CommandIds.h"
#include "framework/Dialog.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {

void CardsFixture::SetUp() {
    QSettings("Corvale", "Tessarel").clear();
    dialogs = std::make_unique<ScriptedDialogHost>();
    app = std::make_unique<CTessarelApp>();
    app->SetDataHome(folder.filePath("data"));
    app->SetProgramPath("/opt/tessarel/bin/tessarel");
    ASSERT_TRUE(app->InitInstance({QStringLiteral("/Embedding")}));
    frame = app->MainFrame();
    Settle();
    ASSERT_NE(NewFile(), nullptr);
}

void CardsFixture::TearDown() {
    if (app) {
        // As at the program's exit, the Find Card dialog goes before the frame.
        if (QWidget* find = frame->FindDialog()) find->close();
        Settle();
        for (Document* document : app->GetDocManager().GetDocuments()) document->SetModifiedFlag(false);
        app->GetDocManager().CloseAllDocuments();
        Settle();
        app.reset();
    }
    Settle();
    EXPECT_TRUE(dialogs->Problems().isEmpty()) << dialogs->Problems().join("; ").toStdString();
    dialogs.reset();
}

void CardsFixture::Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

CTessarelDoc* CardsFixture::NewFile() {
    auto* document = dynamic_cast<CTessarelDoc*>(app->GetDocManager().OnFileNew());
    Settle();
    return document;
}

CChildFrame* CardsFixture::Child() const { return dynamic_cast<CChildFrame*>(frame->GetActiveChild()); }

bool CardsFixture::Run(int id) {
    bool ran = app->ExecuteCommand(id);
    Settle();
    return ran;
}

void CardsFixture::SelectCategory(const QString& category) {
    QTreeWidgetItem* item = Tree()->FindCategoryItem(category);
    ASSERT_NE(item, nullptr) << category.toStdString();
    Tree()->setCurrentItem(item);
}

void CardsFixture::SelectCard(const QString& category, const QString& name) {
    QTreeWidgetItem* item = Tree()->FindCategoryItem(category);
    ASSERT_NE(item, nullptr);
    for (int i = 0; i < item->childCount(); ++i) {
        if (item->child(i)->text(0) == name) {
            Tree()->setCurrentItem(item->child(i));
            return;
        }
    }
    FAIL() << "no card " << name.toStdString() << " in " << category.toStdString();
}

QString CardsFixture::SelectedText() const {
    QTreeWidgetItem* item = Tree()->currentItem();
    return item ? item->text(0) : QString();
}

QStringList CardsFixture::CardNames(const QString& category) const {
    QStringList names;
    QTreeWidgetItem* item = Tree()->FindCategoryItem(category);
    for (int i = 0; item && i < item->childCount(); ++i) names << item->child(i)->text(0);
    return names;
}

void CardsFixture::FillCardDialog(const CardFields& fields) {
    dialogs->RunDialog([fields](Dialog& dialog) {
        auto edit = [&dialog](int id) { return dialog.findChild<QLineEdit*>(QString::number(id)); };
        edit(res::ControlCardName)->setText(fields.name);
        edit(res::ControlCardField2)->setText(fields.second);
        edit(res::ControlCardField3)->setText(fields.third);
        edit(res::ControlCardPassword)->setText(fields.password);
        dialog.findChild<QPlainTextEdit*>(QString::number(res::ControlCardNote))->setPlainText(fields.note);
        auto* automatic = dialog.findChild<QCheckBox*>(QString::number(res::ControlAutomaticAccess));
        if (automatic->isEnabled()) automatic->setChecked(fields.automaticAccess);
        return int(QDialog::Accepted);
    });
}

CCard* CardsFixture::AddCard(const QString& category, const CardFields& fields) {
    SelectCategory(category);
    FillCardDialog(fields);
    EXPECT_TRUE(Run(res::NewCard));
    return Tree()->GetCurrentCard();
}

void CardsFixture::MakeListActive() {
    Child()->SetActiveView(List());
    List()->setFocus();
    Settle();
}

void CardsFixture::MakeTreeActive() {
    Child()->SetActiveView(Tree());
    Tree()->setFocus();
    Settle();
}

namespace {
QPoint RowCentre(CTessarelListView* list, int row) { return list->visualItemRect(list->topLevelItem(row)).center(); }
}  // namespace

void CardsFixture::ClickRow(int row) {
    ASSERT_NE(List()->topLevelItem(row), nullptr) << row;
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, RowCentre(List(), row));
}

void CardsFixture::DoubleClickRow(int row) {
    ASSERT_NE(List()->topLevelItem(row), nullptr) << row;
    QPoint point = RowCentre(List(), row);
    QTest::mousePress(List()->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, point);
    Settle();
}

void CardsFixture::RightClickRow(int row) {
    ASSERT_NE(List()->topLevelItem(row), nullptr) << row;
    QTest::mouseClick(List()->viewport(), Qt::RightButton, {}, RowCentre(List(), row));
}

QString CardsFixture::CategoryCount() const {
    return qobject_cast<QLabel*>(frame->GetStatusBarItem(res::ControlCardsInCategory))->text();
}

QString CardsFixture::TotalCount() const { return qobject_cast<QLabel*>(frame->GetStatusBarItem(res::ControlTotalCards))->text(); }

}  // namespace tessarel::test
