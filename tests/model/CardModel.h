#pragma once
// The plain model the randomized program test compares against: per category the cards in list
// order with their fields, note and flags, the deleted list, and what a card file on disk holds.
// The expectations (bytes on file, the rows of the field list, the tree's order) are written here
// from the card file and view rules, independently of the program's own code.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tessarel::test {

inline constexpr int kModelCategories = 15;

struct ModelCard {
    std::array<QString, 4> fields;  // name, second, third, password (as typed)
    QString note;                   // as typed: line breaks are "\n"
    int code = 0;
    bool edited = false;
    bool deleted = false;
    // The time stamp is known to lie in [modifiedLow, modifiedHigh]; the first look pins it.
    std::uint32_t modifiedLow = 0;
    std::uint32_t modifiedHigh = 0;
    int automaticAccess = 0;
    int newBrowserWindow = 0;
};

struct ModelCards {
    std::array<std::vector<ModelCard>, kModelCategories> lists;
    std::vector<ModelCard> deleted;

    bool HasAny() const;  // deleted cards count too
    int LiveCount() const;
    // As a file read gives them back: the browser options are not stored.
    ModelCards AsRead() const;
};

// What one card file on disk should hold.
struct ModelFile {
    ModelCards cards;
    bool encrypted = false;
    std::string password;  // the bytes of the password it was saved under
    QString typed;         // the same password as typed
    // A file that is no card file (an encrypted single file): its bytes must stay as they are.
    bool opaque = false;
    QByteArray bytes;
};

// The bytes a typed text is stored as: Windows-1252, line breaks CR LF.
std::string CardBytes(const QString& typed);
// The alphabet random texts are drawn from (every character is one byte in Windows-1252).
const QString& ModelAlphabet();

// The four field labels of a category code.
const std::array<QString, 4>& ModelLabels(int code);
QString ModelCategoryName(int code);
// "WWW Sites", "FTP Servers", "Newsgroups", "E-Mail Contacts": the rows of the browser options.
bool InBrowserGroup(int code);
// The categories whose card dialog (New Card, Edit Card) enables the browser check boxes.
bool BrowserAttributesInDialog(int code);
// The second field New Card proposes.
QString FieldPrefix(int code);

// The rows (label, value) the field list shows for `card` when the stamp is `modified`.
std::vector<std::pair<QString, QString>> ExpectedRows(const ModelCard& card, std::uint32_t modified);
QString NoteSummary(const QString& note);
// "%m/%d/%y" of a card time stamp (seconds since 1904 on the local clock).
QString DateText(std::uint32_t stamp);

// The order the tree shows names in: without regard to case.
bool TreeOrderBefore(const QString& a, const QString& b);

}  // namespace tessarel::test
