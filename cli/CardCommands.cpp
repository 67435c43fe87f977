// The card-file commands of tessarel-cli: export, import, ls, show and find.

#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "CardCsv.h"
#include "cardstore/CardFieldRows.h"
#include "CardFileSession.h"
#include "CardJson.h"
#include "cardstore/CardSearch.h"
#include "CliArguments.h"
#include "CliCommand.h"
#include "TerminalUserInterface.h"
#include "core/FileReader.h"
#include "core/Win1252.h"

namespace tessarel::cli {
namespace {

constexpr const char* kExportUsage = "export FILE [--format json|csv]";
constexpr const char* kImportUsage = "import JSONFILE OUTFILE";
constexpr const char* kLsUsage = "ls FILE";
constexpr const char* kShowUsage = "show FILE NAME [--reveal]";
constexpr const char* kFindUsage = "find FILE TEXT [--ignore-case]";

// A JSON file holds a card file's texts escaped, so it may be several times the card file.
constexpr std::size_t kMaxJsonSize = std::size_t{1} << 30;

// Card texts (passwords with --reveal) pass through here: the converted copy is wiped.
void Print(std::string_view bytes) {
    std::string utf8 = Win1252ToUtf8(bytes);
    std::cout << utf8;
    WipeString(utf8);
}

int Export(const std::vector<std::string>& arguments) {
    const auto parsed = CliArguments::Parse(arguments, {}, {"--format"});
    if (!parsed || parsed->Positional().size() != 1) return UsageError(kExportUsage);
    const std::string format = parsed->Value("--format", "json");
    if (format != "json" && format != "csv") return UsageError(kExportUsage);

    TerminalUserInterface ui;
    // The records stay bytes and the text goes out as it is made: an export needs about the
    // file's size in memory, not a card object per card and the whole text besides.
    const auto file = OpenCardFile(parsed->Positional()[0], ui, 0, true);
    if (!file) return kExitFailed;
    const ExportStream::Output output = [](std::string_view text) { std::cout.write(text.data(), static_cast<std::streamsize>(text.size())); };
    if (format == "json") {
        ExportJson(*file, output);
    } else {
        ExportCsv(*file, output);
    }
    std::cout << std::flush;
    return kExitSuccess;
}

// Interactively the password is typed twice, as the program's File Encryption dialog asks for
// it; from a pipe the first line is the password.
bool ReadEncryptionPassword(TerminalUserInterface& ui, const std::string& path, CCardFileData& data) {
    const std::string prompt = "Encryption Password for file: " + path.substr(path.find_last_of('/') + 1);
    auto password = ui.ReadPassword(prompt);
    if (password && ::isatty(STDIN_FILENO) == 1) {
        auto again = ui.ReadPassword("Enter your password (key) again");
        const bool same = again && *again == *password;
        if (again) WipeString(*again);
        if (!same) {
            WipeString(*password);
            ui.Tell("Password not correct, try again!");
            return false;
        }
    }
    // An empty or missing password is refused by the writer ("The encryption password is not set.").
    data.encryptionPassword.assign(password.value_or(std::string()));
    if (password) WipeString(*password);
    data.encryptionMode = 1;
    return true;
}

int Import(const std::vector<std::string>& arguments) {
    const auto parsed = CliArguments::Parse(arguments, {}, {});
    if (!parsed || parsed->Positional().size() != 2) return UsageError(kImportUsage);
    const std::string& jsonPath = parsed->Positional()[0];
    const std::string& outPath = parsed->Positional()[1];

    SecureBytes json;
    const FileReadResult read = ReadWholeFile(jsonPath, kMaxJsonSize, json);
    if (read.status != ReadStatus::Ok) {
        std::cerr << "Cannot open file " << jsonPath << ": "
                  << (read.status == ReadStatus::TooLarge ? std::string("the file is too large") : read.errorText) << std::endl;
        return kExitFailed;
    }
    CCardFileData data;
    const JsonImport imported = ImportJson(std::string_view(reinterpret_cast<const char*>(json.data()), json.size()), data);
    if (!imported.error.empty()) {
        std::cerr << jsonPath << ": " << imported.error << std::endl;
        return kExitFailed;
    }
    TerminalUserInterface ui;
    if (imported.encrypted && !ReadEncryptionPassword(ui, outPath, data)) return kExitFailed;
    const CardFileSaveResult saved = SaveCardFile(data, outPath, ui);
    if (saved.stopped) return kExitFailed;
    if (!saved.ok) {
        std::cerr << "Cannot save file " << outPath << ": " << saved.errorText << std::endl;
        return kExitFailed;
    }
    return kExitSuccess;
}

int List(const std::vector<std::string>& arguments) {
    const auto parsed = CliArguments::Parse(arguments, {}, {});
    if (!parsed || parsed->Positional().size() != 1) return UsageError(kLsUsage);
    TerminalUserInterface ui;
    const auto file = OpenCardFile(parsed->Positional()[0], ui);
    if (!file) return kExitFailed;
    for (int code = 0; code < kCategoryCount; ++code) {
        std::vector<const CCard*> cards;
        for (const auto& card : *file->data.GetCategoryList(code)) cards.push_back(card.get());
        // Byte order of the names; equal names keep their list order.
        std::stable_sort(cards.begin(), cards.end(),
                         [](const CCard* a, const CCard* b) { return a->GetFieldText1() < b->GetFieldText1(); });
        std::cout << CategoryName(code) << "\n";
        for (const CCard* card : cards) {
            std::cout << "  ";
            Print(card->GetFieldText1());
            std::cout << "\n";
        }
    }
    std::cout << std::flush;
    return kExitSuccess;
}

int Show(const std::vector<std::string>& arguments) {
    const auto parsed = CliArguments::Parse(arguments, {"--reveal"}, {});
    if (!parsed || parsed->Positional().size() != 2) return UsageError(kShowUsage);
    const auto name = ArgumentToCardText(parsed->Positional()[1], "name");
    if (!name) return kExitFailed;
    TerminalUserInterface ui;
    const auto file = OpenCardFile(parsed->Positional()[0], ui, DateFormatSetting());
    if (!file) return kExitFailed;

    const CCard* shown = nullptr;
    for (const CCard* card : CardsInSaveOrder(file->data)) {
        if (!card->IsDeleted() && std::string_view(card->GetFieldText1()) == *name) {
            shown = card;
            break;
        }
    }
    if (!shown) {
        std::cerr << "No card is named \"" << parsed->Positional()[1] << "\"." << std::endl;
        return kExitFailed;
    }
    auto rows = CardFieldRows(*shown, parsed->Has("--reveal"));
    std::size_t width = 0;
    for (const auto& row : rows) width = std::max(width, row.first.size());
    for (auto& row : rows) {
        std::cout << row.first << std::string(width + 2 - row.first.size(), ' ');
        Print(row.second);
        std::cout << "\n";
        // With --reveal the password row holds the password itself.
        WipeString(row.second);
    }
    // The row shows a summary; the whole note follows when the summary leaves some out.
    const std::string_view note = shown->GetNote();
    if (!note.empty() && NoteSummary(note) != note) {
        SecureString lines;
        for (std::size_t i = 0; i < note.size(); ++i) {
            if (note[i] == '\r' && i + 1 < note.size() && note[i + 1] == '\n') continue;
            lines.push_back(note[i]);
        }
        std::cout << "\n";
        Print(lines);
        std::cout << "\n";
    }
    std::cout << std::flush;
    return kExitSuccess;
}

int Find(const std::vector<std::string>& arguments) {
    const auto parsed = CliArguments::Parse(arguments, {"--ignore-case"}, {});
    if (!parsed || parsed->Positional().size() != 2) return UsageError(kFindUsage);
    const auto text = ArgumentToCardText(parsed->Positional()[1], "search text");
    if (!text) return kExitFailed;
    TerminalUserInterface ui;
    if (text->empty()) {
        ui.Tell("Please enter a string.");
        return kExitFailed;
    }
    const auto file = OpenCardFile(parsed->Positional()[0], ui);
    if (!file) return kExitFailed;
    const auto found = SearchCards(file->data, *text, parsed->Has("--ignore-case"));
    if (found.empty()) {
        ui.Tell("No occurrence of this string can be found, please try again.");
        return kExitFailed;
    }
    for (const CCard* card : found) {
        std::cout << CategoryName(card->GetCategoryCode()) << "\t";
        Print(card->GetFieldText1());
        std::cout << "\n";
    }
    std::cout << std::flush;
    return kExitSuccess;
}

}  // namespace

void RegisterCardCommands(std::vector<CliCommand>& commands) {
    commands.push_back({"export", kExportUsage, Export});
    commands.push_back({"import", kImportUsage, Import});
    commands.push_back({"ls", kLsUsage, List});
    commands.push_back({"show", kShowUsage, Show});
    commands.push_back({"find", kFindUsage, Find});
}

}  // namespace tessarel::cli
