#include "ImportCommand.h"

#include <algorithm>
#include <iostream>

#include "CardFileSession.h"
#include "CliArguments.h"
#include "CliCommand.h"
#include "TerminalUserInterface.h"
#include "core/FileReader.h"
#include "exchange/CardImporter.h"
#include "exchange/ImportFormat.h"

namespace tessarel::cli {
namespace {

// Exports of a person's passwords are small; this bound only keeps a wrong file from filling memory.
constexpr std::size_t kMaxSourceSize = std::size_t{256} << 20;

struct Request {
    ImportFormat format = ImportFormat::GenericCsv;
    CsvFieldMap map;
    ImportOptions options;
    std::string source, outFile;
};

// nullopt after a usage message (exit 2).
std::optional<Request> ParseRequest(const std::vector<std::string>& arguments) {
    const auto parsed = CliArguments::Parse(arguments, {"--skip-unsupported", "--replace-unsupported", "--allow-duplicates"}, {"--from", "--map"});
    if (!parsed || parsed->Positional().size() != 2) return std::nullopt;
    Request request;
    const auto format = ImportFormatFromName(parsed->Value("--from", ""));
    if (!format) return std::nullopt;
    request.format = *format;
    if (parsed->Has("--skip-unsupported") && parsed->Has("--replace-unsupported")) return std::nullopt;
    if (parsed->Has("--skip-unsupported")) request.options.unsupported = UnsupportedText::Skip;
    if (parsed->Has("--replace-unsupported")) request.options.unsupported = UnsupportedText::Replace;
    request.options.allowDuplicates = parsed->Has("--allow-duplicates");
    if (parsed->Has("--map") != (request.format == ImportFormat::GenericCsv)) {
        std::cerr << "--map goes with --from csv, and --from csv needs --map (e.g. --map name=Title,url=URL)." << std::endl;
        return std::nullopt;
    }
    if (parsed->Has("--map")) {
        std::string error;
        const auto map = ParseCsvFieldMap(parsed->Value("--map", ""), error);
        if (!map) {
            std::cerr << "--map: " << error << std::endl;
            return std::nullopt;
        }
        request.map = *map;
    }
    request.source = parsed->Positional()[0];
    request.outFile = parsed->Positional()[1];
    return request;
}

std::optional<ImportRead> ReadSource(const Request& request) {
    SecureBytes bytes;
    const FileReadResult read = ReadWholeFile(request.source, kMaxSourceSize, bytes);
    if (read.status != ReadStatus::Ok) {
        std::cerr << "Cannot open file " << request.source << ": "
                  << (read.status == ReadStatus::TooLarge ? std::string("the file is too large") : read.errorText) << std::endl;
        return std::nullopt;
    }
    ImportRead imported = ReadImport(request.format, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), request.map);
    if (!imported.error.empty()) {
        std::cerr << request.source << ": " << imported.error << " Nothing was imported." << std::endl;
        return std::nullopt;
    }
    return imported;
}

}  // namespace

bool IsImportFrom(const std::vector<std::string>& arguments) {
    return std::any_of(arguments.begin(), arguments.end(), [](const std::string& a) { return a == "--from" || a.rfind("--from=", 0) == 0; });
}

int ImportFrom(const std::vector<std::string>& arguments) {
    auto request = ParseRequest(arguments);
    if (!request) return UsageError(kImportFromUsage);
    const auto imported = ReadSource(*request);
    if (!imported) return kExitFailed;

    TerminalUserInterface ui;
    std::unique_ptr<OpenedCardFile> target;
    const bool exists = FileExists(request->outFile);
    if (exists) {
        target = OpenCardFile(request->outFile, ui, DateFormatSetting());
        if (!target) return kExitFailed;
    } else {
        target = std::make_unique<OpenedCardFile>();
    }
    request->options.dateFormat = DateFormatSetting();
    ImportPlan plan = ImportPlan::Make(imported->cards, target->data, request->options);
    std::cerr << "Read " << imported->cards.size() << " entries from " << request->source << " (" << ImportFormatName(request->format) << ")." << std::endl;
    for (const auto& line : plan.Summary()) std::cerr << line << "\n";
    std::cerr << std::flush;
    if (plan.Refused()) {
        std::cerr << "Use --skip-unsupported or --replace-unsupported to choose." << std::endl;
        return kExitFailed;
    }
    // Nothing new: the card file is left exactly as it was.
    if (plan.CardCount() == 0 && exists) return kExitSuccess;
    plan.ApplyTo(target->data);
    const CardFileSaveResult saved = SaveCardFile(target->data, request->outFile, ui);
    if (saved.stopped) return kExitFailed;
    if (!saved.ok) {
        std::cerr << "Cannot save file " << request->outFile << ": " << saved.errorText << std::endl;
        return kExitFailed;
    }
    return kExitSuccess;
}

}  // namespace tessarel::cli
