#pragma once
// Page-aligned memory of a test's own, for the uncached reads and writes: the device moves bytes
// straight from and into whole pages, so the memory must start on one. Freed with free(), as
// aligned_alloc asks.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace tessarel::testing {

class PageAlignedMemory {
public:
    static constexpr std::size_t kPage = 4096;
    // At least `size` bytes, rounded up to whole pages.
    explicit PageAlignedMemory(std::size_t size)
        : bytes(static_cast<std::uint8_t*>(std::aligned_alloc(kPage, (size / kPage + 1) * kPage))) {}
    std::uint8_t* Data() const { return bytes.get(); }

private:
    struct Free {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };
    std::unique_ptr<std::uint8_t, Free> bytes;
};

}  // namespace tessarel::testing
