#include "PrintTestSupport.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <memory>

#include "cardstore/CardFileFormat.h"
#include "core/UserInterface.h"

namespace tessarel::test {

namespace {
class SilentUi : public UserInterface {
public:
    MessageAnswer ShowMessage(const Message&) override { return MessageAnswer::Ok; }
    std::optional<std::string> AskPassword(const std::string&) override { return std::nullopt; }
};
}  // namespace

QStringList RecordingCanvas::TextsOn(int onPage) const {
    QStringList texts;
    for (const DrawnText& call : drawn)
        if (call.page == onPage) texts << call.text;
    return texts;
}

const DrawnText* RecordingCanvas::Find(const QString& text) const {
    for (const DrawnText& call : drawn)
        if (call.text == text) return &call;
    return nullptr;
}

void AddCard(CCardFileData& data, const WantedCard& wanted) {
    auto card = std::make_unique<CCard>();
    card->SetFieldText1(wanted.name);
    card->SetFieldText2("https://" + wanted.name + ".example");
    card->SetFieldText3("user-" + wanted.name);
    card->SetFieldText4(wanted.password);
    card->SetNote(wanted.note);
    card->SetCategoryCode(static_cast<std::uint8_t>(wanted.code));
    card->SetDeleted(wanted.deleted);
    data.PlaceCard(std::move(card));
}

void AddNumberedCards(CCardFileData& data, int count, int code) {
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "card-%04d", i);
        AddCard(data, WantedCard{code, name, "pw-" + std::string(name), "note of " + std::string(name)});
    }
}

void SaveFile(CCardFileData& data, const QString& path) {
    SilentUi ui;
    ASSERT_TRUE(SaveCardFile(data, QFile::encodeName(path).toStdString(), ui).ok) << path.toStdString();
}

QStringList PdfPages(const QString& path) {
    QProcess reader;
    reader.start(QStringLiteral(TESSAREL_PDFTOTEXT), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!reader.waitForFinished(30000) || reader.exitCode() != 0) return {};
    QStringList pages = QString::fromUtf8(reader.readAllStandardOutput()).split(QChar('\f'));
    // pdftotext ends every page with a form feed, so the text after the last one is not a page.
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

int PdfPageCount(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > 64 * 1024 * 1024) return -1;
    const QString text = QString::fromLatin1(file.readAll());
    // The root of the page tree is the one /Pages object; its /Count is the document's pages.
    static const QRegularExpression pages(QStringLiteral("/Type\\s*/Pages\\b[^>]*?/Count\\s+(\\d+)"));
    QRegularExpressionMatch match = pages.match(text);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

}  // namespace tessarel::test
