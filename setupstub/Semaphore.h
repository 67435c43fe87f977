#pragma once

namespace setupstub {

// A counting semaphore: the only synchronisation the background writer needs.
class Semaphore {
public:
    explicit Semaphore(unsigned initial);
    ~Semaphore();
    Semaphore(const Semaphore&) = delete;
    Semaphore& operator=(const Semaphore&) = delete;

    bool valid() const { return ready; }
    void post();
    void wait();

private:
    void* handle = nullptr;
    bool ready = false;
};

} // namespace setupstub
