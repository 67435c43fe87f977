#pragma once
// The minutes of "Automatic Save" are stored as the text the person typed. Where a number is
// needed the text is read as C's atoi reads it: leading blanks, an optional sign, then the
// digits up to the first other character ("10x" is 10, "x10" is 0). The Preferences sheet's spin
// and the frame's automatic-save timer both read it here, so the minutes shown are the minutes
// counted.

#include <QString>

namespace tessarel {

class MinutesText {
public:
    // The number at the start of `text`; 0 when there is none. Beyond the int range it stops at
    // the range's end.
    static int Value(const QString& text);
    // The spin control's position for `text`: the value's low 16 bits as a signed number, the
    // way the up-down control takes a position.
    static int SpinPosition(const QString& text);
};

}  // namespace tessarel
