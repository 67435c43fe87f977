// The quick filter and the Password Report window in the running program on 100,000 cards (the
// window shown offscreen). A keystroke is the text field's change through to the tree filtered
// and laid out again; "typing" steps through "site12" a letter at a time and back, "clear" is the
// restore of the whole tree when the field empties. The targets are under 50 ms a keystroke and
// under 2 s for the report window to open.
#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "app/CTessarelApp.h"
#include "framework/ScriptedDialogHost.h"
#include "mainframe/CChildFrame.h"
#include "mainframe/CMainFrame.h"
#include "mainframe/CPasswordReportDlg.h"
#include "cardstore/document/CTessarelDoc.h"
#include "mainframe/QuickFilterBar.h"
#include "cardstore/CardTime.h"
#include "MadeUpCards.h"
#include "views/CTessarelView.h"
#include "views/CardTreeFilter.h"

namespace tessarel {
namespace {

struct Program {
    QTemporaryDir folder;
    ScriptedDialogHost dialogs;
    std::unique_ptr<CTessarelApp> app = std::make_unique<CTessarelApp>();
    CTessarelDoc* doc = nullptr;
    QuickFilterBar* bar = nullptr;

    explicit Program(int count) {
        app->SetDataHome(folder.filePath("data"));
        app->InitInstance({QStringLiteral("/Embedding")});
        doc = dynamic_cast<CTessarelDoc*>(app->GetDocManager().OnFileNew());
        for (int i = 0; i < count; ++i) {
            auto card = std::make_unique<CCard>();
            card->SetTexts("card " + std::to_string((i * 7919) % count), "https://site" + std::to_string(i) + ".example/",
                           "user" + std::to_string(i % 977), "pw" + std::to_string(i % 5000) + "-Xq!", "", "", "");
            card->SetCategoryCode(static_cast<std::uint8_t>(i % 15));
            card->SetModified(CurrentCardTimeStamp() - static_cast<std::uint32_t>(i) * 600u);
            doc->Data().PlaceCard(std::move(card));
        }
        doc->UpdateAllViews(nullptr);
        app->MainFrame()->show();
        bar = app->MainFrame()->QuickFilterToolbar();
        QCoreApplication::processEvents();
    }
    ~Program() {
        bar->TextEdit()->clear();
        doc->SetModifiedFlag(false);
        app->GetDocManager().CloseAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app.reset();
    }
    void Type(const QString& text) {
        bar->TextEdit()->setText(text);
        QCoreApplication::processEvents();
    }
};

std::unique_ptr<Program> running;

Program& ProgramWith(int count) {
    if (!running) running = std::make_unique<Program>(count);
    return *running;
}

void BM_FilterKeystroke(benchmark::State& state) {
    Program& program = ProgramWith(static_cast<int>(state.range(0)));
    const QStringList steps = {"s", "si", "sit", "site", "site1", "site12", "site1", "site", "sit", "si"};
    int next = 0;
    for (auto _ : state) program.Type(steps[next++ % steps.size()]);
    // Outside the timed loop: the next benchmark starts from the whole tree.
    program.Type(QString());
}
BENCHMARK(BM_FilterKeystroke)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The filter's own work alone, without the layout the view does when events are next processed.
void BM_FilterApplyOnly(benchmark::State& state) {
    Program& program = ProgramWith(static_cast<int>(state.range(0)));
    CTessarelView* tree = CTessarelView::CardTreeOf(*program.doc);
    const QStringList steps = {"s", "si", "sit", "site", "site1", "site12", "site1", "site", "sit", "si"};
    int next = 0;
    for (auto _ : state) tree->QuickFilter().SetFilter(steps[next++ % steps.size()], false);
    tree->QuickFilter().Clear();
    QCoreApplication::processEvents();
}
BENCHMARK(BM_FilterApplyOnly)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first letter, which hides the most rows at once, and the clearing that shows them all again.
void BM_FilterFirstLetterAndClear(benchmark::State& state) {
    Program& program = ProgramWith(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        program.Type(QStringLiteral("x"));
        program.Type(QString());
    }
    state.counters["keystrokes"] = benchmark::Counter(static_cast<double>(state.iterations()) * 2.0);
}
BENCHMARK(BM_FilterFirstLetterAndClear)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first letter alone (the clearing untimed): the keystroke that hides the most rows.
void BM_FilterFirstLetter(benchmark::State& state) {
    Program& program = ProgramWith(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        program.Type(QStringLiteral("x"));
        state.PauseTiming();
        program.Type(QString());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FilterFirstLetter)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The report window's own cards: passwords as people have them (80% distinct), so the strength
// estimates cost what they would.
const CCardFileData& ReportCards(int count) {
    static CCardFileData data;
    if (data.GetCategoryList(0)->GetCount() == 0) bench::FillCards(data, count);
    return data;
}

// The window as the program opens it: the rows made without strengths, the window shown.
std::unique_ptr<CPasswordReportDlg> ShowReportWindow(PasswordReport& report, QWidget* parent) {
    auto dialog = std::make_unique<CPasswordReportDlg>(report, parent);
    dialog->Initialise();
    dialog->show();
    QCoreApplication::processEvents();
    return dialog;
}

// How far each report-window benchmark goes: the rows made without strengths and the window shown;
// the same until the last strength is in and the summary is final; or, as the anchor, the
// complete report made first (every estimate before the window), then shown, as the window was
// opened before it filled in while open.
enum class ReportWindowUntil { Shown, AllScoresIn, CompleteReportFirst };

void RunReportWindow(benchmark::State& state, ReportWindowUntil until) {
    Program& program = ProgramWith(static_cast<int>(state.range(0)));
    const CCardFileData& data = ReportCards(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        PasswordReport report = until == ReportWindowUntil::CompleteReportFirst ? PasswordReport::Make(data, CurrentCardTimeStamp())
                                                                               : PasswordReport::MakeWithoutStrength(data, CurrentCardTimeStamp());
        std::unique_ptr<CPasswordReportDlg> dialog = ShowReportWindow(report, program.app->MainFrame());
        if (until == ReportWindowUntil::AllScoresIn)
            while (dialog->Estimating()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        benchmark::DoNotOptimize(dialog->Table()->model()->rowCount());
        benchmark::DoNotOptimize(report.Summary().weak);
        state.PauseTiming();
        dialog.reset();
        state.ResumeTiming();
    }
}

void BM_PasswordReportWindowShown(benchmark::State& state) { RunReportWindow(state, ReportWindowUntil::Shown); }
BENCHMARK(BM_PasswordReportWindowShown)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Iterations(3);

void BM_PasswordReportWindowAllScoresIn(benchmark::State& state) { RunReportWindow(state, ReportWindowUntil::AllScoresIn); }
BENCHMARK(BM_PasswordReportWindowAllScoresIn)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Iterations(3);

void BM_PasswordReportCompleteThenWindow(benchmark::State& state) { RunReportWindow(state, ReportWindowUntil::CompleteReportFirst); }
BENCHMARK(BM_PasswordReportCompleteThenWindow)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Iterations(3);

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
