// Card files of the two old layouts, plain and encrypted, opened in the program and saved in the
// current layout. The files are built here byte by byte.
#include <QFile>
#include <QFileInfo>

#include "AppFixture.h"
#include "crypto/Blowfish.h"
#include "crypto/Sha1.h"
#include "framework/CommandIds.h"

namespace tessarel::test {
namespace {

using Texts = std::vector<std::string>;

struct OldCard {
    std::string category, date, name, note;
};

const OldCard kOldCards[] = {
    {"WWW Pages", "24.12.1998", "example", "a note\r\nline two"},
    {"FTP Servers", "98/02/01", "ftp", ""},
    {"", "01.01.1999", "no category", ""},
    {"Password Manager", "01.01.1999", "dropped", ""},
};

void PutShort(QByteArray& out, const std::string& text) {
    out.append(static_cast<char>(text.size()));
    out.append(text.data(), static_cast<qsizetype>(text.size()));
}

// Prefix "ENCRYPTED" or "NTENCRYPT", the version text, then the check bytes ("XYZ" for 1.001,
// the password's digest for 1.002) and the records; an encrypted file enciphers all of that.
QByteArray OldFile(const char* version, const std::string& password) {
    bool encrypted = !password.empty();
    QByteArray data;
    if (QByteArray(version) == "Version1.001") {
        data = encrypted ? "XYZ" : "chk";
    } else {
        std::uint8_t digest[kSha1DigestSize];
        PasswordDigest(std::string_view(password), digest);
        data = QByteArray(reinterpret_cast<const char*>(digest), kSha1DigestSize);
    }
    for (const OldCard& card : kOldCards) {
        for (const std::string* text : {&card.category, &card.date, &card.name, &card.name, &card.name, &card.name})
            PutShort(data, *text);
        data.append(static_cast<char>(card.note.size() & 0xFF)).append(static_cast<char>(card.note.size() >> 8));
        data.append(card.note.data(), static_cast<qsizetype>(card.note.size()));
        data.append("\x01\x02", 2);  // two flag bytes
    }
    if (encrypted) {
        data.resize((data.size() + 7) / 8 * 8, '\0');
        Blowfish cipher;
        cipher.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(password.data()), password.size());
        cipher.EncryptBlocks(reinterpret_cast<std::uint8_t*>(data.data()), static_cast<std::uint32_t>(data.size() / 8));
    }
    return QByteArray(encrypted ? "ENCRYPTED" : "NTENCRYPT") + version + data;
}

class LegacyFileTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
    }
    QString Write(const QString& name, const QByteArray& bytes) {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return Path(name);
    }
    static void ExpectOldCards(CTessarelDoc& document) {
        ASSERT_EQ(document.GetCategoryList(0)->GetCount(), 1);
        EXPECT_EQ(std::string(document.GetCategoryList(0)->GetAt(0)->GetFieldText1()), "example");
        EXPECT_EQ(std::string(document.GetCategoryList(0)->GetAt(0)->GetNote()), "a note\r\nline two");
        EXPECT_EQ(document.GetCategoryList(2)->GetCount(), 1);
        EXPECT_EQ(document.GetCategoryList(14)->GetCount(), 1) << "an empty category text is kept in Miscellaneous";
        EXPECT_EQ(document.GetCategoryList(13)->GetCount(), 0);
    }
};

TEST_F(LegacyFileTest, BothOldLayoutsOpenPlainAndEncryptedAndSaveInTheCurrentOne) {
    struct Case {
        const char* version;
        std::string password;
        QString name;
    };
    for (const Case& c : {Case{"Version1.001", "", "old1.qdf"}, Case{"Version1.002", "", "old2.qdf"},
                          Case{"Version1.001", "oldsecret", "old1.qde"}, Case{"Version1.002", "oldsecret", "old2.qde"}}) {
        SCOPED_TRACE(c.name.toStdString());
        QString path = Write(c.name, OldFile(c.version, c.password));
        if (!c.password.empty()) TypePassword(QString::fromStdString(c.password));
        auto* document = static_cast<CTessarelDoc*>(app->GetDocManager().OpenDocumentFile(path));
        ASSERT_NE(document, nullptr);
        ExpectOldCards(*document);
        EXPECT_EQ(document->GetEncryptionMode(), c.password.empty() ? 0 : 1);
        EXPECT_EQ(std::string(document->GetEncryptionPassword()), c.password);
        EXPECT_FALSE(document->IsModified());

        ASSERT_TRUE(document->DoFileSave());
        QFile saved(path);
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        QByteArray header = saved.read(22);
        EXPECT_EQ(header.mid(14, 4), QByteArray("\x6C\x64\x6E\x51", 4)) << "saved in the current layout";
        EXPECT_EQ(header[12], c.password.empty() ? 0 : 1);
        document->OnCloseDocument();
        Settle();

        if (!c.password.empty()) TypePassword(QString::fromStdString(c.password));
        auto* reopened = static_cast<CTessarelDoc*>(app->GetDocManager().OpenDocumentFile(path));
        ASSERT_NE(reopened, nullptr);
        ExpectOldCards(*reopened);
        reopened->OnCloseDocument();
        Settle();
    }
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(dialogs->Problems().isEmpty()) << dialogs->Problems().join("; ").toStdString();
}

TEST_F(LegacyFileTest, AWrongPasswordOpensNothing) {
    // Each old layout keeps its own wording.
    const std::pair<const char*, std::string> cases[] = {{"Version1.001", "Password not correct,try again."},
                                                          {"Version1.002", "Password not correct, please try again."}};
    for (const auto& [version, refusal] : cases) {
        dialogs = std::make_unique<ScriptedDialogHost>();
        QString path = Write("old.qde", OldFile(version, "oldsecret"));
        TypePassword("oldsecreX");
        EXPECT_EQ(app->GetDocManager().OpenDocumentFile(path), nullptr) << version;
        Settle();
        EXPECT_EQ(Messages(), Texts({refusal, "Failed to open document."})) << version;
        EXPECT_TRUE(app->GetDocManager().GetDocuments().empty());
    }
}

}  // namespace
}  // namespace tessarel::test
