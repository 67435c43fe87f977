// docs/sealed-card-file.md carries a worked example that scripts/sealed-example.sh wrote from the
// program's own sealing. The page must still show exactly what the program makes, and the file
// in its hex dump must open under the example's password.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "SealedExample.h"
#include "cardstore/CardFileFormat.h"
#include "cardstore/SealedHeader.h"
#include "support/ScriptedUserInterface.h"

namespace tessarel {
namespace {

std::string Page() {
    std::ifstream in(TESSAREL_SEALED_DOC);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ExampleOfPage(const std::string& page) {
    const std::string begin = "<!-- example:begin -->\n", end = "<!-- example:end -->";
    const auto from = page.find(begin);
    const auto to = page.find(end);
    if (from == std::string::npos || to == std::string::npos || to < from) return {};
    return page.substr(from + begin.size(), to - from - begin.size());
}

// The bytes of the last hex dump of the example ("00000000: 51 6e ...").
std::vector<std::uint8_t> FileOfExample(const std::string& example) {
    const auto start = example.rfind("```\n", example.rfind("```\n") - 1);
    std::istringstream lines(example.substr(start + 4));
    std::vector<std::uint8_t> bytes;
    std::string line;
    while (std::getline(lines, line) && line != "```") {
        std::istringstream fields(line.substr(line.find(':') + 1));
        std::string pair;
        while (fields >> pair) bytes.push_back(static_cast<std::uint8_t>(std::stoul(pair, nullptr, 16)));
    }
    return bytes;
}

TEST(SealedExampleDoc, ThePageShowsWhatTheProgramMakes) {
    const std::string example = ExampleOfPage(Page());
    ASSERT_FALSE(example.empty()) << "no example markers in " << TESSAREL_SEALED_DOC;
    EXPECT_EQ(example, SealedExampleMarkdown()) << "run scripts/sealed-example.sh";
}

TEST(SealedExampleDoc, TheFileOfThePageOpensUnderItsPassword) {
    const auto file = FileOfExample(ExampleOfPage(Page()));
    ASSERT_GT(file.size(), SealedHeader::kSize);
    SecureBytes bytes(file.begin(), file.end());
    CCardFileData doc;
    testing::ScriptedUserInterface ui;
    ui.Password("correct horse battery staple");
    ASSERT_TRUE(ReadCardFile(doc, bytes, "example.qdx", ui).ok) << ::testing::PrintToString(ui.messages);
    ASSERT_EQ(doc.GetCategoryList(0)->GetCount(), 1);
    EXPECT_EQ(std::string_view((*doc.GetCategoryList(0)->begin())->GetFieldText4()), "hunter2");
}

}  // namespace
}  // namespace tessarel
