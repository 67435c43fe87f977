#pragma once

namespace setupstub {

// One thread running `function(argument)` until it returns; join() waits for that.
class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    bool start(void (*function)(void*), void* argument);
    void join();

private:
    void* handle = nullptr;
    void (*entry)(void*) = nullptr;
    void* entryArgument = nullptr;
    bool running = false;
    friend struct WorkerThreadAccess;
};

} // namespace setupstub
