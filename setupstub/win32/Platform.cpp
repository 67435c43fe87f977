#include "../Platform.h"

#include <windows.h>
#include <sddl.h>

#include <vector>

namespace setupstub::platform {

namespace {

// "D:P" + full access for the current user only, inherited by the files inside.
std::string ownerOnlyDescriptor()
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    DWORD needed = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &needed);
    std::vector<unsigned char> info(needed ? needed : 1);
    std::string descriptor;
    if (needed && ::GetTokenInformation(token, TokenUser, info.data(), needed, &needed)) {
        const auto* user = reinterpret_cast<const TOKEN_USER*>(info.data());
        char* sid = nullptr;
        if (::ConvertSidToStringSidA(user->User.Sid, &sid)) {
            descriptor = std::string("D:P(A;OICI;FA;;;") + sid + ")";
            ::LocalFree(sid);
        }
    }
    ::CloseHandle(token);
    return descriptor;
}

// Eight hex digits that differ from run to run and from try to try.
std::string uniqueSuffix(unsigned attempt)
{
    LARGE_INTEGER counter {};
    ::QueryPerformanceCounter(&counter);
    unsigned long long mix = static_cast<unsigned long long>(counter.QuadPart);
    mix ^= static_cast<unsigned long long>(::GetCurrentProcessId()) << 20;
    mix += attempt * 0x9E3779B97F4A7C15ULL;
    mix ^= mix >> 29;
    mix *= 0xBF58476D1CE4E5B9ULL;
    mix ^= mix >> 32;
    static const char digits[] = "0123456789ABCDEF";
    std::string suffix;
    for (int i = 0; i < 8; ++i, mix >>= 4)
        suffix += digits[mix & 0xF];
    return suffix;
}

} // namespace

char pathSeparator()
{
    return '\\';
}

std::string ownProgramPath()
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        if (buffer.size() >= 32768)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::size_t processorCount()
{
    SYSTEM_INFO info {};
    ::GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? info.dwNumberOfProcessors : 1;
}

std::string temporaryFolder()
{
    char buffer[MAX_PATH + 1];
    const DWORD length = ::GetTempPathA(sizeof buffer, buffer);
    if (length == 0 || length > MAX_PATH)
        return {};
    std::string folder(buffer, length);
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    return folder;
}

std::string createPrivateFolder(const std::string& parent, const char* prefix)
{
    const std::string descriptor = ownerOnlyDescriptor();
    PSECURITY_DESCRIPTOR security = nullptr;
    if (descriptor.empty()
        || !::ConvertStringSecurityDescriptorToSecurityDescriptorA(descriptor.c_str(), SDDL_REVISION_1,
                                                                   &security, nullptr))
        return {};
    SECURITY_ATTRIBUTES attributes {};
    attributes.nLength = sizeof attributes;
    attributes.lpSecurityDescriptor = security;
    std::string created;
    // CreateDirectory fails when the name exists, so a folder someone else made first
    // is never used; try a few other names before giving up.
    for (unsigned attempt = 0; attempt < 100 && created.empty(); ++attempt) {
        const std::string path = parent + pathSeparator() + prefix + uniqueSuffix(attempt);
        if (::CreateDirectoryA(path.c_str(), &attributes))
            created = path;
        else if (::GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    ::LocalFree(security);
    return created;
}

bool setAttributes(const std::string& path, std::uint32_t attributes, bool)
{
    return ::SetFileAttributesA(path.c_str(), attributes) != 0;
}

bool startProgram(const std::string& path)
{
    // The program is named on its own, and the command line quotes it, so a path with
    // blanks can never start a different program that a prefix of it names.
    std::string commandLine = "\"" + path + "\"";
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    STARTUPINFOA startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process {};
    if (!::CreateProcessA(path.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

void showError(const char* caption, const char* message)
{
    ::MessageBoxA(nullptr, message, caption, MB_OK | MB_ICONERROR);
}

} // namespace setupstub::platform
