// Writes its own full path and, on a second line, the user's temporary folder into the file named
// by SETUPSTUB_MARKER, so a test can see that the stub started it, and from where.
#include <windows.h>

int main()
{
    char text[2 * MAX_PATH + 2];
    const DWORD length = ::GetModuleFileNameA(nullptr, text, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    text[length] = '\n';
    const DWORD tempLength = ::GetTempPathA(MAX_PATH + 1, text + length + 1);
    if (tempLength == 0 || tempLength > MAX_PATH)
        return 1;
    const DWORD total = length + 1 + tempLength;
    char target[MAX_PATH];
    const DWORD targetLength = ::GetEnvironmentVariableA("SETUPSTUB_MARKER", target, MAX_PATH);
    if (targetLength == 0 || targetLength >= MAX_PATH)
        return 1;
    HANDLE file = ::CreateFileA(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, text, total, &written, nullptr);
    ::CloseHandle(file);
    return ok && written == total ? 0 : 1;
}
