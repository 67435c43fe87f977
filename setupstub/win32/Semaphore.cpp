#include "../Semaphore.h"

#include <windows.h>

namespace setupstub {

Semaphore::Semaphore(unsigned initial)
    : handle(::CreateSemaphoreA(nullptr, static_cast<LONG>(initial), 0x7FFFFFFF, nullptr))
{
    ready = handle != nullptr;
}

Semaphore::~Semaphore()
{
    if (ready)
        ::CloseHandle(handle);
}

void Semaphore::post()
{
    ::ReleaseSemaphore(handle, 1, nullptr);
}

void Semaphore::wait()
{
    ::WaitForSingleObject(handle, INFINITE);
}

} // namespace setupstub
