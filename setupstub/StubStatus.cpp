#include "StubStatus.h"

namespace setupstub {

const char* statusMessage(StubStatus status)
{
    switch (status) {
    case StubStatus::NoError:
        return "No Error";
    case StubStatus::NotPatched:
        return "This installation is corrupted.";
    case StubStatus::CantOpenArchive:
        return "Can't open archive";
    case StubStatus::FileAccess:
        break;
    }
    return "File access error";
}

} // namespace setupstub
