#include "CardFileFixture.h"

#include <fstream>
#include <memory>
#include <sstream>

namespace tessarel::bench {
namespace {

std::size_t StatusField(const std::string& name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(name + ":", 0) == 0) {
            std::istringstream fields(line.substr(name.size() + 1));
            std::size_t kib = 0;
            fields >> kib;
            return kib * 1024;
        }
    }
    return 0;
}

}  // namespace

void FillDocument(CCardFileData& doc, int count) {
    doc.encryptionMode = 1;
    doc.encryptionPassword.assign(kPassword);
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        auto card = std::make_unique<CCard>();
        const int code = i % 15;
        card->SetCategoryCode(static_cast<std::uint8_t>(code));
        card->SetFieldText1("Example service number " + n);
        card->SetFieldText2("https://www.example-" + n + ".org/login/");
        card->SetFieldText3("user.name" + n + "@example.org");
        card->SetFieldText4("pw-" + n + "-Xq7!rT2#kL");
        card->SetNote("Security question: first pet.\r\nAnswer: cat number " + n);
        card->SetModified(3000000000u + static_cast<std::uint32_t>(i));
        doc.GetCategoryList(code)->Add(std::move(card));
    }
}

std::size_t ResidentBytes() { return StatusField("VmRSS"); }
std::size_t PeakResidentBytes() { return StatusField("VmHWM"); }

}  // namespace tessarel::bench
