#pragma once
// Bytes that may hold secrets (plain card bytes, passwords, decrypted content). The storage is
// wiped before it goes back to the allocator, whatever path releases it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <new>
#include <vector>

#include "ProcessGuards.h"

namespace tessarel {

// Overwrites memory in a way the optimiser may not drop.
void SecureWipe(void* data, std::size_t size) noexcept;

// Zeroes a string's characters, its spare capacity and the storage inside the object, and leaves
// it empty. For the plain std::string temporaries that pass a secret on (a typed password, an
// exported card): the standard allocator would hand their bytes back as they are.
template <class String>
void WipeString(String& text) noexcept {
    SecureWipe(text.data(), text.capacity());
    text.clear();
    // An empty string moves back into the object's own storage, which may still hold the
    // characters it had before it first needed the heap; that storage is then wiped too.
    try {
        text.shrink_to_fit();
    } catch (...) {
    }
    SecureWipe(text.data(), text.capacity());
}

template <class T>
struct WipingAllocator {
    using value_type = T;
    WipingAllocator() noexcept = default;
    template <class U>
    WipingAllocator(const WipingAllocator<U>&) noexcept {}
    // Large buffers (a whole card file, an export) get pages left out of core dumps.
    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(AllocateSecretPages(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept {
        SecureWipe(p, n * sizeof(T));
        ReleaseSecretPages(p, n * sizeof(T));
    }
    template <class U>
    bool operator==(const WipingAllocator<U>&) const noexcept { return true; }
};

using SecureBytes = std::vector<std::uint8_t, WipingAllocator<std::uint8_t>>;
using SecureStringBase = std::basic_string<char, std::char_traits<char>, WipingAllocator<char>>;

// A string whose characters are wiped wherever they were kept. The wiping allocator sees only the
// heap buffers; a short string lives inside the object itself, and a moved-from string keeps its
// old characters there, so the object wipes its own storage when it goes or is moved from.
class SecureString : public SecureStringBase {
public:
    using SecureStringBase::SecureStringBase;
    using SecureStringBase::operator=;
    SecureString() noexcept = default;
    SecureString(const SecureStringBase& other) : SecureStringBase(other) {}
    SecureString(SecureStringBase&& other) noexcept : SecureStringBase(std::move(other)) { WipeString(other); }
    SecureString(const SecureString& other) = default;
    SecureString(SecureString&& other) noexcept : SecureStringBase(std::move(other)) { other.Wipe(); }
    SecureString& operator=(const SecureString& other) = default;
    SecureString& operator=(SecureString&& other) noexcept {
        SecureStringBase::operator=(std::move(other));
        other.Wipe();
        return *this;
    }
    ~SecureString() { Wipe(); }

    // Zeroes every character this object holds or held and leaves it empty.
    void Wipe() noexcept { WipeString(*this); }
};

}  // namespace tessarel
