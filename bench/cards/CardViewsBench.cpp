// The card window on files of 10,000, 100,000 and 1,000,000 cards spread over the fifteen
// categories: one update of all views with nothing changed since the last (the tree sees that from
// the shown change count alone), one update after a change that moved the count but left every
// name as it was (the tree checks every item against its card and keeps it), one update after
// every list changed (the tree makes every card item
// again, as after opening a file), one selection change in
// the tree (the field list and the counts follow), and the card commands New Card, Edit Card,
// Delete Card, Cut and Paste through scripted dialogs (they change one tree item in place).
// Last, opening an encrypted card file of 1,000,000 cards through the program's Open, with the
// heap the open document keeps per card (cards, tree items and all).
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <QFileInfo>
#include <QLineEdit>
#include <cstdlib>
#include <malloc.h>

#include <memory>

#include "app/CTessarelApp.h"
#include "cardstore/CCardList.h"
#include "cardstore/CardFileFormat.h"
#include "cardstore/CategoryTable.h"
#include "core/UserInterface.h"
#include "framework/Dialog.h"
#include "framework/ScriptedDialogHost.h"
#include "framework/ChildFrame.h"
#include "framework/CommandIds.h"
#include "mainframe/CChildFrame.h"
#include "mainframe/CMainFrame.h"
#include "cardstore/document/CTessarelDoc.h"
#include "resources/ResourceIds.h"
#include "views/CTessarelView.h"

namespace tessarel {
namespace {

// One running program with one card window holding `count` cards.
struct Program {
    QTemporaryDir folder;
    ScriptedDialogHost dialogs;
    std::unique_ptr<CTessarelApp> app = std::make_unique<CTessarelApp>();
    CTessarelDoc* doc = nullptr;
    CTessarelView* tree = nullptr;

    explicit Program(int count) {
        app->SetDataHome(folder.filePath("data"));
        app->InitInstance({QStringLiteral("/Embedding")});
        doc = dynamic_cast<CTessarelDoc*>(app->GetDocManager().OnFileNew());
        for (int i = 0; i < count; ++i) {
            auto card = std::make_unique<CCard>();
            card->SetFieldText1("card " + std::to_string((i * 7919) % count));
            card->SetFieldText4("password");
            card->SetCategoryCode(static_cast<std::uint8_t>(i % 15));
            doc->Data().PlaceCard(std::move(card));
        }
        doc->UpdateAllViews(nullptr);
        tree = dynamic_cast<CChildFrame*>(app->MainFrame()->GetActiveChild())->TreeView();
        QCoreApplication::processEvents();
    }
    ~Program() {
        doc->SetModifiedFlag(false);
        app->GetDocManager().CloseAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app.reset();
    }
};

// One program at a time: the next size replaces it. Released before the application object goes.
std::unique_ptr<Program> running;
int runningCount = -1;

Program& ProgramWith(int count) {
    if (runningCount != count) {
        running.reset();
        running = std::make_unique<Program>(count);
        runningCount = count;
    }
    return *running;
}

void BM_UpdateAllViews(benchmark::State& state) {
    Program& program = ProgramWith(static_cast<int>(state.range(0)));
    for (auto _ : state) program.doc->UpdateAllViews(nullptr);
    state.SetComplexityN(state.range(0));
}

// A card's name set to what it already is: the count moves, so every item is checked and kept.
void BM_CheckAllViews(benchmark::State& state) {
    Program& program = ProgramWith(static_cast<int>(state.range(0)));
    CCard* card = program.doc->GetCategoryList(0)->GetAt(0);
    const std::string name(card->GetFieldText1());
    for (auto _ : state) {
        card->SetFieldText1(name);
        program.doc->UpdateAllViews(nullptr);
    }
    state.SetComplexityN(state.range(0));
}

// Swaps the first two cards of `list`: the same cards, in another list order.
void SwapFirstTwo(CCardList& list) {
    if (list.GetCount() < 2) return;
    std::unique_ptr<CCard> first = list.SetAt(nullptr, 0);
    first = list.SetAt(std::move(first), 1);
    list.SetAt(std::move(first), 0);
}

void BM_RebuildAllViews(benchmark::State& state) {
    Program& program = ProgramWith(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        for (int code = 0; code < kCategoryCount; ++code) SwapFirstTwo(*program.doc->GetCategoryList(code));
        state.ResumeTiming();
        program.doc->UpdateAllViews(nullptr);
    }
    state.SetComplexityN(state.range(0));
}

void BM_SelectionChange(benchmark::State& state) {
    Program& program = ProgramWith(static_cast<int>(state.range(0)));
    QTreeWidgetItem* first = program.tree->GetCategoryItem(0)->child(0);
    QTreeWidgetItem* second = program.tree->GetCategoryItem(14)->child(0);
    bool flip = false;
    for (auto _ : state) {
        program.tree->setCurrentItem(flip ? first : second);
        flip = !flip;
    }
    state.SetComplexityN(state.range(0));
}

// The card commands work on the active view; the tree is made the active one, as a click does.
void ActivateTree(Program& program) {
    if (auto* child = program.app->MainFrame()->GetActiveChild()) child->SetActiveView(program.tree);
}

void SelectFirstCardOf(Program& program, int code) {
    QTreeWidgetItem* category = program.tree->GetCategoryItem(code);
    program.tree->setCurrentItem(category);
    program.tree->setCurrentItem(category->child(0));
}

void BM_NewCard(benchmark::State& state) {
    Program& program = ProgramWith(static_cast<int>(state.range(0)));
    ActivateTree(program);
    program.tree->setCurrentItem(program.tree->GetCategoryItem(7));
    for (auto _ : state) {
        program.dialogs.RunDialog([](Dialog&) { return int(QDialog::Accepted); });
        program.app->ExecuteCommand(res::NewCard);
    }
    state.SetComplexityN(state.range(0));
}

void BM_EditCard(benchmark::State& state) {
    Program& program = ProgramWith(static_cast<int>(state.range(0)));
    ActivateTree(program);
    SelectFirstCardOf(program, 8);
    int round = 0;
    for (auto _ : state) {
        // A new name each time: the renamed item waits for the next update to take its sorted place.
        const QString name = QStringLiteral("edited %1").arg(round++);
        program.dialogs.RunDialog([name](Dialog& dialog) {
            dialog.findChild<QLineEdit*>(QString::number(res::ControlCardName))->setText(name);
            return int(QDialog::Accepted);
        });
        program.app->ExecuteCommand(res::EditCard);
    }
    state.SetComplexityN(state.range(0));
}

void BM_DeleteCard(benchmark::State& state) {
    Program& program = ProgramWith(static_cast<int>(state.range(0)));
    ActivateTree(program);
    for (auto _ : state) {
        state.PauseTiming();
        SelectFirstCardOf(program, 9);
        program.dialogs.AnswerMessage(MessageAnswer::Ok);
        state.ResumeTiming();
        program.app->ExecuteCommand(res::DeleteCard);
    }
    state.SetComplexityN(state.range(0));
}

void BM_CutCard(benchmark::State& state) {
    Program& program = ProgramWith(static_cast<int>(state.range(0)));
    ActivateTree(program);
    for (auto _ : state) {
        state.PauseTiming();
        SelectFirstCardOf(program, 10);
        state.ResumeTiming();
        program.app->ExecuteCommand(cmd::EditCut);
    }
    state.SetComplexityN(state.range(0));
}

void BM_PasteCard(benchmark::State& state) {
    Program& program = ProgramWith(static_cast<int>(state.range(0)));
    ActivateTree(program);
    for (auto _ : state) {
        state.PauseTiming();
        SelectFirstCardOf(program, 11);
        program.app->ExecuteCommand(cmd::EditCopy);
        program.tree->setCurrentItem(program.tree->GetCategoryItem(12));
        state.ResumeTiming();
        program.app->ExecuteCommand(cmd::EditPaste);
    }
    state.SetComplexityN(state.range(0));
}

// Bytes the heap hands out at the moment: what an open document keeps, whatever the allocator kept
// from earlier benchmarks.
double HeapBytesInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks) + static_cast<double>(info.hblkhd);
}

// Opens an encrypted card file of `count` cards through the document manager, as File Open does:
// the password dialog, reading, deciphering, the cards, the window and its tree.
void BM_OpenEncryptedFile(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    Program& program = ProgramWith(0);  // the program of the other benchmarks, emptied
    const QString path = program.folder.filePath(QStringLiteral("cards.qde"));
    {
        CCardFileData data;
        data.encryptionMode = 1;
        data.encryptionPassword.assign("benchmark password");
        for (int i = 0; i < count; ++i) {
            auto card = std::make_unique<CCard>();
            card->SetFieldText1("card " + std::to_string((i * 7919) % count));
            card->SetFieldText2("https://www.example-" + std::to_string(i) + ".org/login/");
            card->SetFieldText3("user.name" + std::to_string(i) + "@example.org");
            card->SetFieldText4("password");
            card->SetCategoryCode(static_cast<std::uint8_t>(i % 15));
            data.PlaceCard(std::move(card));
        }
        struct Quiet : UserInterface {
            MessageAnswer ShowMessage(const Message&) override { return MessageAnswer::Ok; }
            std::optional<std::string> AskPassword(const std::string&) override { return std::nullopt; }
        } ui;
        SaveCardFile(data, path.toStdString(), ui);
    }
    double perCard = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const double before = HeapBytesInUse();
        program.dialogs.RunDialog([](Dialog& dialog) {
            dialog.findChild<QLineEdit*>(QString::number(res::ControlDecryptPassword))->setText(QStringLiteral("benchmark password"));
            return int(QDialog::Accepted);
        });
        state.ResumeTiming();
        Document* opened = program.app->GetDocManager().OpenDocumentFile(path);
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (!opened) state.SkipWithError("the file did not open");
        perCard = (HeapBytesInUse() - before) / count;
        if (opened) opened->OnCloseDocument();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["heap_per_card_B"] = perCard;
    state.counters["file_MiB"] = static_cast<double>(QFileInfo(path).size()) / (1 << 20);
}

BENCHMARK(BM_UpdateAllViews)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CheckAllViews)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildAllViews)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectionChange)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NewCard)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditCard)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteCard)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_CutCard)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_PasteCard)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_OpenEncryptedFile)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace tessarel

int main(int argc, char** argv) {
    QTemporaryDir config;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    tessarel::running.reset();
    return 0;
}
