#pragma once
// The category tree of a card window: the fifteen categories as root items and each category's
// cards as children (sorted by name, item data = the card's index in its category list). It keeps
// the current card, fills the card field list on every selection, keeps the status counts of the
// main frame current and offers the selection operations the card commands use. It also prints
// the card file: Print, direct print and Print Preview (CTessarelViewPrint.cpp).

#include <QIcon>
#include <QTreeWidget>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "CardPrintLayout.h"
#include "CardSortKeys.h"
#include "CardUpdateHints.h"
#include "framework/Printing.h"
#include "framework/View.h"

namespace tessarel {

class CCard;
class CCardList;
class CTessarelDoc;
class CardViewHost;
class CardTreeFilter;

class CTessarelView : public QTreeWidget, public View, public Printable {
    Q_OBJECT
public:
    // `host` (may be null: nothing outside the view is told) is told when the view
    // goes; a host that goes first leaves the view without one.
    explicit CTessarelView(CardViewHost* host, QWidget* parent = nullptr);
    // The window this view reports to (null when none, or when it has gone).
    CardViewHost* Host() const { return host; }
    ~CTessarelView() override;
    QWidget* Widget() override { return this; }

    void OnInitialUpdate() override;
    void OnUpdate(View* sender, int hint, const UpdateHint* hintObject) override;

    // --- operations for the main frame and the card commands ---------------------------------
    void SelectCardItem(QTreeWidgetItem* category, int cardIndex);
    void ExpandAndSelectCard(QTreeWidgetItem* category, int cardIndex);
    // flag 1: the last card of the selected category's list; any other flag: the first.
    void SelectFirstOrLastCard(int flag);
    CCard* GetCurrentCard() const;
    QString GetSelectedCategoryName() const;
    void SetSelectedItemText(const QString& text);
    // Shows the card of `cardItem` in the field list and counts, as a selection would.
    void ShowCardOfItem(QTreeWidgetItem* cardItem, QTreeWidgetItem* category);
    QTreeWidgetItem* GetCategoryItem(int code) const;
    QTreeWidgetItem* FindCategoryItem(const QString& name) const;
    int CountCardsInItem(QTreeWidgetItem* category) const;
    int CountAllCards() const;
    std::uint8_t IsCardSelected() const { return cardSelected; }
    void SetCardSelected(std::uint8_t value) { cardSelected = value; }
    int GetCurrentCardIndex() const { return currentCardIndex; }
    void SetCurrentCardIndex(int index) { currentCardIndex = index; }
    // A category without cards shows the collapsed picture.
    void SetCategoryImage(QTreeWidgetItem* category);
    // The child of `category` whose item data is `cardIndex`, or nullptr.
    QTreeWidgetItem* FindCardItem(QTreeWidgetItem* category, int cardIndex) const;

    // The picture index (0 collapsed, 1 expanded, 2 card) an item shows.
    static int ImageOf(const QTreeWidgetItem* item);
    static int CardIndexOf(const QTreeWidgetItem* item);
    // The category code of a root item, -1 for any other item.
    int CodeOf(const QTreeWidgetItem* category) const;

    // What happens when the card window becomes the active one.
    void OnActivateView();

    // The quick filter of this tree (CardTreeFilter.cpp).
    CardTreeFilter& QuickFilter() const { return *filter; }
    // The picture every card item shows.
    const QIcon& CardPicture() const;

    // --- printing (CTessarelViewPrint.cpp) ------------------------------------------------------
    void OnFilePrint();
    // Prints without a dialog, on `printerName` when that printer exists, else the default one;
    // with no printer at all into the PDF file DirectPrintPdfPath(). Returns the pages printed,
    // -1 when nothing could be written.
    int OnFilePrintDirect(const QString& printerName = {});
    void OnFilePrintPreview();
    // Where direct printing writes when there is no printer: beside the card file, its name
    // with ".pdf" added.
    QString DirectPrintPdfPath() const;
    const CardPrintLayout& PrintLayout() const { return printLayout; }
    // The category tree among `document`'s views, if any.
    static CTessarelView* CardTreeOf(const Document& document);

    void OnBeginPrinting(QPagedPaintDevice& device, PrintInfo& info) override;
    void OnPrint(QPainter& painter, PrintInfo& info) override;
    void OnEndPrinting(PrintInfo& info) override;
    void OnEndPrintPreview(PrintInfo& info) override;

protected:
    // A right click (and a right double click) does nothing, not even select the item under it.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    CTessarelDoc* Doc() const;
    void InsertRoots();
    void RebuildCards();
    void RebuildCategory(int code);
    // Makes every card item of `code` anew (the category had none, or items this view does not
    // know of).
    void MakeCategoryItems(int code);
    // Brings the items of `code` to show its list again, reusing them: a row is renamed or given
    // another index only where what it shows changed.
    void ReuseCategoryItems(int code);
    // Adds blank rows, or removes rows from the end, until `code` has `count` card items.
    void FitItemCount(int code, std::size_t count);
    // Tells the model's views that the card items on `rows` (ascending) of `root` changed.
    void TellRowsChanged(QTreeWidgetItem* root, const std::vector<int>& rows);
    // Deletes a card item taken out of `code`, and forgets it as the item of its index.
    void DeleteCardItem(int code, QTreeWidgetItem* item);
    // True (and the cards' list indexes set) when `code`'s items still show its list as it is.
    bool KeepCategoryItems(int code);
    // True when nothing the tree shows can have changed since the last full check: the shown
    // change count and the lists are those it left, no item was renamed, none taken.
    bool NothingShownChanged() const;
    void NoteFullCheck();
    bool UpdateInPlace(const UpdateHint* hintObject);
    bool InsertCardItem(int code, int index);
    bool RemoveCardItem(int code, int index);
    bool SortRenamedItems();
    void SetImage(QTreeWidgetItem* item, int image);
    void OnSelectionChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void OnExpandingChanged(QTreeWidgetItem* item);
    void OnDoubleClick(QTreeWidgetItem* item);
    void ShowCounts(int inCategory, int cardNumber);
    void RegisterPrintCommands();

    CardViewHost* host;
    std::array<QTreeWidgetItem*, 15> categoryItems{};
    std::array<QIcon, 3> images;
    std::uint8_t cardSelected = 0;
    int currentCardIndex = 0;
    bool rebuilding = false;
    // Items renamed in place since the last update (category code, list index): they keep their
    // place until the next update of any kind, which moves them where a rebuild would put them.
    std::vector<std::pair<int, int>> renamed;
    // What the last full check (or rebuild) left every category showing: the shown change count
    // then and the lists it read. An update in place forgets it: it changes one category only.
    bool fullyChecked = false;
    std::uint64_t checkedAtCount = 0;
    std::array<const CCardList*, 15> checkedLists{};
    // Each category's card items by list index, so finding a card's item costs no search.
    std::array<std::vector<QTreeWidgetItem*>, 15> itemOfIndex;
    // Each category's rows by list index as the last rebuild left them: where the next one
    // starts its sort (cards added or taken in place since leave it out of step, which costs
    // that sort time but never changes its order).
    std::array<std::vector<int>, 15> rowOfIndex;
    // The memory a rebuild works in, kept from one category and one rebuild to the next: made
    // anew each time, its fresh pages cost a large rebuild more than its sorting.
    struct RebuildScratch {
        CardSortKeys keys;
        std::vector<std::string_view> names;
        std::vector<std::uint8_t> kept;
        std::vector<int> order;
        std::vector<int> changed;
    } scratch;
    // The page metrics, cards per page, page count and print cards of the job under way.
    CardPrintLayout printLayout;
    CardTreeFilter* filter;
};

}  // namespace tessarel
