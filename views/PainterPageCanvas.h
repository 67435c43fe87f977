#pragma once
// The card print layout on a real device: text through a QPainter in the device's default font,
// and the device's measurements for the layout.

#include <QFontMetrics>

#include "CardPrintLayout.h"
#include "PageCanvas.h"

class QPagedPaintDevice;
class QPainter;

namespace tessarel {

class PainterPageCanvas : public PageCanvas {
public:
    explicit PainterPageCanvas(QPainter& painter);
    void DrawText(int x, int y, const QString& text) override;
    int TextWidth(const QString& text) const override;

    // Page size, printable area, resolution and the default font's line height and widest
    // character (over the characters a card can hold) of `device`.
    static PrintDeviceMetrics Measure(QPagedPaintDevice& device);

private:
    QPainter& painter;
    QFontMetrics metrics;
};

}  // namespace tessarel
