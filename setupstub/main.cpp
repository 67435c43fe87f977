#include "Platform.h"
#include "StubExtractor.h"
#include "StubStatus.h"
#include "WaitCursor.h"

#include <exception>
#include <string>

using namespace setupstub;

int main()
{
    WaitCursor cursor;
    StubStatus status = StubStatus::FileAccess;
    std::string secondStage;
    try {
        StubExtractor extractor;
        status = extractor.extract();
        secondStage = extractor.secondStagePath();
    } catch (const std::exception&) {
        // Out of memory: the buffers are fixed and small, so hardly ever.
    }
    cursor.restore();

    // Only a complete extraction starts the second stage; a half-written or missing
    // one is never run.
    if (status == StubStatus::NoError && !platform::startProgram(secondStage))
        status = StubStatus::FileAccess;
    if (status != StubStatus::NoError)
        platform::showError("Error", statusMessage(status));
    return static_cast<int>(status);
}
