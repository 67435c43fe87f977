// The card-file commands of tessarel-cli: export, import, convert, ls, show and find.

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
#include "ExportTarget.h"
#include "TerminalUserInterface.h"
#include "ImportCommand.h"
#include "exchange/KeePassXcCsvWriter.h"
#include "core/FileReader.h"
#include "core/Win1252.h"

namespace tessarel::cli {
namespace {

constexpr const char* kExportUsage = "export FILE [--format json|csv|keepassxc-csv] [--output OUTFILE]";
constexpr const char* kImportUsage = "import JSONFILE OUTFILE";
constexpr const char* kConvertUsage = "convert IN OUT";
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
    const auto parsed = CliArguments::Parse(arguments, {}, {"--format", "--output"});
    if (!parsed || parsed->Positional().size() != 1) return UsageError(kExportUsage);
    const std::string format = parsed->Value("--format", "json");
    if (format != "json" && format != "csv" && format != "keepassxc-csv") return UsageError(kExportUsage);
    if (parsed->Has("--output") && parsed->Value("--output", "").empty()) return UsageError(kExportUsage);

    TerminalUserInterface ui;
    // The records stay bytes and the text goes out as it is made: an export needs about the
    // file's size in memory, not a card object per card and the whole text besides.
    // The KeePassXC writer works on cards, so that format loads them.
    const bool keepassxc = format == "keepassxc-csv";
    const auto file = OpenCardFile(parsed->Positional()[0], ui, 0, !keepassxc);
    if (!file) return kExitFailed;
    ExportTarget target(parsed->Value("--output", ""));
    if (!target.Open()) return kExitFailed;
    if (keepassxc) {
        target.Write(WriteKeePassXcCsv(file->data));
    } else {
        const ExportStream::Output output = [&target](std::string_view text) { target.Write(text); };
        if (format == "json") {
            ExportJson(*file, output);
        } else {
            ExportCsv(*file, output);
        }
    }
    return target.Finish() ? kExitSuccess : kExitFailed;
}

// Interactively the password is typed twice, as the program's File Encryption dialog asks for
// it; from a pipe the first line is the password.
bool ReadEncryptionPassword(TerminalUserInterface& ui, const std::string& path, CCardFileData& data) {
    const std::string prompt = "Encryption Password for file: " + path.substr(path.find_last_of('/') + 1);
    auto password = ui.ReadPassword(prompt);
    if (!password && ui.Refused()) return false;
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

// The file type a path's suffix names.
enum class SaveKind { Plain, Encrypted, Sealed, Unknown };

SaveKind SaveKindOf(const std::string& path) {
    const auto dot = path.find_last_of("./");
    const std::string suffix = dot == std::string::npos || path[dot] != '.' ? std::string() : path.substr(dot);
    if (suffix == ".qdf") return SaveKind::Plain;
    if (suffix == ".qde") return SaveKind::Encrypted;
    if (suffix == ".qdx") return SaveKind::Sealed;
    return SaveKind::Unknown;
}

int SaveAs(CCardFileData& data, const std::string& outPath, TerminalUserInterface& ui) {
    const CardFileSaveResult saved = SaveCardFile(data, outPath, ui);
    if (saved.stopped) return kExitFailed;
    if (!saved.ok) {
        std::cerr << "Cannot save file " << outPath << ": " << saved.errorText << std::endl;
        return kExitFailed;
    }
    return kExitSuccess;
}

int Import(const std::vector<std::string>& arguments) {
    if (IsImportFrom(arguments)) return ImportFrom(arguments);
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
    // A ".qdx" name asks for strong encryption whatever the JSON says: it is never written plain.
    const bool sealed = SaveKindOf(outPath) == SaveKind::Sealed;
    if ((imported.encrypted || sealed) && !ReadEncryptionPassword(ui, outPath, data)) return kExitFailed;
    data.sealed = sealed;
    return SaveAs(data, outPath, ui);
}

// Reads IN as the program opens it (asking its password) and writes OUT as the type its suffix
// names, asking the new password as import does when OUT is encrypted.
int Convert(const std::vector<std::string>& arguments) {
    const auto parsed = CliArguments::Parse(arguments, {}, {});
    if (!parsed || parsed->Positional().size() != 2) return UsageError(kConvertUsage);
    const std::string& inPath = parsed->Positional()[0];
    const std::string& outPath = parsed->Positional()[1];
    const SaveKind kind = SaveKindOf(outPath);
    if (kind == SaveKind::Unknown) {
        std::cerr << "The name " << outPath << " must end in .qdf (plain), .qde (compatible encrypted) or .qdx (strong encryption)."
                  << std::endl;
        return UsageError(kConvertUsage);
    }
    TerminalUserInterface ui;
    const auto file = OpenCardFile(inPath, ui);
    if (!file) return kExitFailed;
    CCardFileData& data = file->data;
    data.encryptionMode = 0;
    data.sealed = false;
    if (kind != SaveKind::Plain) {
        if (!ReadEncryptionPassword(ui, outPath, data)) return kExitFailed;
        data.sealed = kind == SaveKind::Sealed;
    }
    return SaveAs(data, outPath, ui);
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
    commands.push_back({"import", std::string(kImportUsage) + "\n  tessarel-cli " + kImportFromUsage, Import});
    commands.push_back({"convert", kConvertUsage, Convert});
    commands.push_back({"ls", kLsUsage, List});
    commands.push_back({"show", kShowUsage, Show});
    commands.push_back({"find", kFindUsage, Find});
}

}  // namespace tessarel::cli
