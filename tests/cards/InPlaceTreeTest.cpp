// The card commands change the tree in place instead of rebuilding it. Whatever the sequence of
// commands, after each update the tree must hold exactly what a rebuild from the lists gives:
// each category's cards sorted by name without regard to case, equal names in list order, every
// item carrying its card's list index, and every card's list index its place in its list.

#include <QLineEdit>
#include <QSignalSpy>
#include <algorithm>
#include <functional>
#include <memory>
#include <random>

#include "CardsFixture.h"
#include "cardstore/CCardList.h"
#include "cardstore/CategoryTable.h"
#include "framework/CommandIds.h"
#include "resources/ResourceIds.h"
#include "mainframe/dialogs/CardText.h"

namespace tessarel::test {
namespace {

struct Entry {
    QString text;
    int index;
    bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& entry, std::ostream* out) { *out << '"' << entry.text.toStdString() << "\" #" << entry.index; }

class InPlaceTree : public CardsFixture {
protected:
    std::vector<Entry> Shown(int code) const {
        std::vector<Entry> entries;
        QTreeWidgetItem* root = Tree()->GetCategoryItem(code);
        for (int i = 0; i < root->childCount(); ++i)
            entries.push_back({root->child(i)->text(0), CTessarelView::CardIndexOf(root->child(i))});
        return entries;
    }

    std::vector<Entry> Rebuilt(int code) const {
        std::vector<Entry> entries;
        const CCardList* list = Doc()->GetCategoryList(code);
        int index = 0;
        for (const auto& card : *list) entries.push_back({CardTextToQString(card->GetFieldText1()), index++});
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return a.text.toCaseFolded() < b.text.toCaseFolded(); });
        return entries;
    }

    void ExpectTreeAsRebuilt(const std::string& step) const {
        for (int code = 0; code < kCategoryCount; ++code) {
            ASSERT_EQ(Shown(code), Rebuilt(code)) << step << ", category " << code;
            int index = 0;
            for (const auto& card : *Doc()->GetCategoryList(code)) ASSERT_EQ(card->GetListIndex(), index++) << step;
        }
    }

    QTreeWidgetItem* SomeCard(std::mt19937& random) const {
        std::vector<QTreeWidgetItem*> cards;
        for (int code = 0; code < kCategoryCount; ++code) {
            QTreeWidgetItem* root = Tree()->GetCategoryItem(code);
            for (int i = 0; i < root->childCount(); ++i) cards.push_back(root->child(i));
        }
        if (cards.empty()) return nullptr;
        return cards[std::uniform_int_distribution<std::size_t>(0, cards.size() - 1)(random)];
    }

    void SelectItem(QTreeWidgetItem* item) {
        // From a category first, so the selection change is handled as a click would be.
        Tree()->setCurrentItem(item->parent() ? item->parent() : Tree()->GetCategoryItem(0));
        Tree()->setCurrentItem(item);
    }
    static std::unique_ptr<CCard> NamedCard(std::string_view name) {
        auto made = std::make_unique<CCard>();
        made->SetFieldText1(name);
        return made;
    }

    // A change made to a list (or to the tree's items) behind the tree's back.
    using BehindTheTree = std::function<void(CCardList&, QTreeWidgetItem&)>;
    // One row of a table of changes: what it is called in a failure, and the change itself.
    struct ChangeCase {
        const char* what;
        BehindTheTree change;
    };

    // A new file with five cards in one category; after an update first when `updateFirst` (so an
    // update finding nothing changed has been seen), `change` is made behind the tree. The next
    // update must end as a rebuild would; after no change it must keep the very same items.
    void ExpectUpdateSees(const char* what, const BehindTheTree& change, bool updateFirst) {
        NewFile();
        MakeTreeActive();
        for (const char* name : {"gamma", "delta", "beta", "alpha", "Delta"}) AddCard("Bank Accounts", name);
        const int code = *CategoryCodeOfName("Bank Accounts");
        QTreeWidgetItem* root = Tree()->GetCategoryItem(code);
        if (updateFirst) Doc()->UpdateAllViews(nullptr);
        std::vector<QTreeWidgetItem*> before;
        for (int i = 0; i < root->childCount(); ++i) before.push_back(root->child(i));
        change(*Doc()->GetCategoryList(code), *root);
        Doc()->UpdateAllViews(nullptr);
        ExpectTreeAsRebuilt(what);
        if (std::string(what) == "nothing") {
            for (int i = 0; i < root->childCount(); ++i) EXPECT_EQ(root->child(i), before[static_cast<std::size_t>(i)]) << what;
        }
        Doc()->SetModifiedFlag(false);
        ASSERT_TRUE(Run(cmd::FileClose)) << what;
    }

    // A category of many cards (more than the rebuild tells the views of, or takes from the end,
    // one by one), some of their names equal but for case, then cards added and taken by the
    // commands (so the rows the last rebuild noted are out of step). After `change` is made
    // behind the tree, the next update must end as a rebuild would, and every row whose name or
    // card changed must have been told to the model's views.
    void ExpectLargeUpdateSees(const char* what, const std::function<void(CCardList&, QTreeWidgetItem&)>& change) {
        NewFile();
        MakeTreeActive();
        const int code = *CategoryCodeOfName("Bank Accounts");
        CCardList& list = *Doc()->GetCategoryList(code);
        for (int i = 0; i < 150; ++i) list.Add(NamedCard((i % 3 == 0 ? "Card " : "card ") + std::to_string((i * 37) % 101)));
        Doc()->UpdateAllViews(nullptr);
        AddCard("Bank Accounts", "card 5");
        AddCard("Bank Accounts", "Aardvark");
        QTreeWidgetItem* root = Tree()->GetCategoryItem(code);
        SelectItem(root->child(7));
        dialogs->AnswerMessage(MessageAnswer::Ok);
        ASSERT_TRUE(Run(res::DeleteCard)) << what;
        ExpectTreeAsRebuilt(std::string(what) + ", before");
        const std::vector<Entry> before = Shown(code);
        QSignalSpy told(Tree()->model(), &QAbstractItemModel::dataChanged);
        change(list, *root);
        Doc()->UpdateAllViews(nullptr);
        ExpectTreeAsRebuilt(what);
        const std::vector<Entry> after = Shown(code);
        const QModelIndex parent = Tree()->model()->index(code, 0);
        for (std::size_t row = 0; row < std::min(before.size(), after.size()); ++row) {
            if (before[row] == after[row]) continue;
            const bool wasTold = std::any_of(told.begin(), told.end(), [&](const QList<QVariant>& signal) {
                const auto first = signal[0].value<QModelIndex>(), last = signal[1].value<QModelIndex>();
                return first.parent() == parent && first.row() <= static_cast<int>(row) && static_cast<int>(row) <= last.row();
            });
            EXPECT_TRUE(wasTold) << what << ", row " << row;
        }
        Doc()->SetModifiedFlag(false);
        ASSERT_TRUE(Run(cmd::FileClose)) << what;
    }
};

TEST_F(InPlaceTree, EveryCommandLeavesTheTreeAsARebuildWould) {
    NewFile();
    MakeTreeActive();
    // Few categories and few names, so categories fill up and names repeat in every case.
    const QStringList categories = {"WWW Sites", "Bank Accounts", "Miscellaneous"};
    const QStringList names = {"alpha", "Alpha", "beta", "BETA", "gamma", "", "delta", "alpha"};
    std::mt19937 random(20);
    auto pick = [&random](const QStringList& from) { return from[std::uniform_int_distribution<qsizetype>(0, from.size() - 1)(random)]; };
    for (int step = 0; step < 300; ++step) {
        const int action = std::uniform_int_distribution<int>(0, 5)(random);
        const std::string what = "step " + std::to_string(step) + " action " + std::to_string(action);
        QTreeWidgetItem* card = SomeCard(random);
        if (action <= 1 || !card) {
            const QString name = pick(names);
            AddCard(pick(categories), name);
            ASSERT_EQ(SelectedText(), name) << what;
        } else if (action == 2) {
            SelectItem(card);
            dialogs->AnswerMessage(MessageAnswer::Ok);
            ASSERT_TRUE(Run(res::DeleteCard)) << what;
        } else if (action == 3) {
            SelectItem(card);
            const QString name = card->text(0);
            ASSERT_TRUE(Run(cmd::EditCut)) << what;
            SelectCategory(pick(categories));
            ASSERT_TRUE(Run(cmd::EditPaste)) << what;
            ASSERT_EQ(SelectedText(), name) << what;
        } else if (action == 4) {
            SelectItem(card);
            ASSERT_TRUE(Run(cmd::EditCopy)) << what;
            SelectCategory(pick(categories));
            ASSERT_TRUE(Run(cmd::EditPaste)) << what;
        } else {
            // Renamed in place: the item keeps its place until the next update sorts it.
            SelectItem(card);
            FillCardDialog(CardFields{pick(names), {}, {}, {}, {}});
            ASSERT_TRUE(Run(res::EditCard)) << what;
            continue;
        }
        ExpectTreeAsRebuilt(what);
        // The counts follow the tree.
        int total = 0;
        for (int code = 0; code < kCategoryCount; ++code) total += Tree()->GetCategoryItem(code)->childCount();
        ASSERT_EQ(TotalCount(), QString::number(total)) << what;
    }
}

// An update without a hint keeps a category's items only while they still show its list: every
// kind of change made to a list behind the tree's back must still end as a rebuild would, and an
// update that finds nothing changed must leave the very same items.
TEST_F(InPlaceTree, AnUpdateKeepsItemsOnlyWhileTheyStillShowTheList) {
    const ChangeCase cases[] = {
        {"nothing", [](CCardList&, QTreeWidgetItem&) {}},
        {"a name changed", [](CCardList& list, QTreeWidgetItem&) { list.GetAt(1)->SetFieldText1("Aardvark"); }},
        {"a name changed in case only", [](CCardList& list, QTreeWidgetItem&) { list.GetAt(2)->SetFieldText1("BETA"); }},
        {"two cards swapped", [](CCardList& list, QTreeWidgetItem&) { list.SetAt(list.SetAt(list.SetAt(nullptr, 0), 3), 0); }},
        {"a card taken out", [](CCardList& list, QTreeWidgetItem&) { (void)list.TakeAt(0); }},
        {"a card replaced by another of the same name", [](CCardList& list, QTreeWidgetItem&) { (void)list.SetAt(NamedCard("gamma"), 0); }},
        {"a card added", [](CCardList& list, QTreeWidgetItem&) { list.Add(NamedCard("alpha")); }},
    };
    for (const auto& c : cases) ExpectUpdateSees(c.what, c.change, false);
}


// An update that found nothing changed lets the next one skip reading the cards while nothing has
// moved the shown change count since. Every way of changing a list or a name behind the tree, and
// a tree item renamed from outside, must still end as a rebuild would after such an update.
TEST_F(InPlaceTree, AnUpdateAfterOneThatFoundNothingChangedStillSeesEveryChange) {
    const ChangeCase cases[] = {
        {"nothing", [](CCardList&, QTreeWidgetItem&) {}},
        {"a name changed", [](CCardList& list, QTreeWidgetItem&) { list.GetAt(1)->SetFieldText1("Aardvark"); }},
        {"every text set at once", [](CCardList& list, QTreeWidgetItem&) { list.GetAt(0)->SetTexts("zebra", "", "", "", "", "", ""); }},
        {"a card assigned over another", [](CCardList& list, QTreeWidgetItem&) { *list.GetAt(0) = *list.GetAt(3); }},
        {"two cards' contents swapped", [](CCardList& list, QTreeWidgetItem&) { std::swap(*list.GetAt(0), *list.GetAt(2)); }},
        {"two cards swapped", [](CCardList& list, QTreeWidgetItem&) { list.SetAt(list.SetAt(list.SetAt(nullptr, 0), 3), 0); }},
        {"a card taken out", [](CCardList& list, QTreeWidgetItem&) { (void)list.TakeAt(0); }},
        {"a card added", [](CCardList& list, QTreeWidgetItem&) { list.Add(NamedCard("alpha")); }},
        {"the list emptied", [](CCardList& list, QTreeWidgetItem&) { list.Clear(); }},
        {"the list assigned anew", [](CCardList& list, QTreeWidgetItem&) {
             CCardList other;
             other.SetLabels(list.GetLabels());
             for (int i = 0; i < list.GetCount(); ++i) other.Add(NamedCard(i == 2 ? "omega" : "alpha"));
             list = std::move(other);
         }},
        {"a list index set wrong", [](CCardList& list, QTreeWidgetItem&) { list.GetAt(2)->SetListIndex(0); }},
        {"an item renamed from outside", [](CCardList&, QTreeWidgetItem& root) { root.child(0)->setText(0, QStringLiteral("zzz")); }},
    };
    for (const auto& c : cases) ExpectUpdateSees(c.what, c.change, true);
}

// A rebuild of a category that changed keeps its items and changes only the rows whose name or
// card changed: whatever changed behind the tree, no row may keep a name or a list index it no
// longer shows, however many rows change, and however many cards come or go.
TEST_F(InPlaceTree, AnUpdateOfManyCardsReusesItemsWithoutStaleNamesOrIndexes) {
    const ChangeCase cases[] = {
        {"two cards swapped", [](CCardList& list, QTreeWidgetItem&) { list.SetAt(list.SetAt(list.SetAt(nullptr, 0), 9), 0); }},
        {"the list reversed", [](CCardList& list, QTreeWidgetItem&) {
             for (int low = 0, high = list.GetCount() - 1; low < high; ++low, --high) list.SetAt(list.SetAt(list.SetAt(nullptr, low), high), low);
         }},
        {"one name changed", [](CCardList& list, QTreeWidgetItem&) { list.GetAt(40)->SetFieldText1("zz top"); }},
        {"every name changed", [](CCardList& list, QTreeWidgetItem&) {
             for (int i = 0; i < list.GetCount(); ++i) list.GetAt(i)->SetFieldText1("x" + std::to_string(i % 7));
         }},
        {"names changed in case only", [](CCardList& list, QTreeWidgetItem&) {
             for (int i = 0; i < list.GetCount(); i += 5) list.GetAt(i)->SetFieldText1("CARD " + std::to_string(i));
         }},
        {"a hundred cards taken from the front", [](CCardList& list, QTreeWidgetItem&) {
             for (int i = 0; i < 100; ++i) (void)list.TakeAt(0);
         }},
        {"a hundred cards taken from the end", [](CCardList& list, QTreeWidgetItem&) {
             for (int i = 0; i < 100; ++i) (void)list.TakeAt(list.GetCount() - 1);
         }},
        {"three cards taken from the middle", [](CCardList& list, QTreeWidgetItem&) {
             for (int i = 0; i < 3; ++i) (void)list.TakeAt(60);
         }},
        {"a hundred cards added", [](CCardList& list, QTreeWidgetItem&) {
             for (int i = 0; i < 100; ++i) list.Add(NamedCard(i % 2 ? "Beta" : "alpha"));
         }},
        {"every card taken", [](CCardList& list, QTreeWidgetItem&) { list.Clear(); }},
        {"an item's list index set from outside", [](CCardList&, QTreeWidgetItem& root) { root.child(3)->setData(0, Qt::UserRole, 4); }},
        {"an item given its neighbour's name from outside", [](CCardList&, QTreeWidgetItem& root) { root.child(3)->setText(0, root.child(4)->text(0)); }},
    };
    for (const auto& c : cases) ExpectLargeUpdateSees(c.what, c.change);
}

}  // namespace
}  // namespace tessarel::test
