#include "SecureBuffer.h"

namespace tessarel {

void SecureWipe(void* data, std::size_t size) noexcept {
    // A volatile pointer keeps the stores: the buffer is about to be freed, so a plain memset would
    // be a dead store the compiler is allowed to remove.
    volatile auto* bytes = static_cast<volatile unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = 0;
}

}  // namespace tessarel
