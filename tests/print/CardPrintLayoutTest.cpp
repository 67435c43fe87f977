// The card print layout on a recording canvas: metrics, cards per page and page count, print
// order, the card's lines, note splitting, header and footer, and the two mended faults.
#include <gtest/gtest.h>

#include "PrintTestSupport.h"
#include "views/CardPrintLayout.h"

namespace tessarel::test {
namespace {

// A letter page at 600 dots per inch; a font 100 units high whose widest character takes 50.
constexpr PrintDeviceMetrics kLetter{5100, 6600, 4900, 6400, 600, 600, 100, 50};
constexpr int kLeft = 300, kTop = 200, kRight = 4800, kBottom = 6300;

class LayoutTest : public ::testing::Test {
protected:
    // Lays out `data` and draws every page on the canvas.
    void Print(PrintOptions options = {}, const PrintDeviceMetrics& metrics = kLetter) {
        layout.Begin(metrics, data, options);
        for (int page = 1; page <= layout.PageCount(); ++page) {
            canvas.page = page;
            layout.DrawPage(canvas, page, QStringLiteral("cards.qdf"), QStringLiteral("12/10/26"));
        }
    }
    // The card names drawn on `page` (the first value line of each card).
    QStringList NamesOn(int page) const {
        QStringList names;
        for (const DrawnText& call : canvas.drawn)
            if (call.page == page && call.text.startsWith("card-")) names << call.text;
        return names;
    }

    CCardFileData data;
    CardPrintLayout layout;
    RecordingCanvas canvas{50};
};

TEST_F(LayoutTest, MetricsAndRectanglesComeFromTheDevice) {
    AddNumberedCards(data, 1);
    Print();
    EXPECT_EQ(layout.PageWidth(), 5100);
    EXPECT_EQ(layout.PageHeight(), 6600);
    EXPECT_EQ(layout.PageRect(), (PageBox{0, 0, 5100, 6600}));
    EXPECT_EQ(layout.MarginRect(), (PageBox{kLeft, kTop, kRight, kBottom}));
    EXPECT_EQ(layout.LineHeight(), 100);
    EXPECT_EQ(layout.CharWidth(), 50);
}

TEST_F(LayoutTest, SettingsWithoutPageSizeUseThePrintableArea) {
    AddNumberedCards(data, 12);
    PrintDeviceMetrics metrics = kLetter;
    metrics.pixelWidth = 0;
    metrics.pixelHeight = 0;
    Print({}, metrics);
    EXPECT_EQ(layout.PageRect(), (PageBox{0, 0, 4900, 6400}));
    EXPECT_EQ(layout.MarginRect(), (PageBox{300, 200, 4600, 6100}));
    // (4600 - 300) / (8 × 100) = 5 cards a page: the cards are printed, not dropped.
    EXPECT_EQ(layout.CardsPerPage(), 5);
    EXPECT_EQ(layout.PageCount(), 3);
}

TEST_F(LayoutTest, PageCountsWithAndWithoutNotes) {
    struct Case {
        int cards;
        int printNotes;
        int perPage;
        int pages;
        int onLastPage;
    };
    // With notes: (4800 - 300) / 800 = 5 cards a page; without: 4500 / 500 = 9.
    for (const Case& c : {Case{0, 1, 5, 0, 0}, Case{1, 1, 5, 1, 1}, Case{5, 1, 5, 1, 5}, Case{10, 1, 5, 2, 5},
                          Case{11, 1, 5, 3, 1}, Case{9, 0, 9, 1, 9}, Case{18, 0, 9, 2, 9}, Case{19, 0, 9, 3, 1}}) {
        data = CCardFileData();
        canvas.drawn.clear();
        AddNumberedCards(data, c.cards);
        Print(PrintOptions{1, c.printNotes});
        SCOPED_TRACE(testing::Message() << c.cards << " cards, notes " << c.printNotes);
        EXPECT_EQ(layout.CardsPerPage(), c.perPage);
        EXPECT_EQ(layout.PageCount(), c.pages);
        // Every card once, in order, and the last page holds only the rest.
        QStringList all;
        for (int page = 1; page <= c.pages; ++page) all << NamesOn(page);
        ASSERT_EQ(all.size(), c.cards);
        for (int i = 0; i < c.cards; ++i) EXPECT_EQ(all[i], QString::asprintf("card-%04d", i));
        if (c.pages > 0) {
            EXPECT_EQ(NamesOn(c.pages).size(), c.onLastPage);
        }
        EXPECT_EQ(canvas.TextsOn(1).count("Notes"), c.printNotes == 1 ? std::min(c.cards, c.perPage) : 0);
    }
}

TEST_F(LayoutTest, PrintOrderIsByCategoryCodeThenListOrderAndAtmFollowsTheSetting) {
    AddCard(data, {11, "key"});
    AddCard(data, {9, "atm"});
    AddCard(data, {0, "zeta"});
    AddCard(data, {0, "alpha"});
    AddCard(data, {8, "visa"});
    AddCard(data, {3, "gone", "pw", "", true});
    AddCard(data, {14, "misc"});
    auto names = [this] {
        QStringList list;
        for (const CCard* card : layout.PrintCards()) list << QString::fromStdString(std::string(std::string_view(card->GetFieldText1())));
        return list;
    };
    Print(PrintOptions{1, 1});
    EXPECT_EQ(names(), (QStringList{"zeta", "alpha", "visa", "atm", "key", "misc"}));
    EXPECT_EQ(layout.PageCount(), 2);

    canvas.drawn.clear();
    Print(PrintOptions{0, 1});
    EXPECT_EQ(names(), (QStringList{"zeta", "alpha", "visa", "key", "misc"}));
    EXPECT_EQ(layout.PageCount(), 1);
    EXPECT_EQ(canvas.Find("ATM/PIN Cards"), nullptr);
    EXPECT_EQ(canvas.Find("atm"), nullptr);
    EXPECT_EQ(canvas.Find("gone"), nullptr) << "deleted cards are never printed";

    layout.End();
    EXPECT_TRUE(layout.PrintCards().empty());
}

TEST_F(LayoutTest, OneCardLaidOutLineByLine) {
    const std::string note = std::string(60, 'a') + " " + std::string(39, 'b');
    AddCard(data, {5, "shell", "hunter2", note});
    Print();
    // "Login Accounts": labels "Name:", "Host:", "Login:", "Password:"; the longest has 9.
    const int y = kTop + 3 * 50;
    const int x0 = kLeft + 2 * 50;
    const int value = x0 + 9 * 50;
    const std::vector<DrawnText> expected{
        {1, kLeft, y, "Login Accounts"},
        {1, x0, y + 100, "Name:"},      {1, value, y + 100, "shell"},
        {1, x0, y + 200, "Host:"},      {1, value, y + 200, "https://shell.example"},
        {1, x0, y + 300, "Login:"},     {1, value, y + 300, "user-shell"},
        {1, x0, y + 400, "Password:"},  {1, value, y + 400, "hunter2"},
        {1, x0, y + 500, "Notes"},
        {1, x0, y + 600, QString(60, 'a')},
        {1, x0, y + 700, QString(39, 'b')},
    };
    ASSERT_EQ(canvas.drawn.size(), 4 + expected.size());
    EXPECT_EQ(std::vector<DrawnText>(canvas.drawn.begin() + 4, canvas.drawn.end()), expected);

    // Without notes the card ends after its fourth field and the next one starts 6 lines on.
    AddCard(data, {5, "second"});
    canvas.drawn.clear();
    Print(PrintOptions{1, 0});
    EXPECT_EQ(canvas.Find("Notes"), nullptr);
    EXPECT_EQ(canvas.Find("Login Accounts")->y, y);
    EXPECT_EQ(canvas.Find("second")->y, y + 600 + 100);
}

TEST_F(LayoutTest, CardsOfAPageAreNineLinesApartWithNotes) {
    AddNumberedCards(data, 6);
    Print();
    for (int k = 0; k < 5; ++k) EXPECT_EQ(canvas.Find(QString::asprintf("card-%04d", k))->y, kTop + 150 + 900 * k + 100) << k;
    // The sixth card opens page 2 at the first card's place.
    const DrawnText* sixth = canvas.Find("card-0005");
    EXPECT_EQ(sixth->page, 2);
    EXPECT_EQ(sixth->y, kTop + 150 + 100);
}

TEST_F(LayoutTest, HeaderAndFooterOnEveryPage) {
    AddNumberedCards(data, 11);
    Print();
    ASSERT_EQ(layout.PageCount(), 3);
    for (int page = 1; page <= 3; ++page) {
        SCOPED_TRACE(page);
        auto on = [this, page](const QString& text) {
            for (const DrawnText& call : canvas.drawn)
                if (call.page == page && call.text == text) return call;
            return DrawnText{0, 0, 0, {}};
        };
        EXPECT_EQ(on("Tessarel"), (DrawnText{page, kLeft, kTop, "Tessarel"}));
        // Right-aligned by estimate: 9 characters of the widest width before the right margin.
        EXPECT_EQ(on("cards.qdf"), (DrawnText{page, kRight - 9 * 50, kTop, "cards.qdf"}));
        const QString number = QString::number(page);
        EXPECT_EQ(on(number), (DrawnText{page, (kRight - kLeft) / 2, kBottom - 210, number}));
        EXPECT_EQ(on("12/10/26"), (DrawnText{page, kRight - 8 * 50, kBottom - 210, "12/10/26"}));
    }
}

TEST_F(LayoutTest, ALongTitleStaysOnThePageAfterTheProgramsName) {
    AddNumberedCards(data, 1);
    layout.Begin(kLetter, data, {});
    // 120 characters × 50 would start 1500 units left of the page; it starts after "Tessarel  "
    // (10 characters) and is cut at the right margin: (4800 - 800) / 50 = 80 characters fit.
    layout.DrawPage(canvas, 1, QString(120, 't'), QStringLiteral("12/10/26"));
    const DrawnText* title = canvas.Find(QString(77, 't') + "...");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x, kLeft + 10 * 50);
    EXPECT_EQ(title->y, kTop);
}

TEST_F(LayoutTest, CategoryNameFallsBackToTheCodesName) {
    AddCard(data, {3, "news"});
    CCard* card = data.GetCategoryList(3)->GetAt(0);
    ASSERT_TRUE(std::string_view(card->GetCategoryName()).empty());
    Print();
    EXPECT_NE(canvas.Find("Newsgroups"), nullptr);
    // An edited card carries its own name.
    card->SetCategoryName("Newsgroups");
    canvas.drawn.clear();
    Print();
    EXPECT_EQ(canvas.Find("Newsgroups")->x, kLeft);
}

TEST_F(LayoutTest, NoteLines) {
    struct Case {
        QString note;
        QString first;
        QString rest;
    };
    const QString a60(60, 'a');
    const Case cases[] = {
        {"short note", "short note", ""},
        {QString(69, 'n'), QString(69, 'n'), ""},
        // 100 characters, the 71st inside a word: cut at the last blank before 70, which goes.
        {a60 + " " + QString(39, 'b'), a60, QString(39, 'b')},
        // A blank exactly at 70: the cut stays there; leading white space of the rest goes.
        {QString(70, 'x') + "   \r\ny", QString(70, 'x'), "y"},
        // No blank above position 0: the cut stays at 70.
        {" " + QString(99, 'z'), " " + QString(69, 'z'), QString(30, 'z')},
        {QString(100, 'q'), QString(70, 'q'), QString(30, 'q')},
        // Exactly 70 characters fit the first line whole.
        {"word " + QString(65, 'w'), "word " + QString(65, 'w'), ""},
        // The rest goes on one line, however long.
        {a60 + " " + QString(200, 'r'), a60, QString(200, 'r')},
    };
    for (const Case& c : cases) {
        const auto [first, rest] = CardPrintLayout::SplitNote(c.note);
        EXPECT_EQ(first, c.first) << c.note.toStdString();
        EXPECT_EQ(rest, c.rest) << c.note.toStdString();
    }
}

TEST_F(LayoutTest, LongValuesAreCutWithDotsAtTheRightMargin) {
    const std::string longName(200, 'L');
    AddCard(data, {0, longName, std::string(30, 'p'), std::string(60, 'a') + " " + std::string(150, 'b')});
    Print();
    const int value = kLeft + 2 * 50 + 9 * 50;
    // Values start at 300 + 2 × 50 + 9 × 50 = 850; (4800 - 850) / 50 = 79 characters fit: 76
    // and the three dots.
    const DrawnText* name = canvas.Find(QString(76, 'L') + "...");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->x, value);
    EXPECT_NE(canvas.Find(QString(30, 'p')), nullptr) << "a value that fits is left whole";
    // Note lines run from x0 = 400: 88 characters fit.
    EXPECT_NE(canvas.Find(QString(85, 'b') + "..."), nullptr);
    for (const DrawnText& call : canvas.drawn) {
        if (call.y > kTop) {
            EXPECT_LE(call.x + canvas.TextWidth(call.text), kRight) << call.text.toStdString();
        }
    }

    RecordingCanvas narrow(50);
    EXPECT_EQ(CardPrintLayout::FitText(narrow, "abcdef", 300), "abcdef");
    EXPECT_EQ(CardPrintLayout::FitText(narrow, "abcdefg", 300), "abc...");
    EXPECT_EQ(CardPrintLayout::FitText(narrow, "abcdefg", 100), "...");
}

TEST_F(LayoutTest, NoCardIsPlacedBelowTheFooter) {
    // A landscape page: 6600 wide, 5100 high. The width alone would allow 7 cards with notes.
    AddNumberedCards(data, 20);
    Print(PrintOptions{1, 1}, PrintDeviceMetrics{6600, 5100, 6400, 4900, 600, 600, 100, 50});
    const int footer = 5100 - 300 - 210;
    // Cards start at 350, 9 lines apart, 8 lines high: (4590 - 350 - 800) / 900 + 1 = 4.
    EXPECT_EQ(layout.CardsPerPage(), 4);
    EXPECT_EQ(layout.PageCount(), 5);
    for (const DrawnText& call : canvas.drawn) {
        if (call.y != footer && call.y != 200) {
            EXPECT_LT(call.y + 100, footer) << call.text.toStdString();
        }
    }
}

}  // namespace
}  // namespace tessarel::test
