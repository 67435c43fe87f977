#include "../InputFile.h"

#include <windows.h>

namespace setupstub {

namespace {

HANDLE toHandle(std::intptr_t value)
{
    return reinterpret_cast<HANDLE>(value);
}

} // namespace

InputFile::~InputFile()
{
    close();
}

bool InputFile::open(const std::string& path)
{
    close();
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size {};
    if (!::GetFileSizeEx(file, &size) || size.QuadPart < 0) {
        ::CloseHandle(file);
        return false;
    }
    handle = reinterpret_cast<std::intptr_t>(file);
    fileSize = static_cast<std::uint64_t>(size.QuadPart);
    return true;
}

bool InputFile::readAt(std::uint64_t offset, void* data, std::size_t count)
{
    if (handle == -1 || offset > fileSize || count > fileSize - offset)
        return false;
    LARGE_INTEGER position {};
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(toHandle(handle), position, nullptr, FILE_BEGIN))
        return false;
    auto* target = static_cast<unsigned char*>(data);
    while (count > 0) {
        const DWORD chunk = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
        DWORD got = 0;
        if (!::ReadFile(toHandle(handle), target, chunk, &got, nullptr) || got == 0)
            return false;
        target += got;
        count -= got;
    }
    return true;
}

void InputFile::close()
{
    if (handle != -1)
        ::CloseHandle(toHandle(handle));
    handle = -1;
    fileSize = 0;
}

} // namespace setupstub
