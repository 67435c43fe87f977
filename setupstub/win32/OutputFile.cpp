#include "../OutputFile.h"

#include <windows.h>

namespace setupstub {

namespace {

HANDLE toHandle(std::intptr_t value)
{
    return reinterpret_cast<HANDLE>(value);
}

FILETIME toFileTime(std::uint64_t value)
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}

} // namespace

OutputFile::~OutputFile()
{
    close();
}

bool OutputFile::create(const std::string& path)
{
    close();
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    handle = reinterpret_cast<std::intptr_t>(file);
    return true;
}

bool OutputFile::write(const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD done = 0;
        if (!::WriteFile(toHandle(handle), data, chunk, &done, nullptr) || done == 0)
            return false;
        data += done;
        size -= done;
    }
    return true;
}

bool OutputFile::setTimes(std::uint64_t creation, std::uint64_t lastAccess, std::uint64_t lastWrite)
{
    const FILETIME created = toFileTime(creation);
    const FILETIME accessed = toFileTime(lastAccess);
    const FILETIME written = toFileTime(lastWrite);
    return ::SetFileTime(toHandle(handle), &created, &accessed, &written) != 0;
}

bool OutputFile::close()
{
    if (handle == -1)
        return true;
    const BOOL closed = ::CloseHandle(toHandle(handle));
    handle = -1;
    return closed != 0;
}

} // namespace setupstub
