// The card window on files of 10,000 and 100,000 cards spread over the fifteen categories: one
// update of all views (the tree rebuilds every card item), one selection change in the tree (the
// field list and the counts follow), and New Card through a scripted card dialog.
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

#include "app/CTessarelApp.h"
#include "framework/Dialog.h"
#include "framework/ScriptedDialogHost.h"
#include "mainframe/CChildFrame.h"
#include "mainframe/CMainFrame.h"
#include "mainframe/CTessarelDoc.h"
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

Program& ProgramWith(int count) {
    // One program at a time: the next size replaces it.
    static std::unique_ptr<Program> program;
    static int programCount = -1;
    if (programCount != count) {
        program.reset();
        program = std::make_unique<Program>(count);
        programCount = count;
    }
    return *program;
}

void BM_UpdateAllViews(benchmark::State& state) {
    Program& program = ProgramWith(static_cast<int>(state.range(0)));
    for (auto _ : state) program.doc->UpdateAllViews(nullptr);
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

void BM_NewCard(benchmark::State& state) {
    Program& program = ProgramWith(static_cast<int>(state.range(0)));
    program.tree->setCurrentItem(program.tree->GetCategoryItem(7));
    for (auto _ : state) {
        program.dialogs.RunDialog([](Dialog&) { return int(QDialog::Accepted); });
        program.app->ExecuteCommand(res::NewCard);
    }
    state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_UpdateAllViews)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectionChange)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NewCard)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

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
    return 0;
}
