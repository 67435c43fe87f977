#include "SecureBuffer.h"

#include <cstring>

namespace tessarel {

void SecureWipe(void* data, std::size_t size) noexcept {
    if (size == 0) return;
#if defined(__GNUC__) || defined(__clang__)
    // The library's memset runs at memory speed (a byte-wise volatile loop cost an export a fifth
    // of its time); the empty assembly that may read the memory keeps the compiler from dropping
    // it as a dead store before the buffer is freed.
    std::memset(data, 0, size);
    __asm__ __volatile__("" : : "r"(data) : "memory");
#else
    // A volatile pointer keeps the stores: the buffer is about to be freed, so a plain memset would
    // be a dead store the compiler is allowed to remove.
    volatile auto* bytes = static_cast<volatile unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = 0;
#endif
}

}  // namespace tessarel
