#pragma once

#include <cstddef>
#include <cstdint>

namespace setupstub {

// Where decoded bytes go: an output file in the stub, memory in tests and benchmarks.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Takes all `size` bytes; false when they could not all be written.
    virtual bool write(const std::uint8_t* data, std::size_t size) = 0;
};

} // namespace setupstub
