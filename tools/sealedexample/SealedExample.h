#pragma once
// The worked example of docs/sealed-card-file.md: one card sealed under a known password with a
// fixed salt and nonce, printed as the documentation shows it. The tool sealed_example prints it,
// scripts/sealed-example.sh writes it into the page, and a test checks that the page still holds
// exactly what the program makes.

#include <string>

namespace tessarel {

// The example as Markdown, from "Password:" to the last line of the file's hex dump.
std::string SealedExampleMarkdown();

}  // namespace tessarel
