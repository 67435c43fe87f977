#pragma once

namespace setupstub {

// Shows the wait cursor while the stub works and puts the previous one back.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    void restore();

private:
    void* previous = nullptr;
    bool active = false;
};

} // namespace setupstub
