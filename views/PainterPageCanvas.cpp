#include "PainterPageCanvas.h"

#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <string>

#include "mainframe/dialogs/CardText.h"

namespace tessarel {

namespace {

// Every character a card can hold: the printable part of the program's 8-bit character set.
const QString& CardCharacters() {
    static const QString characters = [] {
        std::string bytes;
        for (int byte = 0x20; byte <= 0xFF; ++byte) {
            // Skip DEL, and the five bytes the character set leaves unassigned.
            if (byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D) continue;
            bytes.push_back(static_cast<char>(byte));
        }
        return CardTextToQString(bytes);
    }();
    return characters;
}

}  // namespace

PainterPageCanvas::PainterPageCanvas(QPainter& target) : painter(target), metrics(target.fontMetrics()) {}

void PainterPageCanvas::DrawText(int x, int y, const QString& text) {
    if (!text.isEmpty()) painter.drawText(x, y + metrics.ascent(), text);
}

int PainterPageCanvas::TextWidth(const QString& text) const { return metrics.horizontalAdvance(text); }

PrintDeviceMetrics PainterPageCanvas::Measure(QPagedPaintDevice& device) {
    PrintDeviceMetrics result;
    const QPageLayout layout = device.pageLayout();
    const int resolution = device.logicalDpiX();
    const QRect full = layout.fullRectPixels(resolution);
    // The printable area leaves out the device's margins, whatever the layout's mode.
    const QRect printable = full.marginsRemoved(layout.marginsPixels(resolution));
    result.pixelWidth = full.width();
    result.pixelHeight = full.height();
    result.printableWidth = printable.width();
    result.printableHeight = printable.height();
    result.dpiX = device.logicalDpiX();
    result.dpiY = device.logicalDpiY();
    // No font is chosen: the device's default one, measured at the device's resolution. Its
    // widest character is taken over the characters a card can hold, as a font of the 8-bit
    // character set reports it.
    const QFontMetrics font(QFont(), &device);
    result.lineHeight = font.height();
    int widest = 0;
    for (QChar c : CardCharacters()) widest = std::max(widest, font.horizontalAdvance(c));
    result.charWidth = widest;
    return result;
}

}  // namespace tessarel
