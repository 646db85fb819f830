// The same steps through the whole application: the delegate with its window
// shown (offscreen), each step followed by the events it causes (the list
// view laid out and painted), as a person at the keyboard would wait for.
#include "BenchSupport.h"

#include "DiaryGenerator.h"
#include "app/AppDelegate.h"
#include "core/IndexSet.h"
#include "store/ArrayController.h"
#include "store/ManagedObjectContext.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <benchmark/benchmark.h>

namespace quillet::bench {
namespace {

void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

std::unique_ptr<AppDelegate> launchOn(int n) {
    const QString folder =
        QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + QStringLiteral("/Quillet2");
    QDir().mkpath(folder);
    const QString store = folder + QStringLiteral("/entries.sqlite");
    for (const char* side : {"", "-wal", "-shm", ".lock"}) {
        QFile::remove(store + QLatin1String(side));
    }
    QFile::copy(fixture(n), store);
    auto delegate = std::make_unique<AppDelegate>();
    delegate->loadInterface();
    delegate->window()->resize(1100, 760);
    delegate->window()->show();
    delegate->applicationDidFinishLaunching();
    settle();
    // As a person would find it a moment after the window appears: with the
    // rest of a large diary, read beside the first screen, taken in.
    while (!delegate->managedObjectContext()->hasEverything()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    settle();
    return delegate;
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
}

void BM_AppSearchKeystroke(benchmark::State& state) {
    std::unique_ptr<AppDelegate> delegate = launchOn(int(state.range(0)));
    const QString word = diarygen::commonWord();
    int i = 0;
    for (auto _ : state) {
        delegate->searchField()->setText((i++ & 1) ? word.left(word.size() - 1) : word);
        settle();
    }
    delegate->searchField()->setText(word);
    settle();
    state.counters["listed"] = double(delegate->arrayController()->count());
}
BENCHMARK(BM_AppSearchKeystroke)->Apply(sizes);

// A word typed into the search field letter by letter, each letter until the
// list is shown: time per iteration is the whole word, ms_per_key one letter.
void BM_AppSearchTyping(benchmark::State& state) {
    std::unique_ptr<AppDelegate> delegate = launchOn(int(state.range(0)));
    const QString word = diarygen::commonWord();
    for (auto _ : state) {
        state.PauseTiming();
        delegate->searchField()->clear();
        settle();
        state.ResumeTiming();
        for (qsizetype i = 1; i <= word.size(); ++i) {
            delegate->searchField()->setText(word.left(i));
            settle();
        }
    }
    state.counters["ms_per_key"] = benchmark::Counter(
        double(word.size()) / 1000.0,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_AppSearchTyping)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first search after launch, which once paid for sorting the diary and
// for a month panel that restarted its collapse at every keystroke.
void BM_AppFirstSearch(benchmark::State& state) {
    const QString word = diarygen::commonWord();
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<AppDelegate> delegate = launchOn(int(state.range(0)));
        state.ResumeTiming();
        delegate->searchField()->setText(word.left(1));
        settle();
        state.PauseTiming();
        delegate.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AppFirstSearch)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_AppSwitchMonth(benchmark::State& state) {
    std::unique_ptr<AppDelegate> delegate = launchOn(int(state.range(0)));
    const int current = int(delegate->monthSelectionIndexs().firstIndex());
    const int other = current == 0 ? 1 : current - 1;
    int i = 0;
    for (auto _ : state) {
        delegate->setMonthSelectionIndexs(
            IndexSet::indexSetWithIndex(std::size_t((i++ & 1) ? other : current)));
        settle();
    }
}
BENCHMARK(BM_AppSwitchMonth)->Apply(sizes);

} // namespace
} // namespace quillet::bench
