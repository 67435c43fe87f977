#include "BrowserCommandsFixture.h"

#include <QFile>
#include <QRegularExpression>

#include "browser/CDDEObject.h"
#include "browser/IpcInstance.h"
#include "cardstore/CCard.h"
#include "mainframe/CStatusMessageDlg.h"

namespace tessarel::test {

void BrowserCommandsFixture::SetUp() {
    CardsFixture::SetUp();
    record = Path("started.txt");
    frame->SetBrowserWait([this](int milliseconds) {
        auto* status = qobject_cast<CStatusMessageDlg*>(frame->StatusMessageWindow());
        const bool shown = status && status->isVisible();
        waits.push_back({milliseconds, shown ? status->Text() : QStringLiteral("(no window)")});
        if (waits.size() % 2 == 0 && duringLaunchWait) duringLaunchWait();
    });
}

void BrowserCommandsFixture::TearDown() {
    peer.reset();
    // A companion a test started (through Launch WWW) ends with the test, whatever happened.
    EndCompanion();
    CardsFixture::TearDown();
}

void BrowserCommandsFixture::StartPeer(const QStringList& arguments) {
    peer = std::make_unique<browser::testing::PeerProcess>();
    ASSERT_TRUE(peer->Start(arguments));
    requestsTaken = 0;
}

std::vector<std::string> BrowserCommandsFixture::TakeRequests(std::size_t expected) {
    std::vector<std::string> requests;
    auto collect = [&] {
        requests.clear();
        std::size_t seen = 0;
        for (const std::string& line : peer->Lines()) {
            if (line.rfind("REQUEST ", 0) != 0) continue;
            if (seen++ < requestsTaken) continue;
            static const QRegularExpression serverName("Quendal[0-9]+");
            requests.push_back(QString::fromStdString(line).replace(serverName, "Quendal#").toStdString());
        }
        return requests.size() >= expected;
    };
    browser::testing::PumpUntil(collect, 5000);
    // Anything more that was on its way shows up too.
    browser::testing::PumpUntil([] { return false; }, 100);
    collect();
    requestsTaken += requests.size();
    return requests;
}

QString BrowserCommandsFixture::HelperScript(const QString& name) {
    const QString path = Path(name + ".sh");
    QFile script(path);
    EXPECT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(("#!/bin/sh\necho '" + name + "' >> '" + record + "'\n").toUtf8());
    script.close();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QStringList BrowserCommandsFixture::Started(int expected) {
    QStringList names;
    auto read = [&] {
        QFile file(record);
        names.clear();
        if (file.open(QIODevice::ReadOnly))
            for (const QByteArray& line : file.readAll().split('\n'))
                if (!line.isEmpty()) names << QString::fromUtf8(line);
        return names.size() >= expected;
    };
    browser::testing::PumpUntil(read, 5000);
    return names;
}

CCard* BrowserCommandsFixture::AddWebCard(const QString& name, const QString& address, const QString& user,
                                          const QString& password, bool automaticAccess, bool newWindow) {
    CCard* card = AddCard("WWW Sites", CardFields{name, address, user, password, {}, automaticAccess});
    if (card) card->SetNewBrowserWindow(newWindow ? 1 : 0);
    return card;
}

void BrowserCommandsFixture::EndCompanion() {
    browser::IpcInstance client(nullptr);
    const browser::ConversationHandle conversation = client.Connect("Iexplore", "WWW_Exit");
    if (conversation == 0) return;
    client.Request(conversation, "");
    client.Disconnect(conversation);
}

}  // namespace tessarel::test
