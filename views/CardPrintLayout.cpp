#include "CardPrintLayout.h"

#include <algorithm>

#include "mainframe/dialogs/CardText.h"
#include "PageCanvas.h"
#include "cardstore/CCardFileData.h"
#include "cardstore/CategoryTable.h"

namespace tessarel {

namespace {

constexpr int kAtmPinCode = 9;
const QString kEllipsis = QStringLiteral("...");

QString ToText(std::string_view bytes) { return CardTextToQString(bytes); }

// The category a card prints under: its own name, or (cards read from a file carry none until
// they are edited) the name of its code, where a code outside the table counts as 0.
std::string CategoryNameOfCard(const CCard& card) {
    const std::string_view own(card.GetCategoryName());
    if (!own.empty()) return std::string(own);
    const int code = card.GetCategoryCode();
    return std::string(CategoryName(code >= 1 && code < kCategoryCount ? code : 0));
}

}  // namespace

void CardPrintLayout::Begin(const PrintDeviceMetrics& metrics, const CCardFileData& cards, PrintOptions chosen) {
    data = &cards;
    options = chosen;
    lineHeight = metrics.lineHeight;
    charWidth = metrics.charWidth;
    // Printer settings without a page size would leave no page at all; the printable area of
    // the device stands in for it.
    const bool known = metrics.pixelWidth > 0 && metrics.pixelHeight > 0;
    pageWidth = known ? metrics.pixelWidth : metrics.printableWidth;
    pageHeight = known ? metrics.pixelHeight : metrics.printableHeight;
    pageRect = PageBox{0, 0, pageWidth, pageHeight};
    marginRect = PageBox{metrics.dpiX / 2, metrics.dpiY / 3, pageWidth - metrics.dpiX / 2, pageHeight - metrics.dpiY / 2};

    printCards.clear();
    for (int code = 0; code < kCategoryCount; ++code) {
        if (code == kAtmPinCode && options.printAtm != 1) continue;
        if (const CCardList* list = cards.GetCategoryList(code))
            for (const auto& card : *list) printCards.push_back(card.get());
    }

    const int across = lineHeight > 0 ? (marginRect.right - marginRect.left) / (LinesPerCard() * lineHeight) : 0;
    // The count above follows the page's width; on a page wider than high it would place cards
    // below the footer and off the sheet, so no more cards go on a page than fit above the footer.
    const int room = marginRect.bottom - kFooterRise - CardTop(0) - LinesPerCard() * lineHeight;
    const int down = lineHeight > 0 && room >= 0 ? room / (CardSpacing() * lineHeight) + 1 : 0;
    cardsPerPage = std::min(across, down);
    const int count = static_cast<int>(printCards.size());
    pageCount = cardsPerPage <= 0 || count == 0 ? 0 : (count + cardsPerPage - 1) / cardsPerPage;
}

int CardPrintLayout::CardTop(int k) const { return marginRect.top + 3 * charWidth + CardSpacing() * k * lineHeight; }

void CardPrintLayout::DrawPage(PageCanvas& canvas, int page, const QString& title, const QString& date) const {
    const PageBox& m = marginRect;
    const QString program = QStringLiteral("Tessarel");
    canvas.DrawText(m.left, m.top, program);
    // A title too long for its estimate would start left of the page; it starts after the
    // program's name instead and is cut at the right margin.
    const int after = m.left + canvas.TextWidth(program + QStringLiteral("  "));
    const int titleX = std::max(m.right - static_cast<int>(title.size()) * charWidth, after);
    canvas.DrawText(titleX, m.top, FitText(canvas, title, m.right - titleX));
    const int footer = m.bottom - kFooterRise;
    canvas.DrawText((m.right - m.left) / 2, footer, QString::asprintf("%d", page));
    canvas.DrawText(m.right - static_cast<int>(date.size()) * charWidth, footer, date);

    if (page < 1 || cardsPerPage <= 0) return;
    const std::size_t first = static_cast<std::size_t>(page - 1) * static_cast<std::size_t>(cardsPerPage);
    const std::size_t end = std::min(printCards.size(), first + static_cast<std::size_t>(cardsPerPage));
    for (std::size_t i = first; i < end; ++i) DrawCard(canvas, *printCards[i], CardTop(static_cast<int>(i - first)));
}

void CardPrintLayout::DrawCard(PageCanvas& canvas, const CCard& card, int y) const {
    const std::string name = CategoryNameOfCard(card);
    std::string labels[4];
    const int longest = std::max(1, data ? data->GetCategoryLabelsByName(name, labels[0], labels[1], labels[2], labels[3]) : 0);
    const int x0 = marginRect.left + 2 * charWidth;
    const int valueX = x0 + longest * charWidth;
    canvas.DrawText(marginRect.left, y, ToText(name));
    // The password is printed in clear, like every other field.
    const std::string_view values[4] = {card.GetFieldText1(), card.GetFieldText2(), card.GetFieldText3(), card.GetFieldText4()};
    for (int i = 0; i < 4; ++i) {
        const int line = y + (i + 1) * lineHeight;
        canvas.DrawText(x0, line, ToText(labels[i]));
        canvas.DrawText(valueX, line, FitText(canvas, ToText(values[i]), marginRect.right - valueX));
    }
    if (options.printNotes != 1) return;
    canvas.DrawText(x0, y + 5 * lineHeight, QStringLiteral("Notes"));
    const auto [firstLine, rest] = SplitNote(ToText(std::string_view(card.GetNote())));
    canvas.DrawText(x0, y + 6 * lineHeight, FitText(canvas, firstLine, marginRect.right - x0));
    canvas.DrawText(x0, y + 7 * lineHeight, FitText(canvas, rest, marginRect.right - x0));
}

std::pair<QString, QString> CardPrintLayout::SplitNote(const QString& note) {
    if (note.size() < kNoteLineLength) return {note, QString()};
    qsizetype cut = kNoteLineLength;
    // The end of the note counts as a blank: a note of exactly 70 characters stays on one line.
    if (note.size() > cut && note[cut] != QLatin1Char(' ')) {
        for (qsizetype i = cut - 1; i > 0; --i) {
            if (note[i] == QLatin1Char(' ')) {
                cut = i;
                break;
            }
        }
    }
    QString rest = note.mid(cut);
    qsizetype blanks = 0;
    while (blanks < rest.size() && rest[blanks].isSpace()) ++blanks;
    return {note.left(cut), rest.mid(blanks)};
}

QString CardPrintLayout::FitText(const PageCanvas& canvas, const QString& text, int width) {
    if (canvas.TextWidth(text) <= width) return text;
    // The longest beginning that fits with the three dots after it.
    qsizetype low = 0;
    qsizetype high = text.size() - 1;
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (canvas.TextWidth(text.left(middle) + kEllipsis) <= width)
            low = middle;
        else
            high = middle - 1;
    }
    return text.left(low) + kEllipsis;
}

}  // namespace tessarel
