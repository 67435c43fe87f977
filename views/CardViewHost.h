#pragma once
// What the card views ask of the window that holds them: the operations they call, and nothing
// of the window's own. The main frame implements it and hands it to the views it makes; a test
// hands its own, so the views are built and exercised with a document and no application.

#include <QObject>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "CardPrintLayout.h"

namespace tessarel {

class CCard;
class ChildFrame;
class CTessarelDoc;

class CardViewHost {
public:
    // A card window can outlive its host (the frame deletes it later): every view still attached
    // loses its host here, and then acts as a view without one.
    virtual ~CardViewHost() {
        for (CardViewHost** link : links) *link = nullptr;
    }

    // A view keeps its host in `*link` from its construction to its destruction.
    void Attach(CardViewHost** link) { links.push_back(link); }
    void Detach(CardViewHost** link) { std::erase(links, link); }

    // The status bar's card counts: cards in the category, the current card's number, all cards.
    virtual void ShowCardCounts(int inCategory, int cardNumber, int total) = 0;
    // The same two counts as texts: the quick filter shows "n of m" in them.
    virtual void ShowCardCountTexts(const QString& inCategory, const QString& total) = 0;
    // Whether a card is selected: Delete, Edit and Cut follow it.
    virtual void SetCardSelectedFlag(std::uint8_t flag) = 0;
    // The list index of the selected card in its category.
    virtual void SetSelectedCardIndex(int index) = 0;
    virtual int GetSelectedCardIndex() const = 0;
    // The file's protection in the status bar and on the Encrypt On Save button: 0 plain,
    // 1 encrypted, 2 sealed.
    virtual void ShowFileProtection(int protection) = 0;
    // Whether any card window is open and active (the counts go back to zero when none is).
    virtual bool HasActiveCardDocument() const = 0;
    // The name of a category code, for a card that has none of its own.
    virtual QString CategoryNameOf(int code) const = 0;
    // Writes an edited card back to its place (moving it when its category changed).
    virtual void StoreCard(CTessarelDoc& doc, const QString& categoryName, const CCard& card, int index) = 0;
    // The Edit Card command, on the card selected in the tree.
    virtual void EditSelectedCard() = 0;
    // What Print prints: ATM cards, notes.
    virtual PrintOptions CurrentPrintOptions() const = 0;
    // Print Preview has ended: the bars it hid come back.
    virtual void RestoreCardBars() = 0;
    // Calls `handler` (while `context` lives) whenever another child window becomes active.
    virtual void WhenActiveChildChanges(QObject* context, std::function<void(ChildFrame*)> handler) = 0;

private:
    std::vector<CardViewHost**> links;
};

}  // namespace tessarel
