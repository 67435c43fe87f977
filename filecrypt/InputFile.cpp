#include "InputFile.h"

#include <cerrno>
#include <filesystem>

namespace tessarel {

bool CInputFile::Open(const std::string& path) {
    Close();
    error.clear();
    std::error_code statusError;
    const auto status = std::filesystem::status(path, statusError);
    if (statusError) {
        error = statusError;
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        error = std::make_error_code(std::errc::permission_denied);
        return false;
    }
    errno = 0;
    stream.open(path, std::ios::in | std::ios::binary);
    if (!stream.is_open()) {
        // The stream reports no cause; the C library's errno from the underlying open does.
        const int cause = errno;
        error = cause != 0 ? std::error_code(cause, std::generic_category()) : std::make_error_code(std::errc::io_error);
        return false;
    }
    stream.seekg(0, std::ios::end);
    const auto end = stream.tellg();
    stream.seekg(0, std::ios::beg);
    if (end < 0 || !stream) {
        error = std::make_error_code(std::errc::io_error);
        Close();
        return false;
    }
    length = static_cast<std::uint64_t>(static_cast<std::streamoff>(end));
    return true;
}

void CInputFile::Close() {
    if (stream.is_open()) stream.close();
    stream.clear();
    length = 0;
}

CInputFile::ReadResult CInputFile::Read(std::span<std::uint8_t> into) {
    if (!stream.is_open()) return ReadResult::IoError;
    stream.read(reinterpret_cast<char*>(into.data()), static_cast<std::streamsize>(into.size()));
    if (stream.bad()) return ReadResult::IoError;
    if (static_cast<std::size_t>(stream.gcount()) != into.size()) return ReadResult::Short;
    return ReadResult::Ok;
}

bool CInputFile::Seek(std::uint64_t offset) {
    if (!stream.is_open()) return false;
    stream.clear();
    stream.seekg(static_cast<std::streamoff>(offset), std::ios::beg);
    return static_cast<bool>(stream);
}

CInputFile::ReadResult CInputFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) {
    if (!Seek(offset)) return ReadResult::IoError;
    return Read(into);
}

bool CInputFile::AtEnd() {
    if (!stream.is_open()) return true;
    return stream.peek() == std::ifstream::traits_type::eof();
}

}  // namespace tessarel
