#include "CardFileSession.h"

#include <QSettings>
#include <cstdio>
#include <iostream>

#include "cardstore/CardRecordWalk.h"
#include "core/Win1252.h"

namespace tessarel::cli {
namespace {

bool IsEncryptedSingleFile(const std::string& path) {
    return path.size() >= 3 && path.compare(path.size() - 3, 3, "~~~") == 0;
}

}  // namespace

std::unique_ptr<OpenedCardFile> OpenCardFile(const std::string& path, UserInterface& ui, int dateFormat, bool keepRecords) {
    if (IsEncryptedSingleFile(path)) {
        // The program switches to its file encryption view for these; there are no cards to read.
        std::cerr << path << " is an encrypted single file, not a card file (see decrypt-file)." << std::endl;
        return nullptr;
    }
    auto opened = std::make_unique<OpenedCardFile>();
    opened->data.dateFormat = dateFormat;
    if (keepRecords) {
        OpenedCardFile& file = *opened;
        file.data.takeRecords = [&file](std::span<const std::uint8_t> records, std::size_t slack, SecureBytes* owner) {
            if (owner != nullptr) {
                // The reader's whole buffer is taken over: no second copy of every plain card.
                const auto offset = static_cast<std::size_t>(records.data() - owner->data());
                file.records.swap(*owner);
                file.recordsView = std::span<const std::uint8_t>(file.records).subspan(offset, records.size());
            } else {
                file.records.assign(records.begin(), records.end());
                file.recordsView = file.records;
            }
            file.recordsSlack = slack;
            file.recordsKept = true;
        };
    }
    opened->result = LoadCardFile(opened->data, path, ui);
    opened->data.takeRecords = nullptr;
    if (!opened->result.ok) {
        ui.Tell("Failed to open document.");
        return nullptr;
    }
    return opened;
}

std::vector<const CCard*> CardsInSaveOrder(const CCardFileData& data) {
    std::vector<const CCard*> cards;
    for (int code = 0; code < kCategoryCount; ++code) {
        for (const auto& card : *data.GetCategoryList(code)) cards.push_back(card.get());
    }
    for (const auto& card : data.GetDeletedList()) cards.push_back(card.get());
    return cards;
}

void ForEachRecordInSaveOrder(const OpenedCardFile& file, const std::function<void(const CardRecordView&)>& visit) {
    if (file.recordsKept) {
        WalkRecordViewsInSaveOrder(file.recordsView, file.recordsSlack, visit);
        return;
    }
    for (const CCard* card : CardsInSaveOrder(file.data)) visit(CardRecordView::Of(*card));
}

int DateFormatSetting() {
    QSettings settings(QStringLiteral("Corvale"), QStringLiteral("Tessarel"));
    bool ok = false;
    const int value = settings.value(QStringLiteral("Internet Preferences/Date Format"), 0).toInt(&ok);
    return ok ? value : 0;
}

std::optional<std::string> ArgumentToCardText(const std::string& argument, std::string_view what) {
    char32_t bad = 0;
    auto bytes = Utf8ToWin1252(argument, &bad);
    if (!bytes) {
        std::cerr << "The " << what << " holds a character that Windows-1252 cannot hold (" << CodePointName(bad) << ")."
                  << std::endl;
    }
    return bytes;
}

std::string CodePointName(char32_t codePoint) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04lX", static_cast<unsigned long>(codePoint));
    return text;
}

}  // namespace tessarel::cli
