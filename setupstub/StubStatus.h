#pragma once

namespace setupstub {

// The outcome of one run; the value is also the process exit status.
enum class StubStatus : int {
    NoError = 0,
    NotPatched = 1,     // the patch record was never filled: no archive
    CantOpenArchive = 2,// the program's own file cannot be read
    FileAccess = 3,     // anything from the archive table to the last file
};

// The text shown to the user for a status.
const char* statusMessage(StubStatus status);

} // namespace setupstub
