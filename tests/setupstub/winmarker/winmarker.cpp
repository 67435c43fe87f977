// Writes its own full path into the file named by SETUPSTUB_MARKER, so a test can see
// that the stub started it, and from where.
#include <windows.h>

int main()
{
    char self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    char target[MAX_PATH];
    const DWORD targetLength = ::GetEnvironmentVariableA("SETUPSTUB_MARKER", target, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || targetLength == 0 || targetLength >= MAX_PATH)
        return 1;
    HANDLE file = ::CreateFileA(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, self, length, &written, nullptr);
    ::CloseHandle(file);
    return ok && written == length ? 0 : 1;
}
