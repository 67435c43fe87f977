#pragma once
// The cost of the password-to-key step of a sealed card file (Argon2id): passes over memory and
// the memory it takes. They travel in each file's header, so files can be made stronger later
// without a new format; a file read keeps its own parameters when it is saved again.

#include <cstdint>

namespace tessarel {

struct SealParameters {
    std::uint32_t opsLimit = 3;               // passes over the memory
    std::uint32_t memLimitKiB = 256u * 1024;  // memory in KiB

    bool operator==(const SealParameters&) const = default;
};

// What this version writes for a new sealed file: three passes over 256 MiB, about 0.65 s of one
// core of the two-core machines we build on (docs/sealed-card-file.md has the figures).
constexpr SealParameters kDefaultSealParameters{};

// What a reader accepts. The lower ends are Argon2id's own minimums; the upper ends keep a hostile
// or damaged header from making the reader take more than 1 GiB or run for minutes.
constexpr std::uint32_t kMinSealOpsLimit = 1;
constexpr std::uint32_t kMaxSealOpsLimit = 64;
constexpr std::uint32_t kMinSealMemLimitKiB = 8;
constexpr std::uint32_t kMaxSealMemLimitKiB = 1024u * 1024;

inline bool SealParametersInBounds(const SealParameters& p) {
    return p.opsLimit >= kMinSealOpsLimit && p.opsLimit <= kMaxSealOpsLimit && p.memLimitKiB >= kMinSealMemLimitKiB &&
           p.memLimitKiB <= kMaxSealMemLimitKiB;
}

}  // namespace tessarel
