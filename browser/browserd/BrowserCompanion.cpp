#include "browser/browserd/BrowserCompanion.h"

#include <QUrl>

#include "browser/AddressScheme.h"
#include "browser/DdeArguments.h"
#include "browser/DdeVerbs.h"
#include "core/SecureBuffer.h"
#include "core/Win1252.h"

namespace tessarel::browser {
namespace {

constexpr std::uint32_t kLastActiveWindow = 0xFFFFFFFFu;

void Wipe(std::string& text) { SecureWipe(text.data(), text.size()); }
void Wipe(QString& text) { SecureWipe(text.data(), static_cast<std::size_t>(text.size()) * sizeof(QChar)); }

}  // namespace

BrowserCompanion::BrowserCompanion(Opener open) : opener(std::move(open)), ipc(this) {}

bool BrowserCompanion::Serve() {
    if (!ipc.IsValid()) return false;
    QStringList taken;
    for (const QString& name : ServiceNames()) {
        if (!ipc.RegisterName(name)) {
            for (const QString& done : taken) ipc.UnregisterName(done);
            return false;
        }
        taken << name;
    }
    return true;
}

bool BrowserCompanion::AcceptConnect(const QString& service, const QString& topic) {
    for (const QString& name : ServiceNames())
        if (service.compare(name, Qt::CaseInsensitive) == 0) return DdeVerbIndex(topic.toStdString()) >= 0;
    return false;
}

std::optional<QByteArray> BrowserCompanion::Request(ConversationHandle, const QString& topic, const QByteArray& item) {
    std::string text = item.toStdString();
    const auto reply = Answer(DdeVerbIndex(topic.toStdString()), text);
    Wipe(text);
    if (!reply) return std::nullopt;
    return QByteArray::fromStdString(*reply);
}

std::optional<std::string> BrowserCompanion::Answer(int verb, const std::string& item) {
    switch (verb) {
    case WWW_OpenURL:
        return DdeArguments::EncodeReply("DW", {OpenURL(item)});
    case WWW_Activate: {
        const auto window = std::get<std::uint32_t>(DdeArguments::Decode("DW,DW", item)[0]);
        if (window != 0 && window != kLastActiveWindow && window < nextWindow) currentWindow = window;
        return DdeArguments::EncodeReply("DW", {currentWindow});
    }
    case WWW_GetWindowInfo:
        return DdeArguments::EncodeReply("QCS,QCS", {lastAddress, std::string()});
    case WWW_Version:
        return DdeArguments::EncodeReply("DW", {0x00010000u});
    case WWW_Exit:
        if (onExit) onExit();
        return DdeArguments::EncodeReply("DW", {0u});
    default:
        return std::nullopt;
    }
}

std::uint32_t BrowserCompanion::OpenURL(const std::string& item) {
    auto arguments = DdeArguments::Decode("QCS,QCS,DW,DW,QCS,QCS,CS", item);
    std::string& cardAddress = std::get<std::string>(arguments[0]);
    const auto window = std::get<std::uint32_t>(arguments[2]);
    QString address = DesktopAddress(cardAddress);
    Wipe(cardAddress);
    // Only web addresses, judged on exactly what the desktop would get: a card naming file:,
    // javascript: or a desktop handler's own scheme would have it open a local file or run the
    // handler.
    const QString scheme = QUrl(address, QUrl::StrictMode).scheme().toLower();
    if (!address.isEmpty() && !AddressScheme::IsOpenable(scheme)) {
        Wipe(address);
        if (onRefused) onRefused(AddressScheme::RefusalText(scheme));
        return 0;
    }
    if (address.isEmpty() || !opener || !opener(address)) {
        Wipe(address);
        return 0;
    }
    lastAddress = WithoutUserInfo(address);
    Wipe(address);
    // Window 0 asks for a new window; any other id goes to the window last used.
    if (window == 0) currentWindow = nextWindow++;
    return currentWindow;
}

QString BrowserCompanion::DesktopAddress(const std::string& cardBytes) {
    std::string utf8 = Win1252ToUtf8(cardBytes);
    const QUrl url(QString::fromStdString(utf8), QUrl::TolerantMode);
    Wipe(utf8);
    // Only a whole address with a scheme goes to the desktop: no relative paths, and nothing
    // the opener could take for an option of its own.
    if (!url.isValid() || url.scheme().isEmpty()) return {};
    return url.toString(QUrl::FullyEncoded);
}

std::string BrowserCompanion::WithoutUserInfo(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    std::string utf8 = url.toString(QUrl::RemoveUserInfo | QUrl::FullyEncoded).toStdString();
    // FullyEncoded is ASCII, which the 8-bit set holds unchanged.
    return utf8;
}

}  // namespace tessarel::browser
