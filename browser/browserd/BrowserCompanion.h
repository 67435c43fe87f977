#pragma once
// The browser the program talks to on a desktop without the old DDE browsers: it serves the
// "WWW_" verbs under the service names "Iexplore" and "Netscape" and hands the http, https and
// ftp addresses it is asked to open to the desktop's default browser.
//
//   WWW_OpenURL        opens the address; answers the window id it used, 0 when it refused it
//   WWW_Activate       answers the window id (there is one window, 1, unless new ones were asked for)
//   WWW_GetWindowInfo  answers the last address opened (without user information) and its title
//                      (empty: the desktop browser does not say)
//   WWW_Version        answers 0x00010000
//   WWW_Exit           answers 0 and ends the companion
//
// Other topics are answered with no data, pokes are not acknowledged.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <string>

#include "browser/IpcHandler.h"
#include "browser/IpcInstance.h"

namespace tessarel::browser {

class BrowserCompanion : public IpcHandler {
public:
    // Hands an address to a browser; false when it could not be handed over.
    using Opener = std::function<bool(const QString& address)>;

    static QStringList ServiceNames() { return {QStringLiteral("Iexplore"), QStringLiteral("Netscape")}; }

    explicit BrowserCompanion(Opener opener);
    // Takes the service names; false (with none taken) when one is served by another program.
    bool Serve();
    IpcInstance& Ipc() { return ipc; }

    std::function<void()> onExit;  // "WWW_Exit" was answered
    // Why an address was refused (its scheme is not one a browser may be handed).
    std::function<void(const QString& message)> onRefused;

    bool AcceptConnect(const QString& service, const QString& topic) override;
    void Connected(ConversationHandle, const QString&, const QString&) override {}
    void Disconnected(ConversationHandle) override {}
    std::optional<QByteArray> Request(ConversationHandle conversation, const QString& topic,
                                      const QByteArray& item) override;
    bool Poke(ConversationHandle, const QString&, const QByteArray&, const QByteArray&) override { return false; }

    // The address as the desktop takes it: a URL with a scheme; empty when the text is none. The
    // scheme is not checked here.
    static QString DesktopAddress(const std::string& cardBytes);
    // The address to remember and report back: without user name and password.
    static std::string WithoutUserInfo(const QString& address);

private:
    std::optional<std::string> Answer(int verb, const std::string& item);
    std::uint32_t OpenURL(const std::string& item);

    Opener opener;
    IpcInstance ipc;
    std::string lastAddress;
    std::uint32_t currentWindow = 1;
    std::uint32_t nextWindow = 2;
};

}  // namespace tessarel::browser
