#include "CardModel.h"

#include <ctime>

namespace tessarel::test {

bool ModelCards::HasAny() const {
    if (!deleted.empty()) return true;
    for (const auto& list : lists)
        if (!list.empty()) return true;
    return false;
}

int ModelCards::LiveCount() const {
    int count = 0;
    for (const auto& list : lists) count += static_cast<int>(list.size());
    return count;
}

ModelCards ModelCards::AsRead() const {
    ModelCards read = *this;
    for (auto& list : read.lists)
        for (ModelCard& card : list) card.automaticAccess = card.newBrowserWindow = 0;
    for (ModelCard& card : read.deleted) card.automaticAccess = card.newBrowserWindow = 0;
    return read;
}

namespace {

// The few characters outside ASCII that random texts use, with their Windows-1252 bytes.
struct Extra {
    char16_t unit;
    char byte;
};
constexpr Extra kExtras[] = {{u'\u00e9', '\xe9'}, {u'\u00fc', '\xfc'}, {u'\u00df', '\xdf'}, {u'\u20ac', '\x80'}, {u'\u201e', '\x84'}};

}  // namespace

const QString& ModelAlphabet() {
    static const QString alphabet = [] {
        QString text = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789     -_.:/@!#");
        for (const Extra& extra : kExtras) text += QChar(extra.unit);
        return text;
    }();
    return alphabet;
}

std::string CardBytes(const QString& typed) {
    std::string bytes;
    for (QChar c : typed) {
        if (c == QLatin1Char('\n')) {
            bytes += "\r\n";
            continue;
        }
        if (c.unicode() < 0x80) {
            bytes += static_cast<char>(c.unicode());
            continue;
        }
        char byte = '?';
        for (const Extra& extra : kExtras)
            if (extra.unit == c.unicode()) byte = extra.byte;
        bytes += byte;
    }
    return bytes;
}

const std::array<QString, 4>& ModelLabels(int code) {
    static const std::array<std::array<QString, 4>, kModelCategories> labels = {{
        {"Name:", "URL:", "User ID:", "Password:"},
        {"Name:", "URL:", "User ID:", "Password:"},
        {"Name:", "URL:", "User ID:", "Password:"},
        {"Name:", "URL:", "User ID:", "Password:"},
        {"Name:", "URL:", "N/A:", "N/A:"},
        {"Name:", "Host:", "Login:", "Password:"},
        {"Full Name:", "POP Server:", "UserID:", "Password:"},
        {"Bank:", "Branch Number:", "Account Holder:", "Account Number:"},
        {"Name/Type:", "Exp. Date:", "Number:", "PIN Code:"},
        {"Name:", "Bank:", "Telephone Number:", "ATM/PIN Code:"},
        {"Person:", "Type of Data:", "Date/Place Issued:", "Number:"},
        {"Product:", "Home Page:", "Licensed To:", "Software Key:"},
        {"Name:", "Home Page:", "Other:", "Number:"},
        {"Organisation:", "Home Page:", "Name:", "Number:"},
        {"Name:", "Home Page:", "Description:", "Password:"},
    }};
    return labels.at(static_cast<std::size_t>(code));
}

QString ModelCategoryName(int code) {
    static const QStringList names = {"WWW Sites",     "WWW Forms",     "FTP Servers",   "Newsgroups",     "E-Mail Contacts",
                                      "Login Accounts", "POP Accounts",  "Bank Accounts", "Credit Cards",   "ATM/PIN Cards",
                                      "Personal Data", "Software Keys", "Serial Numbers", "Membership Numbers", "Miscellaneous"};
    return names.at(code);
}

bool InBrowserGroup(int code) { return code == 0 || code == 2 || code == 3 || code == 4; }

bool BrowserAttributesInDialog(int code) { return code == 0 || code == 1 || code == 2 || code == 14; }

QString FieldPrefix(int code) {
    switch (code) {
        case 0:
        case 14: return QStringLiteral("http://");
        case 2:
        case 3: return QStringLiteral("ftp://");
        case 5: return QStringLiteral("telnet://");
        default: return {};
    }
}

QString DateText(std::uint32_t stamp) {
    // The stamp counts the local clock; it is broken down as it stands.
    const std::time_t seconds = static_cast<std::time_t>(static_cast<std::int64_t>(stamp) - 2082844800LL);
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%m/%d/%y", &parts);
    return QString::fromLatin1(text);
}

QString NoteSummary(const QString& note) {
    const qsizetype lineFeed = note.indexOf(QLatin1Char('\n'));
    if (lineFeed >= 0) return note.left(lineFeed) + QStringLiteral("...");
    if (note.size() <= 60) return note;
    qsizetype cut = 60;
    if (note[60] != QLatin1Char(' ')) {
        for (qsizetype i = 59; i > 0; --i) {
            if (note[i] == QLatin1Char(' ')) {
                cut = i;
                break;
            }
        }
    }
    return note.left(cut) + QStringLiteral("...");
}

std::vector<std::pair<QString, QString>> ExpectedRows(const ModelCard& card, std::uint32_t modified) {
    const auto& labels = ModelLabels(card.code);
    std::vector<std::pair<QString, QString>> rows;
    rows.emplace_back(labels[0], card.fields[0]);
    rows.emplace_back(labels[1], card.fields[1]);
    rows.emplace_back(labels[2], card.fields[2]);
    rows.emplace_back(labels[3], QString(std::min<qsizetype>(card.fields[3].size(), 255), QLatin1Char('*')));
    rows.emplace_back(QStringLiteral("Note:"), NoteSummary(card.note));
    auto onOff = [](int flag) { return flag == 1 ? QStringLiteral("On") : QStringLiteral("Off"); };
    if (InBrowserGroup(card.code)) {
        rows.emplace_back(QStringLiteral("Automatic Access:"), onOff(card.automaticAccess));
        rows.emplace_back(QStringLiteral("New Browser Window:"), onOff(card.newBrowserWindow));
    }
    rows.emplace_back(QStringLiteral("Date:"), DateText(modified));
    return rows;
}

bool TreeOrderBefore(const QString& a, const QString& b) { return a.toCaseFolded() < b.toCaseFolded(); }

}  // namespace tessarel::test
