// tessarel-cli audit: the program's password report for scripts. Exit status 0 when no password is
// weak or reused, 1 when one is (or the file cannot be read), 2 on a usage error.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "CardFileSession.h"
#include "CliArguments.h"
#include "CliCommand.h"
#include "TerminalUserInterface.h"
#include "cardstore/CardTime.h"
#include "cardstore/CategoryTable.h"
#include "cardstore/report/PasswordReport.h"
#include "core/Win1252.h"

namespace tessarel::cli {
namespace {

constexpr const char* kAuditUsage = "audit FILE [--format text|json]";

std::string Guesses(const PasswordReportRow& row) {
    if (row.empty) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "10^%.1f", row.strength.guessesLog10);
    return text;
}

std::string Strength(const PasswordReportRow& row) {
    if (row.empty) return "0 empty";
    return std::to_string(row.strength.score) + (row.Weak() ? " weak" : "");
}

std::string Age(const PasswordReportRow& row) {
    if (!row.ageKnown) return "unknown";
    return std::to_string(row.ageDays) + (row.ageDays == 1 ? " day" : " days") + (row.old ? " old" : "");
}

std::string Padded(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text + ' ';
}

void PrintText(const PasswordReport& report) {
    std::cout << Padded("STRENGTH", 9) << Padded("GUESSES", 8) << Padded("REUSED", 6) << Padded("AGE", 14) << Padded("CATEGORY", 18)
              << "NAME\n";
    for (const PasswordReportRow& row : report.Rows()) {
        std::cout << Padded(Strength(row), 9) << Padded(Guesses(row), 8) << Padded(row.Reused() ? std::to_string(row.reusedBy) : "-", 6)
                  << Padded(Age(row), 14) << Padded(std::string(CategoryName(row.categoryCode)), 18) << Win1252ToUtf8(row.name) << "\n";
    }
    std::cout << report.SummaryText() << "\n"
              << "(weak: a zxcvbn score below " << kWeakScoreBelow << " of 4; reused: the number of other cards with the same password)\n"
              << std::flush;
}

void PrintJson(const PasswordReport& report) {
    QJsonArray cards;
    for (const PasswordReportRow& row : report.Rows()) {
        QJsonObject card;
        card["category"] = row.categoryCode;
        card["categoryName"] = QString::fromLatin1(CategoryName(row.categoryCode).data(), static_cast<qsizetype>(CategoryName(row.categoryCode).size()));
        card["name"] = QString::fromStdString(Win1252ToUtf8(row.name));
        card["score"] = row.strength.score;
        card["guessesLog10"] = row.strength.guessesLog10;
        card["weak"] = row.Weak();
        card["reusedBy"] = row.reusedBy;
        card["empty"] = row.empty;
        card["ageDays"] = row.ageKnown ? QJsonValue(static_cast<qint64>(row.ageDays)) : QJsonValue();
        card["old"] = row.old;
        cards.append(card);
    }
    const PasswordReportSummary& counts = report.Summary();
    QJsonObject summary{{"cards", counts.cards}, {"weak", counts.weak}, {"reused", counts.reused}, {"empty", counts.empty}, {"old", counts.old}};
    QJsonObject root{{"weakBelowScore", kWeakScoreBelow}, {"cards", cards}, {"summary", summary}};
    std::cout << QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString() << std::flush;
}

int Audit(const std::vector<std::string>& arguments) {
    const auto parsed = CliArguments::Parse(arguments, {}, {"--format"});
    if (!parsed || parsed->Positional().size() != 1) return UsageError(kAuditUsage);
    const std::string format = parsed->Value("--format", "text");
    if (format != "text" && format != "json") return UsageError(kAuditUsage);
    TerminalUserInterface ui;
    const auto file = OpenCardFile(parsed->Positional()[0], ui);
    if (!file) return kExitFailed;
    const PasswordReport report = PasswordReport::Make(file->data, CurrentCardTimeStamp());
    if (format == "json")
        PrintJson(report);
    else
        PrintText(report);
    return report.Clean() ? kExitSuccess : kExitFailed;
}

}  // namespace

void RegisterAuditCommand(std::vector<CliCommand>& commands) { commands.push_back({"audit", kAuditUsage, Audit}); }

}  // namespace tessarel::cli
