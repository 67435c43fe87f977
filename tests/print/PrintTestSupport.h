#pragma once
// Helpers of the print tests: a canvas that records every text drawn, card files made through
// the card store, and a reader of PDF files (page count and the text of each page).

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "cardstore/CCardFileData.h"
#include "views/PageCanvas.h"

namespace tessarel::test {

struct DrawnText {
    int page;
    int x;
    int y;
    QString text;
    bool operator==(const DrawnText&) const = default;
};

// Every character is `charWidth` units wide, so widths are easy to reason about.
class RecordingCanvas : public PageCanvas {
public:
    explicit RecordingCanvas(int characterWidth) : charWidth(characterWidth) {}
    void DrawText(int x, int y, const QString& text) override { drawn.push_back({page, x, y, text}); }
    int TextWidth(const QString& text) const override { return static_cast<int>(text.size()) * charWidth; }

    int page = 1;
    std::vector<DrawnText> drawn;
    // The texts drawn on `onPage`, in drawing order.
    QStringList TextsOn(int onPage) const;
    // The first call that drew exactly `text`, or nullptr.
    const DrawnText* Find(const QString& text) const;

private:
    int charWidth;
};

struct WantedCard {
    int code;
    std::string name;
    std::string password = "pw";
    std::string note = {};
    bool deleted = false;
};

void AddCard(CCardFileData& data, const WantedCard& wanted);
// `count` cards in "WWW Sites" named "card-000#" upwards, each with a note.
void AddNumberedCards(CCardFileData& data, int count, int code = 0);
void SaveFile(CCardFileData& data, const QString& path);

// What a PDF file holds: its pages' texts as pdftotext reads them (empty when it cannot).
QStringList PdfPages(const QString& path);
// The page count the PDF's page tree declares (-1 when there is none).
int PdfPageCount(const QString& path);

}  // namespace tessarel::test
