#include "Platform.h"
#include "StubExtractor.h"
#include "StubStatus.h"
#include "WaitCursor.h"

using namespace setupstub;

int main()
{
    WaitCursor cursor;
    StubExtractor extractor;
    StubStatus status = extractor.extract();
    cursor.restore();

    // Only a complete extraction starts the second stage; a half-written or missing
    // one is never run.
    if (status == StubStatus::NoError && !platform::startProgram(extractor.secondStagePath()))
        status = StubStatus::FileAccess;
    if (status != StubStatus::NoError)
        platform::showError("Error", statusMessage(status));
    return static_cast<int>(status);
}
