#pragma once
// What a card document asks of the program's window: the automatic-save timer and the display of
// the file's protection. The main frame implements it and registers itself with
// CTessarelDoc::SetHost; without a host (tests of the document alone) nothing is shown.

namespace tessarel {

class CardDocumentHost {
public:
    virtual ~CardDocumentHost() = default;
    // Starts the automatic-save timer, one tick every `minutesPerTick` minutes.
    virtual void StartAutoSaveTimer(int minutesPerTick) = 0;
    // The file's protection after a type switch: 0 plain, 1 encrypted, 2 sealed.
    virtual void ShowFileProtection(int protection) = 0;
};

}  // namespace tessarel
