#pragma once
// A fixed-size buffer for the most sensitive bytes of a sealed card file (the derived key, the
// plain card records): libsodium's guarded allocation, locked into memory where the system allows
// it, fenced by inaccessible pages, and wiped when released.

#include <cstddef>
#include <cstdint>
#include <span>

namespace tessarel {

class GuardedBuffer {
public:
    // Allocates `size` bytes (at least one page is taken even for 0). Valid() tells whether it worked.
    explicit GuardedBuffer(std::size_t size) noexcept;
    ~GuardedBuffer();
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    bool Valid() const { return memory != nullptr; }
    std::uint8_t* Data() { return memory; }
    const std::uint8_t* Data() const { return memory; }
    std::size_t Size() const { return size; }
    std::span<std::uint8_t> Bytes() { return {memory, size}; }
    std::span<const std::uint8_t> Bytes() const { return {memory, size}; }

private:
    std::uint8_t* memory = nullptr;
    std::size_t size = 0;
};

}  // namespace tessarel
