#include "browser/browserd/CredentialSafeOpener.h"

#include <QUrl>

#include "core/SecureBuffer.h"

namespace tessarel::browser {

namespace {

void Wipe(QString& text) {
    if (!text.isDetached()) {
        text = QString();
        return;
    }
    SecureWipe(text.data(), static_cast<std::size_t>(text.size()) * sizeof(QChar));
    text = QString();
}

}  // namespace

CredentialSafeOpener::CredentialSafeOpener(BrowserCompanion::Opener plainOpener, BrowserCompanion::Opener portalOpener,
                                           std::function<void(const QString&)> leftOut)
    : plain(std::move(plainOpener)), portal(std::move(portalOpener)), onLeftOut(std::move(leftOut)) {}

bool CredentialSafeOpener::HasUserInfo(const QString& address) {
    if (!QUrl(address, QUrl::StrictMode).userInfo().isEmpty()) return true;
    // Also what QUrl would not take apart: an "@" anywhere in the authority (between "://" and
    // the first "/", "?" or "#") may end a user name and password.
    const qsizetype schemeEnd = address.indexOf(QLatin1String("://"));
    if (schemeEnd < 0) return false;
    const QStringView rest = QStringView(address).mid(schemeEnd + 3);
    qsizetype authorityEnd = 0;
    while (authorityEnd < rest.size() && !QStringView(u"/?#").contains(rest[authorityEnd])) ++authorityEnd;
    return rest.left(authorityEnd).contains(QLatin1Char('@'));
}

QString CredentialSafeOpener::LeftOutText() {
    return QStringLiteral("no desktop portal took the address; it was opened without its user name and password");
}

bool CredentialSafeOpener::operator()(const QString& address) const {
    if (!HasUserInfo(address)) return plain && plain(address);
    if (portal && portal(address)) return true;
    QString bare = QUrl(address, QUrl::StrictMode).toString(QUrl::RemoveUserInfo | QUrl::FullyEncoded);
    if (HasUserInfo(bare)) bare.clear();  // never hand on what could not be stripped
    if (onLeftOut) onLeftOut(LeftOutText());
    const bool opened = !bare.isEmpty() && plain && plain(bare);
    Wipe(bare);
    return opened;
}

}  // namespace tessarel::browser
