#pragma once
// Small helpers the tessarel-cli tests share: a scratch folder, writing card files, running an
// export and parsing its JSON.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <array>
#include <string>

#include "CliProcess.h"
#include "IndependentCardFile.h"
#include "support/TempDir.h"

namespace tessarel::testing {

inline const std::array<const char*, 15> kNames = {
    "WWW Sites",     "WWW Forms",     "FTP Servers",   "Newsgroups",    "E-Mail Contacts",
    "Login Accounts", "POP Accounts",  "Bank Accounts", "Credit Cards",  "ATM/PIN Cards",
    "Personal Data", "Software Keys", "Serial Numbers", "Membership Numbers", "Miscellaneous"};

inline std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

inline QJsonObject ParseJson(const std::string& text) {
    return QJsonDocument::fromJson(QByteArray(text.data(), static_cast<qsizetype>(text.size()))).object();
}

}  // namespace tessarel::testing
