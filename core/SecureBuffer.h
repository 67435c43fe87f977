#pragma once
// Bytes that may hold secrets (plain card bytes, passwords, decrypted content). The storage is
// wiped before it goes back to the allocator, whatever path releases it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tessarel {

// Overwrites memory in a way the optimiser may not drop.
void SecureWipe(void* data, std::size_t size) noexcept;

template <class T>
struct WipingAllocator {
    using value_type = T;
    WipingAllocator() noexcept = default;
    template <class U>
    WipingAllocator(const WipingAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) { return std::allocator<T>{}.allocate(n); }
    void deallocate(T* p, std::size_t n) noexcept {
        SecureWipe(p, n * sizeof(T));
        std::allocator<T>{}.deallocate(p, n);
    }
    template <class U>
    bool operator==(const WipingAllocator<U>&) const noexcept { return true; }
};

using SecureBytes = std::vector<std::uint8_t, WipingAllocator<std::uint8_t>>;
using SecureString = std::basic_string<char, std::char_traits<char>, WipingAllocator<char>>;

}  // namespace tessarel
