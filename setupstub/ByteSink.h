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
    // The same without a copy where the sink can: it may go on reading `data` after
    // returning, so the caller leaves those bytes untouched until its next lend() or
    // write() has returned (or the sink has finished). By default a plain write().
    virtual bool lend(const std::uint8_t* data, std::size_t size) { return write(data, size); }
};

} // namespace setupstub
