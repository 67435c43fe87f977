// find --ignore-case folds card texts, passwords among them. A folded copy on the heap would be
// left in freed memory unwiped: this binary counts every allocation to show that a match makes none.

// The replaced operator new and delete below pair malloc with free; GCC, seeing the library's
// inlined deletes, takes them for a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "cardstore/CardSearch.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<int> allocations{0};

}  // namespace

void* operator new(std::size_t size) {
    if (counting) ++allocations;
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { ::operator delete(block); }

namespace tessarel {
namespace {

TEST(FindFolding, IgnoringCaseMatchesWithoutCopyingCardTexts) {
    CCard card;
    // Longer than any string's inline buffer, so a copy would have to go to the heap.
    card.SetFieldText1("Example Shop with a long name");
    card.SetFieldText3("someone@mail.example.com");
    card.SetFieldText4("Correct-Horse-Battery-Staple-\xE9");
    card.SetNote("a note that is long enough to leave the inline buffer");
    const struct {
        const char* text;
        bool found;
    } cases[] = {
        {"HORSE-battery", true}, {"example SHOP", true}, {"LONG ENOUGH", true}, {"staple-\xE9", true},
        {"staple-\xC9", false},  // only a to z fold
        {"horse-donkey", false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.text);
        const std::string_view text(test.text);
        allocations = 0;
        counting = true;
        const bool found = CardMatches(card, text, true);
        counting = false;
        EXPECT_EQ(found, test.found);
        EXPECT_EQ(allocations.load(), 0);
    }
}

}  // namespace
}  // namespace tessarel
