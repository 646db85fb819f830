// The diary file at scale: opening it, saving one change, and the memory a
// loaded diary takes.
#include "BenchSupport.h"

#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/Predicate.h"

#include <QDateTime>
#include <benchmark/benchmark.h>

namespace quillet::bench {
namespace {

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

void BM_OpenStoreAndLoad(benchmark::State& state) {
    const QString path = workingCopy(int(state.range(0)));
    for (auto _ : state) {
        std::unique_ptr<Diary> diary = openStore(path);
        benchmark::DoNotOptimize(diary.get());
        state.PauseTiming();
        diary.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenStoreAndLoad)->Apply(sizes);

// Until a search can run: the folded texts read beside the main thread are in.
void BM_OpenStoreUntilSearchable(benchmark::State& state) {
    const QString path = workingCopy(int(state.range(0)));
    for (auto _ : state) {
        std::unique_ptr<Diary> diary = openStore(path);
        diary->context->ensureAllLoaded();
        state.PauseTiming();
        diary.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenStoreUntilSearchable)->Apply(sizes);

// Each save writes the one entry that changed, synced to disk.
void BM_SaveAfterEditingOneEntry(benchmark::State& state) {
    std::unique_ptr<Diary> diary = openDiary(workingCopy(int(state.range(0))));
    diary->controller->setFilterPredicate(Predicate::parse(monthFormat(newestMonth(*diary), 0)));
    const std::vector<ManagedObject*> listed = diary->controller->arrangedObjects();
    const QString base = listed.front()->entryText();
    int i = 0;
    for (auto _ : state) {
        ManagedObject* entry = listed[std::size_t(i) % listed.size()];
        entry->setValue(EntryKey::EntryText, base + QStringLiteral(" Edit %1.").arg(i++));
        Error error;
        if (!diary->context->save(&error)) {
            state.SkipWithError(qPrintable(error.localizedDescription));
            break;
        }
    }
}
BENCHMARK(BM_SaveAfterEditingOneEntry)->Apply(sizes);

void BM_SaveAfterCreatingOneEntry(benchmark::State& state) {
    std::unique_ptr<Diary> diary = openDiary(workingCopy(int(state.range(0))));
    const int month = newestMonth(*diary);
    diary->controller->setFilterPredicate(Predicate::parse(monthFormat(month, 0)));
    const QDateTime now = QDateTime::currentDateTime();
    int i = 0;
    for (auto _ : state) {
        ManagedObject* entry = diary->controller->newObject();
        entry->setValue(EntryKey::TimeStamp, now.addSecs(i++));
        entry->setValue(EntryKey::MonthTag, month);
        entry->setValue(EntryKey::ColorTag, 0);
        entry->setValue(EntryKey::EntryText, QString(QLatin1String("")));
        entry->setValue(EntryKey::Uuid, QStringLiteral("BENCH-%1").arg(i));
        diary->controller->addObject(entry);
        Error error;
        if (!diary->context->save(&error)) {
            state.SkipWithError(qPrintable(error.localizedDescription));
            break;
        }
    }
}
BENCHMARK(BM_SaveAfterCreatingOneEntry)->Apply(sizes);

// Measured in a fresh process each, so that nothing else loaded counts, on a
// copy: this process may hold the fixture open itself.
void BM_ResidentMemory(benchmark::State& state) {
    const QString path = workingCopy(int(state.range(0)));
    QMap<QString, double> store, app;
    for (auto _ : state) {
        store = probeValues({QStringLiteral("--probe-store"), path});
        app = probeValues({QStringLiteral("--probe-app"), path});
    }
    const double text = store.value(QStringLiteral("text_bytes")) / 1e6;
    const double loaded = store.value(QStringLiteral("rss_after_kb")) / 1024.0;
    const double whole = app.value(QStringLiteral("rss_after_kb")) / 1024.0;
    state.counters["text_MB"] = text;
    state.counters["store_rss_MB"] = loaded;
    state.counters["store_added_MB"] =
        loaded - store.value(QStringLiteral("rss_before_kb")) / 1024.0;
    state.counters["app_rss_MB"] = whole;
    state.counters["app_rss_per_text"] = text > 0 ? whole / text : 0;
}
BENCHMARK(BM_ResidentMemory)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quillet::bench
