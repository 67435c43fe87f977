#include "mainframe/WebPageAddress.h"

#include "browser/AutomaticAccessAddress.h"
#include "cardstore/CCard.h"

namespace tessarel {

WebPageAddress WebPageAddress::For(const CCard& card, const std::function<bool()>& portalAnswers) {
    WebPageAddress result;
    if (card.GetAutomaticAccess() != 1) {
        result.address = SecureString(card.GetFieldText2());
        return result;
    }
    const bool hasCredentials = !card.GetFieldText3().empty() || !card.GetFieldText4().empty();
    if (hasCredentials && !portalAnswers()) {
        // The same address as with the credentials (the scheme Automatic Access adds), without them.
        result.address = browser::AutomaticAccessAddress(card.GetFieldText2(), {}, {});
        result.credentialsLeftOut = true;
        return result;
    }
    result.address = browser::AutomaticAccessAddress(card.GetFieldText2(), card.GetFieldText3(), card.GetFieldText4());
    return result;
}

QString WebPageAddress::LeftOutText() {
    return QStringLiteral(
        "The page was opened without the card's user name and password: no desktop portal answered "
        "to hand them to the browser privately.");
}

}  // namespace tessarel
