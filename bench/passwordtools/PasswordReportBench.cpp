// The password report over 100,000 cards whose passwords look like people's: one in five reused,
// lengths 6 to 24, words, digits and random characters mixed. The target is under 2 s.
#include <benchmark/benchmark.h>

#include <random>

#include "cardstore/report/PasswordReport.h"

namespace tessarel {
namespace {

std::string MadeUpPassword(std::mt19937& random) {
    static const char* const kWords[] = {"sun", "Shine", "dragon", "Monkey", "secret", "winter", "Summer", "pass", "tiger", "blue"};
    static const std::string kChars = "abcdefghijkmnopqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789!#$%&*+-=?@";
    std::string password;
    switch (random() % 3) {
        case 0:  // a word or two and a number
            password = std::string(kWords[random() % 10]) + kWords[random() % 10] + std::to_string(random() % 10000);
            break;
        default: {  // random characters, as a generator makes them
            const std::size_t length = 6 + random() % 19;
            for (std::size_t i = 0; i < length; ++i) password += kChars[random() % kChars.size()];
        }
    }
    return password;
}

void FillCards(CCardFileData& data, int count) {
    std::mt19937 random(17);
    std::vector<std::string> passwords;
    for (int i = 0; i < count; ++i) {
        const bool reuse = !passwords.empty() && random() % 5 == 0;
        std::string password = reuse ? passwords[random() % passwords.size()] : MadeUpPassword(random);
        if (!reuse) passwords.push_back(password);
        auto card = std::make_unique<CCard>();
        card->SetTexts("card " + std::to_string(i), "https://site" + std::to_string(i) + ".example/", "user" + std::to_string(i % 977),
                       password, "", "", "");
        // Only the categories that keep a password.
        static const int kCodes[] = {0, 1, 2, 3, 5, 6, 14};
        card->SetCategoryCode(static_cast<std::uint8_t>(kCodes[i % 7]));
        card->SetModified(3'800'000'000u + static_cast<std::uint32_t>(random() % 100'000'000u));
        data.PlaceCard(std::move(card));
    }
}

void BM_PasswordReport(benchmark::State& state) {
    CCardFileData data;
    FillCards(data, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        PasswordReport report = PasswordReport::Make(data, 3'900'000'000u);
        benchmark::DoNotOptimize(report.Summary().weak);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PasswordReport)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// zxcvbn alone, one password at a time on one core: the anchor the report's figure compares to.
void BM_ZxcvbnOnePassword(benchmark::State& state) {
    std::mt19937 random(5);
    std::vector<std::string> passwords;
    for (int i = 0; i < 1000; ++i) passwords.push_back(MadeUpPassword(random));
    std::size_t next = 0;
    for (auto _ : state) benchmark::DoNotOptimize(EstimatePasswordStrength(passwords[next++ % passwords.size()]).score);
}
BENCHMARK(BM_ZxcvbnOnePassword)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tessarel
