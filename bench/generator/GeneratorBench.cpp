// The password generator at the size a person or a script might ask of it in bulk: 100,000
// passwords of 20 characters from all four classes (target: under 1 s for the batch), beside the
// same without look-alikes (more strings are drawn again), passphrases, and the bare cost of the
// kernel's random bytes as the anchor.
#include <benchmark/benchmark.h>

#include <vector>

#include "cardstore/PasswordGenerator.h"
#include "cardstore/RandomSource.h"

namespace tessarel {
namespace {

constexpr int kBatch = 100'000;

void GenerateBatch(benchmark::State& state, const GeneratorOptions& options) {
    SystemRandom random;
    std::size_t characters = 0;
    for (auto _ : state) {
        for (int i = 0; i < kBatch; ++i) {
            SecureString password = GeneratePassword(options, random);
            characters += password.size();
            benchmark::DoNotOptimize(password.data());
        }
    }
    state.counters["passwords/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBatch, benchmark::Counter::kIsRate);
    benchmark::DoNotOptimize(characters);
}

void BM_100kPasswords20Characters(benchmark::State& state) {
    GeneratorOptions options;
    options.length = 20;
    GenerateBatch(state, options);
}
BENCHMARK(BM_100kPasswords20Characters)->Unit(benchmark::kMillisecond);

void BM_100kPasswords20CharactersWithoutLookAlikes(benchmark::State& state) {
    GeneratorOptions options;
    options.length = 20;
    options.excludeLookAlikes = true;
    GenerateBatch(state, options);
}
BENCHMARK(BM_100kPasswords20CharactersWithoutLookAlikes)->Unit(benchmark::kMillisecond);

void BM_100kPassphrases6Words(benchmark::State& state) {
    GeneratorOptions options;
    options.passphrase = true;
    options.words = 6;
    GenerateBatch(state, options);
}
BENCHMARK(BM_100kPassphrases6Words)->Unit(benchmark::kMillisecond);

// Anchor: the random bytes alone that 100,000 such passwords take at least (20 bytes each).
void BM_KernelRandomBytesFor100k(benchmark::State& state) {
    std::vector<std::uint8_t> bytes(20 * kBatch);
    for (auto _ : state) {
        ReadSystemRandom(bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_KernelRandomBytesFor100k)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessarel
