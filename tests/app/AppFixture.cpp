#include "AppFixture.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QCheckBox>
#include <QSettings>

#include "cardstore/CardFileFormat.h"
#include "framework/ChildFrame.h"
#include "framework/Dialog.h"
#include "framework/Printing.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {

namespace {
class FixedPassword : public UserInterface {
public:
    MessageAnswer ShowMessage(const Message&) override { return MessageAnswer::Ok; }
    std::optional<std::string> AskPassword(const std::string&) override { return std::nullopt; }
};
}  // namespace

void AppFixture::SetUp() {
    QSettings("Corvale", "Tessarel").clear();
    dataHome = folder.filePath("data");
    dialogs = std::make_unique<ScriptedDialogHost>();
    // A machine without printers: direct printing ("p" flag, shell print requests) goes to a PDF
    // beside the file, never paper, unless a test adds printers.
    printers = std::make_unique<TestPrinters>();
}

void AppFixture::TearDown() {
    if (app) {
        app->GetDocManager().CloseAllDocuments();
        Settle();
        app.reset();
    }
    Settle();
    dialogs.reset();
    printers.reset();
}

bool AppFixture::Start(const QStringList& arguments) {
    // One program at a time: the former one (and its conversation instance) goes first.
    if (app) {
        app->GetDocManager().CloseAllDocuments();
        app.reset();
        Settle();
    }
    app = std::make_unique<CTessarelApp>();
    app->SetDataHome(dataHome);
    app->SetProgramPath(programPath);
    bool result = app->InitInstance(arguments);
    frame = app->MainFrame();
    Settle();
    return result;
}

void AppFixture::Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

void AppFixture::MakeCardFile(const QString& path, int cards, int deleted, const std::string& password) {
    CCardFileData data;
    for (int i = 0; i < cards + deleted; ++i) {
        auto card = std::make_unique<CCard>();
        card->SetFieldText1("card " + std::to_string(i));
        card->SetFieldText4("secret");
        card->SetCategoryCode(1);
        card->SetDeleted(i >= cards);
        data.PlaceCard(std::move(card));
    }
    if (!password.empty()) {
        data.encryptionMode = 1;
        data.encryptionPassword.assign(password);
    }
    FixedPassword ui;
    ASSERT_TRUE(SaveCardFile(data, path.toStdString(), ui).ok);
}

void AppFixture::TypePassword(const QString& password) {
    dialogs->RunDialog([password](Dialog& dialog) {
        dialog.findChild<QLineEdit*>(QString::number(res::ControlDecryptPassword))->setText(password);
        return int(QDialog::Accepted);
    });
}

void AppFixture::FillEncryptOnSave(bool encrypt, const QString& password, const QString& confirmation, QString* shownPassword) {
    dialogs->RunDialog([=](Dialog& dialog) {
        auto* box = dialog.findChild<QCheckBox*>(QString::number(res::ControlEncryptFlag));
        if (box->isChecked() != encrypt) box->click();
        auto* first = dialog.findChild<QLineEdit*>(QString::number(res::ControlEncryptPassword));
        if (shownPassword) *shownPassword = first->text();
        first->setText(password);
        dialog.findChild<QLineEdit*>(QString::number(res::ControlEncryptConfirm))->setText(confirmation);
        return int(QDialog::Accepted);
    });
}

CTessarelDoc* AppFixture::ActiveDocument() const { return frame ? frame->ActiveCardDocument() : nullptr; }

}  // namespace tessarel::test
