#pragma once

#include "ByteSink.h"

#include <cstdint>
#include <string>

namespace setupstub {

// One extracted file: created new (replacing whatever had the name), written in
// blocks, stamped with the entry's times, then closed.
class OutputFile : public ByteSink {
public:
    OutputFile() = default;
    ~OutputFile() override;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool create(const std::string& path);
    bool write(const std::uint8_t* data, std::size_t size) override;
    // FILETIME values. Systems without a settable creation time keep their own.
    bool setTimes(std::uint64_t creation, std::uint64_t lastAccess, std::uint64_t lastWrite);
    bool close();

private:
    std::intptr_t handle = -1;
};

} // namespace setupstub
