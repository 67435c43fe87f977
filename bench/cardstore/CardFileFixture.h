#pragma once
// A document of realistic cards for the card-file benchmarks, and a user interface that answers
// the password prompt without asking anyone.

#include <optional>
#include <string>

#include "cardstore/CCardFileData.h"
#include "core/UserInterface.h"

namespace tessarel::bench {

constexpr const char* kPassword = "benchmark password";

// `count` cards spread over the fifteen categories, saved encrypted under kPassword.
void FillDocument(CCardFileData& doc, int count);

class SilentUserInterface : public UserInterface {
public:
    MessageAnswer ShowMessage(const Message&) override { return MessageAnswer::Ok; }
    std::optional<std::string> AskPassword(const std::string&) override { return std::string(kPassword); }
};

// Resident set size and its high-water mark of this process, in bytes (Linux /proc).
std::size_t ResidentBytes();
std::size_t PeakResidentBytes();

}  // namespace tessarel::bench
