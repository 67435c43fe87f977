#include "../WorkerThread.h"

#include <windows.h>

namespace setupstub {

struct WorkerThreadAccess {
    static DWORD WINAPI run(void* self)
    {
        auto* thread = static_cast<WorkerThread*>(self);
        thread->entry(thread->entryArgument);
        return 0;
    }
};

WorkerThread::~WorkerThread()
{
    join();
}

bool WorkerThread::start(void (*function)(void*), void* argument)
{
    if (running)
        return false;
    entry = function;
    entryArgument = argument;
    handle = ::CreateThread(nullptr, 0, &WorkerThreadAccess::run, this, 0, nullptr);
    running = handle != nullptr;
    return running;
}

void WorkerThread::join()
{
    if (running) {
        ::WaitForSingleObject(handle, INFINITE);
        ::CloseHandle(handle);
    }
    handle = nullptr;
    running = false;
}

} // namespace setupstub
