// The password report over 100,000 cards whose passwords look like people's: one in five reused,
// lengths 6 to 24, words, digits and random characters mixed. The target is under 2 s.
#include <benchmark/benchmark.h>

#include <random>

#include "MadeUpCards.h"
#include "cardstore/report/PasswordReport.h"

namespace tessarel {
namespace {

using bench::FillCards;
using bench::MadeUpPassword;

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
