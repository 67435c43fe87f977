// tessarel-cli generate: one password from the program's generator on standard output, for
// scripts that fill cards or other stores. The options are those of the Generate Password dialog.

#include <charconv>
#include <iostream>
#include <string>
#include <vector>

#include "CliArguments.h"
#include "CliCommand.h"
#include "cardstore/PasswordGenerator.h"
#include "cardstore/RandomSource.h"

namespace tessarel::cli {
namespace {

constexpr const char* kGenerateUsage = "generate [--length N] [--classes ulds] [--no-lookalikes] [--words N [--separator S]]";

// A usage error with the reason first, so a script's log says what to mend.
int RefuseUsage(const std::string& reason) {
    std::cerr << "tessarel-cli: " << reason << "\n";
    return UsageError(kGenerateUsage);
}

std::optional<int> WholeNumber(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// The options as typed, or the reason they cannot be used.
struct ParsedOptions {
    GeneratorOptions options;
    std::string problem;
};

ParsedOptions ReadOptions(const CliArguments& parsed) {
    ParsedOptions result;
    GeneratorOptions& options = result.options;
    const bool characters = parsed.Has("--length") || parsed.Has("--classes") || parsed.Has("--no-lookalikes");
    options.passphrase = parsed.Has("--words");
    if (options.passphrase && characters) {
        result.problem = "--words makes a passphrase; it does not go with --length, --classes or --no-lookalikes.";
        return result;
    }
    if (parsed.Has("--separator") && !options.passphrase) {
        result.problem = "--separator goes with --words.";
        return result;
    }
    const char* number = options.passphrase ? "--words" : "--length";
    if (parsed.Has(number)) {
        std::optional<int> value = WholeNumber(parsed.Value(number, ""));
        if (!value) {
            result.problem = std::string(number) + " needs a whole number, not '" + parsed.Value(number, "") + "'.";
            return result;
        }
        (options.passphrase ? options.words : options.length) = *value;
    }
    if (parsed.Has("--classes")) {
        std::optional<unsigned> classes = ParseClassLetters(parsed.Value("--classes", ""));
        if (!classes) {
            result.problem = "--classes takes the letters u (upper case), l (lower case), d (digits) and s (symbols), not '" +
                             parsed.Value("--classes", "") + "'.";
            return result;
        }
        options.classes = *classes;
    }
    options.excludeLookAlikes = parsed.Has("--no-lookalikes");
    options.separator = parsed.Value("--separator", options.separator);
    result.problem = CheckGeneratorOptions(options);
    return result;
}

int RunGenerate(const std::vector<std::string>& arguments) {
    const auto parsed = CliArguments::Parse(arguments, {"--no-lookalikes"}, {"--length", "--classes", "--words", "--separator"});
    if (!parsed || !parsed->Positional().empty()) return UsageError(kGenerateUsage);
    const ParsedOptions read = ReadOptions(*parsed);
    if (!read.problem.empty()) return RefuseUsage(read.problem);
    try {
        SystemRandom random;
        SecureString password = GeneratePassword(read.options, random);
        password += '\n';
        std::cout.write(password.data(), static_cast<std::streamsize>(password.size()));
        std::cout.flush();
        return std::cout ? kExitSuccess : kExitFailed;
    } catch (const RandomUnavailable& error) {
        std::cerr << error.what() << "\n";
        return kExitFailed;
    }
}

}  // namespace

void RegisterGenerateCommand(std::vector<CliCommand>& commands) { commands.push_back({"generate", kGenerateUsage, RunGenerate}); }

}  // namespace tessarel::cli
