#include "ImportedCard.h"

#include "cardstore/CategoryTable.h"

namespace tessarel {
namespace {

constexpr std::string_view kRootGroup = "Root";
constexpr int kWwwSitesCode = 0;

std::string_view WithoutRoot(std::string_view group) {
    if (group == kRootGroup) return {};
    if (group.size() > kRootGroup.size() && group.substr(0, kRootGroup.size()) == kRootGroup && group[kRootGroup.size()] == '/') {
        return group.substr(kRootGroup.size() + 1);
    }
    return group;
}

}  // namespace

SecureString ToCrLf(std::string_view text) {
    SecureString out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else if (text[i] == '\n') {
            out += "\r\n";
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

void ImportNoteBuilder::AddLabelled(std::string_view label, std::string_view value) {
    if (!value.empty()) labelled.emplace_back(std::string(label), SecureString(value));
}

SecureString ImportNoteBuilder::Build() const {
    SecureString note;
    auto line = [&note](std::string_view text) {
        if (!note.empty()) note += "\r\n";
        note += ToCrLf(text);
    };
    if (!groupText.empty()) {
        SecureString group = "Group: ";
        group += groupText;
        line(group);
    }
    if (!notesText.empty()) line(notesText);
    for (const auto& [label, value] : labelled) {
        SecureString text(label);
        text += ": ";
        text += value;
        line(text);
    }
    return note;
}

ImportedCard LoginCard(const LoginEntry& entry) {
    ImportedCard card;
    card.origin = entry.origin;
    card.modifiedUtc = entry.modifiedUtc;
    card.fields = {entry.title, entry.url, entry.username, entry.password};
    ImportNoteBuilder note;
    const std::string_view group = WithoutRoot(entry.group);
    if (const auto code = CategoryCodeOfName(group)) {
        card.categoryCode = *code;
    } else {
        card.categoryCode = entry.url.empty() ? kMiscellaneousCode : kWwwSitesCode;
        note.SetGroup(group);
    }
    note.SetNotes(entry.notes);
    for (const auto& [label, value] : entry.extras) note.AddLabelled(label, value);
    card.note = note.Build();
    return card;
}

}  // namespace tessarel
