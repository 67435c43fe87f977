#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace setupstub {

// The program's own file, opened for reading while others may read and write it.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool open(const std::string& path);
    std::uint64_t size() const { return fileSize; }
    // Reads exactly `count` bytes at `offset`; false on any shortfall.
    bool readAt(std::uint64_t offset, void* data, std::size_t count);
    void close();

private:
    std::intptr_t handle = -1;
    std::uint64_t fileSize = 0;
};

} // namespace setupstub
