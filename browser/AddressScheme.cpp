#include "browser/AddressScheme.h"

#include <QUrl>
#include <string>

#include "core/Win1252.h"

namespace tessarel::browser {

QString AddressScheme::Of(std::string_view cardAddress) {
    // Only the part before the first ':' can be a scheme; the rest (which may hold a password)
    // is never converted.
    const std::size_t colon = cardAddress.find(':');
    if (colon == std::string_view::npos) return {};
    const QUrl url(QString::fromStdString(Win1252ToUtf8(std::string(cardAddress.substr(0, colon)))).trimmed() +
                   QStringLiteral(":"));
    return url.scheme().toLower();
}

bool AddressScheme::IsOpenable(const QString& scheme) {
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp");
}

QString AddressScheme::RefusalText(const QString& scheme) {
    return QStringLiteral("The address was not opened: \"%1:\" addresses are not handed to the browser, only "
                          "http, https and ftp addresses.")
        .arg(scheme);
}

}  // namespace tessarel::browser
