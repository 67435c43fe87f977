#include "../WorkerThread.h"

#include <pthread.h>

namespace setupstub {

struct WorkerThreadAccess {
    static void* run(void* self)
    {
        auto* thread = static_cast<WorkerThread*>(self);
        thread->entry(thread->entryArgument);
        return nullptr;
    }
};

WorkerThread::~WorkerThread()
{
    join();
    delete static_cast<pthread_t*>(handle);
}

bool WorkerThread::start(void (*function)(void*), void* argument)
{
    if (running)
        return false;
    entry = function;
    entryArgument = argument;
    if (!handle)
        handle = new pthread_t;
    running = ::pthread_create(static_cast<pthread_t*>(handle), nullptr, &WorkerThreadAccess::run, this) == 0;
    return running;
}

void WorkerThread::join()
{
    if (running)
        ::pthread_join(*static_cast<pthread_t*>(handle), nullptr);
    running = false;
}

} // namespace setupstub
