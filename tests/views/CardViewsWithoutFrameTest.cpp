// The card views built on a card document with a recording CardViewHost: what they tell the host
// when a card is selected, added, double-clicked or the window is activated, and what the field
// list shows, all without the program's frame.
#include <QTreeWidgetItem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "cardstore/CCard.h"
#include "cardstore/CCardList.h"
#include "cardstore/CategoryTable.h"
#include "cardstore/document/CTessarelDoc.h"
#include "views/CTessarelListView.h"
#include "views/CTessarelView.h"
#include "views/CardViewHost.h"

namespace tessarel {
namespace {

// Records every call the views make; answers from its own small state.
class RecordingHost : public CardViewHost {
public:
    struct Counts {
        int inCategory, cardNumber, total;
        bool operator==(const Counts&) const = default;
    };
    std::vector<Counts> counts;
    std::vector<std::pair<QString, QString>> countTexts;
    std::vector<int> selectedFlags;
    int selectedIndex = -1;
    std::vector<int> protections;
    bool activeDocument = false;
    int editRequests = 0;
    int restored = 0;
    std::function<void(ChildFrame*)> activation;

    void ShowCardCounts(int inCategory, int cardNumber, int total) override { counts.push_back({inCategory, cardNumber, total}); }
    void ShowCardCountTexts(const QString& inCategory, const QString& total) override { countTexts.push_back({inCategory, total}); }
    void SetCardSelectedFlag(std::uint8_t flag) override { selectedFlags.push_back(flag); }
    void SetSelectedCardIndex(int index) override { selectedIndex = index; }
    int GetSelectedCardIndex() const override { return selectedIndex; }
    void ShowFileProtection(int protection) override { protections.push_back(protection); }
    bool HasActiveCardDocument() const override { return activeDocument; }
    QString CategoryNameOf(int code) const override {
        const std::string_view name = CategoryName(code);
        return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    }
    void StoreCard(CTessarelDoc&, const QString&, const CCard&, int) override {}
    void EditSelectedCard() override { ++editRequests; }
    PrintOptions CurrentPrintOptions() const override { return {}; }
    void RestoreCardBars() override { ++restored; }
    void WhenActiveChildChanges(QObject*, std::function<void(ChildFrame*)> handler) override { activation = std::move(handler); }
};

int CodeOf(const char* category) { return *CategoryCodeOfName(category); }

std::unique_ptr<CCard> MakeCard(const char* name, const char* address) {
    auto card = std::make_unique<CCard>();
    card->SetFieldText1(name);
    card->SetFieldText2(address);
    return card;
}

class CardViewsWithoutFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        sites = doc.GetCategoryList(CodeOf("WWW Sites"));
        ASSERT_NE(sites, nullptr);
        sites->Add(MakeCard("Zeta", "http://zeta.example/"));
        sites->Add(MakeCard("Alpha", "http://alpha.example/"));
        tree = std::make_unique<CTessarelView>(&host);
        list = std::make_unique<CTessarelListView>(&host);
        doc.AddView(tree.get());
        doc.AddView(list.get());
        tree->OnInitialUpdate();
        list->OnInitialUpdate();
    }
    QTreeWidgetItem* Sites() const { return tree->FindCategoryItem(QStringLiteral("WWW Sites")); }

    RecordingHost host;
    CTessarelDoc doc;
    CCardList* sites = nullptr;
    std::unique_ptr<CTessarelView> tree;
    std::unique_ptr<CTessarelListView> list;
};

TEST_F(CardViewsWithoutFrameTest, SelectingACardTellsTheHostAndFillsTheFieldList) {
    QTreeWidgetItem* category = Sites();
    ASSERT_NE(category, nullptr);
    ASSERT_EQ(category->childCount(), 2);
    // The tree sorts by name: Alpha (list index 1) comes first.
    QTreeWidgetItem* alpha = category->child(0);
    EXPECT_EQ(alpha->text(0), QStringLiteral("Alpha"));
    tree->setCurrentItem(alpha);

    ASSERT_FALSE(host.counts.empty());
    EXPECT_EQ(host.counts.back(), (RecordingHost::Counts{2, 2, 2}));
    ASSERT_FALSE(host.selectedFlags.empty());
    EXPECT_EQ(host.selectedFlags.back(), 1);
    EXPECT_EQ(host.selectedIndex, 1);
    EXPECT_EQ(list->GetCurrentCard(), sites->GetAt(1));
    EXPECT_EQ(list->RowValue(0), QStringLiteral("Alpha"));
    EXPECT_EQ(list->RowValue(1), QStringLiteral("http://alpha.example/"));

    // Back on the category: nothing is selected and the field list is empty.
    tree->setCurrentItem(category);
    EXPECT_EQ(host.selectedFlags.back(), 0);
    EXPECT_EQ(host.counts.back(), (RecordingHost::Counts{2, 0, 2}));
    EXPECT_EQ(list->GetCurrentCard(), nullptr);
    EXPECT_EQ(list->RowCount(), 0);
}

TEST_F(CardViewsWithoutFrameTest, ATypedAddHintInsertsTheOneItemInItsSortedPlace) {
    QTreeWidgetItem* zeta = Sites()->child(1);
    const int code = CodeOf("WWW Sites");
    const int index = sites->Add(MakeCard("Mu", "http://mu.example/")) - 1;
    const CardListChangeHint added(CardListChangeHint::Kind::Added, code, index);
    doc.UpdateAllViews(nullptr, 0, &added);
    ASSERT_EQ(Sites()->childCount(), 3);
    EXPECT_EQ(Sites()->child(1)->text(0), QStringLiteral("Mu"));
    EXPECT_EQ(CTessarelView::CardIndexOf(Sites()->child(1)), index);
    // Changed in place: the other items are the same objects, not rebuilt ones.
    EXPECT_EQ(Sites()->child(2), zeta);
}

TEST_F(CardViewsWithoutFrameTest, DoubleClickOnTheSelectedCardAsksTheHostToEditIt) {
    QTreeWidgetItem* alpha = Sites()->child(0);
    tree->setCurrentItem(alpha);
    emit tree->itemDoubleClicked(alpha, 0);
    EXPECT_EQ(host.editRequests, 1);
    // A double click on a category edits nothing.
    tree->setCurrentItem(Sites());
    emit tree->itemDoubleClicked(Sites(), 0);
    EXPECT_EQ(host.editRequests, 1);
}

TEST_F(CardViewsWithoutFrameTest, ActivationShowsThePlainFileAndTheWindowsOwnSelection) {
    ASSERT_TRUE(host.activation) << "the tree asks the host to hear of window activation";
    tree->setCurrentItem(Sites()->child(1));
    host.selectedFlags.clear();
    tree->OnActivateView();
    ASSERT_EQ(host.protections.size(), 1u);
    EXPECT_EQ(host.protections[0], 0);
    ASSERT_EQ(host.selectedFlags.size(), 1u);
    EXPECT_EQ(host.selectedFlags[0], 1);
    EXPECT_EQ(host.selectedIndex, 0);
}

TEST_F(CardViewsWithoutFrameTest, TheLastTreeGoneClearsTheCountsAndTheSelection) {
    tree->setCurrentItem(Sites()->child(0));
    host.activeDocument = false;
    tree.reset();
    EXPECT_EQ(host.counts.back(), (RecordingHost::Counts{0, 0, 0}));
    EXPECT_EQ(host.selectedFlags.back(), 0);
}

// A card window can be deleted after the frame (it is deleted later, by the event loop): views
// whose host has gone must not call it.
TEST(CardViewsHostLifetimeTest, AHostThatGoesFirstLeavesItsViewsWithoutOne) {
    CTessarelDoc doc;
    auto host = std::make_unique<RecordingHost>();
    auto tree = std::make_unique<CTessarelView>(host.get());
    auto list = std::make_unique<CTessarelListView>(host.get());
    doc.AddView(tree.get());
    doc.AddView(list.get());
    tree->OnInitialUpdate();
    host.reset();
    // Selecting and closing now tell nobody (a call into the gone host would crash here).
    tree->setCurrentItem(tree->GetCategoryItem(1));
    list.reset();
    tree.reset();
    SUCCEED();
}

}  // namespace
}  // namespace tessarel
