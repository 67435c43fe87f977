// File > Import...: cards from another password manager's or a browser's export, added to the
// active card file (or a new one) as one change that the next Save writes.

#include "CImportDlg.h"
#include "CMainFrame.h"
#include "cardstore/document/CTessarelDoc.h"
#include "core/FileReader.h"
#include "core/Win1252.h"
#include "exchange/CardImporter.h"
#include "exchange/CsvTable.h"
#include "framework/Application.h"
#include "framework/DialogHost.h"
#include "framework/Settings.h"
#include "resources/ResourceIds.h"
#include "cardstore/CategoryTable.h"
#include "views/CTessarelView.h"

namespace tessarel {
namespace {

// Exports of a person's passwords are small; this bound only keeps a wrong file from filling memory.
constexpr std::size_t kMaxSourceSize = std::size_t{256} << 20;
// Longer lists are cut in the message boxes; the count says how many there are.
constexpr std::size_t kListedLines = 15;

MessageAnswer Ask(const std::string& utf8, MessageButtons buttons, MessageIcon icon) {
    // Message texts are Windows-1252; names from the source that the set cannot hold show as "?"
    // here, and the lines name those characters by number.
    std::vector<char32_t> unshown;
    return Dialogs().ShowMessage(
        Message{Utf8ToWin1252Replacing(utf8, '?', unshown), ApplicationTitle().toStdString(), buttons, icon, MessageOwner::MainWindow});
}

std::string Listed(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size() && i < kListedLines; ++i) text += "\n  " + lines[i];
    if (lines.size() > kListedLines) text += "\n  ... and " + std::to_string(lines.size() - kListedLines) + " more";
    return text;
}

QStringList HeaderColumns(std::string_view text) {
    QStringList columns;
    const CsvTable table = CsvTable::Parse(text.substr(0, text.find_first_of("\r\n")));
    if (table.Rows().empty()) return columns;
    for (const auto& name : table.Rows().front().fields) columns << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    return columns;
}

// Text outside Windows-1252 and cards already present: the person decides; false when cancelled.
bool SettleQuestions(ImportPlan& plan, const std::vector<ImportedCard>& cards, const CCardFileData& target, ImportOptions& options) {
    if (plan.Refused()) {
        const MessageAnswer answer = Ask(std::to_string(plan.UnsupportedText().size()) +
                                             " entries hold characters that a card cannot hold (outside Windows-1252):" +
                                             Listed(plan.UnsupportedText()) +
                                             "\n\nReplace those characters with \"?\" (Yes), skip these entries (No), or import nothing (Cancel)?",
                                         MessageButtons::YesNoCancel, MessageIcon::Question);
        if (answer == MessageAnswer::Cancel) return false;
        options.unsupported = answer == MessageAnswer::Yes ? UnsupportedText::Replace : UnsupportedText::Skip;
        plan = ImportPlan::Make(cards, target, options);
    }
    if (!plan.Duplicates().empty()) {
        const MessageAnswer answer = Ask(std::to_string(plan.Duplicates().size()) +
                                             " entries are already in the card file (same category, name, address and user id):" +
                                             Listed(plan.Duplicates()) + "\n\nImport them again (Yes), skip them (No), or import nothing (Cancel)?",
                                         MessageButtons::YesNoCancel, MessageIcon::Question);
        if (answer == MessageAnswer::Cancel) return false;
        if (answer == MessageAnswer::Yes) {
            options.allowDuplicates = true;
            plan = ImportPlan::Make(cards, target, options);
        }
    }
    return true;
}

}  // namespace

void CMainFrame::RegisterImportCommand() { Register(CommandTable{CommandRow::Always(res::ImportCards, [this] { OnImport(); })}); }

void CMainFrame::OnImport() {
    const auto path = Dialogs().AskOpenFileName(FileDialogRequest{
        this, QStringLiteral("Import"), {}, {QStringLiteral("Exports (*.csv *.json)"), QStringLiteral("All Files (*)")}, {}, QStringLiteral("Import")});
    if (!path) return;
    SecureBytes bytes;
    const FileReadResult read = ReadWholeFile(path->toStdString(), kMaxSourceSize, bytes);
    if (read.status != ReadStatus::Ok) {
        Ask("Cannot open file " + path->toStdString() + ": " + (read.status == ReadStatus::TooLarge ? "the file is too large" : read.errorText),
            MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    CImportDlg dialog(this);
    dialog.fileName = *path;
    dialog.columns = HeaderColumns(text);
    dialog.format = GuessImportFormat(text);
    if (dialog.DoModal() != QDialog::Accepted) return;

    const ImportRead source = ReadImport(dialog.format, text, dialog.map);
    if (!source.error.empty()) {
        Ask(path->toStdString() + " cannot be imported as " + std::string(ImportFormatTitle(dialog.format)) + ": " + source.error +
                "\nNothing was imported.",
            MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    CTessarelDoc* doc = ActiveCardDocument();
    const CCardFileData empty;
    const CCardFileData& target = doc ? doc->Data() : empty;
    ImportOptions options{UnsupportedText::Refuse, false, ReadInt(setting::DateFormat)};
    ImportPlan plan = ImportPlan::Make(source.cards, target, options);
    if (!SettleQuestions(plan, source.cards, target, options)) return;

    std::string summary = "Import " + std::to_string(source.cards.size()) + " entries from " + path->toStdString() + " (" +
                          std::string(ImportFormatTitle(dialog.format)) + ")" + (doc ? "" : " into a new card file") + ":";
    for (const auto& line : plan.Summary()) summary += "\n" + line;
    if (plan.CardCount() == 0) {
        Ask(summary, MessageButtons::Ok, MessageIcon::Information);
        return;
    }
    if (Ask(summary, MessageButtons::OkCancel, MessageIcon::Question) != MessageAnswer::Ok) return;
    if (!doc) {
        if (auto* app = Application::Instance()) doc = dynamic_cast<CTessarelDoc*>(app->GetDocManager().OnFileNew());
        if (!doc) return;
    }
    plan.ApplyTo(doc->Data());
    doc->SetModifiedFlag();
    doc->UpdateAllViews(nullptr);
    // The first category that grew is selected, so the tree shows the new cards and the status
    // bar its counts.
    auto* tree = dynamic_cast<CTessarelView*>(doc->GetFirstView());
    for (int code = 0; tree && code < kCategoryCount; ++code) {
        if (plan.AddedIn(code) == 0) continue;
        if (QTreeWidgetItem* item = tree->FindCategoryItem(CategoryNameOf(code))) {
            tree->setCurrentItem(item);
            item->setExpanded(true);
        }
        int total = 0;
        for (int each = 0; each < kCategoryCount; ++each) total += doc->GetCategoryList(each)->GetCount();
        ShowCardCounts(doc->GetCategoryList(code)->GetCount(), 0, total);
        break;
    }
}

}  // namespace tessarel
