#include "GuardedBuffer.h"

#include <sodium.h>

namespace tessarel {

GuardedBuffer::GuardedBuffer(std::size_t size_) noexcept {
    if (sodium_init() < 0) return;
    // sodium_malloc locks the pages itself when the limit on locked memory allows it, and goes on
    // unlocked otherwise; the contents are wiped by sodium_free either way.
    memory = static_cast<std::uint8_t*>(sodium_malloc(size_ == 0 ? 1 : size_));
    if (memory) size = size_;
}

GuardedBuffer::~GuardedBuffer() {
    if (memory) sodium_free(memory);
}

}  // namespace tessarel
