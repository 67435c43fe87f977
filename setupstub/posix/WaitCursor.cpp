#include "../WaitCursor.h"

namespace setupstub {

// Without a window system there is no cursor to change.
WaitCursor::WaitCursor() = default;

WaitCursor::~WaitCursor()
{
    restore();
}

void WaitCursor::restore()
{
    active = false;
    previous = nullptr;
}

} // namespace setupstub
