#include "../WaitCursor.h"

#include <windows.h>

namespace setupstub {

WaitCursor::WaitCursor()
    : previous(::SetCursor(::LoadCursor(nullptr, IDC_WAIT))), active(true)
{
}

WaitCursor::~WaitCursor()
{
    restore();
}

void WaitCursor::restore()
{
    if (active)
        ::SetCursor(static_cast<HCURSOR>(previous));
    active = false;
}

} // namespace setupstub
