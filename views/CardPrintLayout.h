#pragma once
// The layout of a printed card file: page and margin rectangles from the device, cards per page
// and page count, the cards in print order, and each page with its header, footer and cards.
// Everything is in device units of the printer's default font; texts placed "right-aligned by
// estimate" take n characters × the widest character.

#include <QString>
#include <utility>
#include <vector>

namespace tessarel {

class CCard;
class CCardFileData;
class PageCanvas;

// A rectangle by its four edges, in device units.
struct PageBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const PageBox&) const = default;
};

// What the layout needs to know of the device.
struct PrintDeviceMetrics {
    int pixelWidth = 0;       // the page size of the printer settings; 0 when they have none
    int pixelHeight = 0;
    int printableWidth = 0;   // the device's printable area
    int printableHeight = 0;
    int dpiX = 0;
    int dpiY = 0;
    int lineHeight = 0;       // text height of the device's default font
    int charWidth = 0;        // widest character of that font
};

struct PrintOptions {
    int printAtm = 1;    // 1: the cards of "ATM/PIN Cards" are printed
    int printNotes = 1;  // 1: each card's note is printed
};

class CardPrintLayout {
public:
    static constexpr int kFooterRise = 210;     // the footer sits this far above the bottom margin
    static constexpr int kNoteLineLength = 70;  // the first note line holds at most this many characters

    // Starts a job: metrics, rectangles, the print cards and the page count.
    void Begin(const PrintDeviceMetrics& metrics, const CCardFileData& data, PrintOptions options);
    // Draws page `page` (from 1): header, footer and the page's cards.
    void DrawPage(PageCanvas& canvas, int page, const QString& title, const QString& date) const;
    // Ends the job: the print cards are let go.
    void End() { printCards.clear(); }

    int PageWidth() const { return pageWidth; }
    int PageHeight() const { return pageHeight; }
    const PageBox& PageRect() const { return pageRect; }
    const PageBox& MarginRect() const { return marginRect; }
    int LineHeight() const { return lineHeight; }
    int CharWidth() const { return charWidth; }
    int CardsPerPage() const { return cardsPerPage; }
    int PageCount() const { return pageCount; }
    const std::vector<const CCard*>& PrintCards() const { return printCards; }

    // The two note lines: the note whole when shorter than 70 characters; else cut at 70, or at
    // the last blank before it when a word runs across, the rest without its leading blanks.
    static std::pair<QString, QString> SplitNote(const QString& note);
    // `text` as it fits into `width`: whole, or cut and ended with "..." so nothing runs past.
    static QString FitText(const PageCanvas& canvas, const QString& text, int width);

private:
    void DrawCard(PageCanvas& canvas, const CCard& card, int y) const;
    int CardTop(int k) const;
    int LinesPerCard() const { return options.printNotes == 1 ? 8 : 5; }
    int CardSpacing() const { return options.printNotes == 1 ? 9 : 6; }

    const CCardFileData* data = nullptr;
    PrintOptions options;
    int pageWidth = 0;
    int pageHeight = 0;
    PageBox pageRect;
    PageBox marginRect;
    int lineHeight = 0;
    int charWidth = 0;
    int cardsPerPage = 0;
    int pageCount = 0;
    std::vector<const CCard*> printCards;  // not owned: the document's cards, in print order
};

}  // namespace tessarel
