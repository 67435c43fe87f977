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
    const QUrl url(address, QUrl::StrictMode);
    return !url.userInfo().isEmpty() || address.section(QLatin1Char('/'), 2, 2).contains(QLatin1Char('@'));
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
