#pragma once
// What the card print layout draws on: text at a point in device units and the width a text
// would take. The printer's painter is one canvas; tests record the calls on another.

#include <QString>

namespace tessarel {

class PageCanvas {
public:
    virtual ~PageCanvas() = default;
    // Draws `text` with the top of its line at y and its first character at x.
    virtual void DrawText(int x, int y, const QString& text) = 0;
    // The width of `text` in device units, as DrawText would draw it.
    virtual int TextWidth(const QString& text) const = 0;
};

}  // namespace tessarel
