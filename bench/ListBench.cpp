// The entry list at scale: what a month, a color or a search keystroke costs,
// measured through the calls the application delegate makes (the predicate
// text parsed, the list refiltered, a selection kept).
#include "BenchSupport.h"

#include "DiaryGenerator.h"
#include "core/IndexSet.h"
#include "store/ArrayController.h"
#include "store/ManagedObjectContext.h"
#include "store/Predicate.h"

#include <benchmark/benchmark.h>

namespace quillet::bench {
namespace {

void applyFormat(ArrayController& list, const QString& format) {
    list.setFilterPredicate(Predicate::parse(format));
    if (list.count() > 0 && list.selectionIndex() == IndexSet::NotFound) {
        list.setSelectionIndex(0);
    }
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
}

// Launch: the list, filtered to the newest month, takes in the whole diary
// and shows that month; then the first reload sets the same filter again.
void BM_FirstMonthListing(benchmark::State& state) {
    Diary& diary = sharedDiary(int(state.range(0)));
    const int month = newestMonth(diary);
    for (auto _ : state) {
        state.PauseTiming();
        diary.controller.reset();
        state.ResumeTiming();
        attachController(diary, monthFormat(month, 0));
        applyFormat(*diary.controller, monthFormat(month, 0));
    }
    state.counters["listed"] = double(diary.controller->count());
}
BENCHMARK(BM_FirstMonthListing)->Apply(sizes);

void BM_SwitchMonth(benchmark::State& state) {
    Diary& diary = sharedDiary(int(state.range(0)));
    const int months[2] = {newestMonth(diary), monthBefore(diary, newestMonth(diary))};
    std::size_t listed = 0;
    int i = 0;
    for (auto _ : state) {
        applyFormat(*diary.controller, monthFormat(months[i++ & 1], 0));
        listed += diary.controller->count();
    }
    state.counters["listed"] = double(listed) / double(state.iterations());
}
BENCHMARK(BM_SwitchMonth)->Apply(sizes);

void BM_SwitchColor(benchmark::State& state) {
    Diary& diary = sharedDiary(int(state.range(0)));
    const int month = newestMonth(diary);
    int color = 0;
    for (auto _ : state) {
        applyFormat(*diary.controller, monthFormat(month, color));
        color = (color + 1) % 6;
    }
}
BENCHMARK(BM_SwitchColor)->Apply(sizes);

// One keystroke in the search field: the last letter of the word typed, or
// taken away again; every keystroke searches all months.
void searchKeystroke(benchmark::State& state, const QString& word) {
    Diary& diary = sharedDiary(int(state.range(0)));
    const QString formats[2] = {searchFormat(word, 0), searchFormat(word.left(word.size() - 1), 0)};
    std::size_t listed = 0;
    int i = 0;
    for (auto _ : state) {
        const int which = i++ & 1;
        applyFormat(*diary.controller, formats[which]);
        if (which == 0) {
            listed = diary.controller->count();
        }
    }
    state.counters["listed"] = double(listed);
    applyFormat(*diary.controller, monthFormat(newestMonth(diary), 0));
}
void BM_SearchCommonWord(benchmark::State& state) {
    searchKeystroke(state, diarygen::commonWord());
}
void BM_SearchRareWord(benchmark::State& state) {
    searchKeystroke(state, diarygen::rareWord());
}
void BM_SearchAccentedWord(benchmark::State& state) {
    searchKeystroke(state, diarygen::accentedWord());
}
// A search may use a helper thread: the CPU column counts the whole process.
void searchSizes(benchmark::internal::Benchmark* b) {
    sizes(b);
    b->MeasureProcessCPUTime()->UseRealTime();
}
BENCHMARK(BM_SearchCommonWord)->Apply(searchSizes);
BENCHMARK(BM_SearchRareWord)->Apply(searchSizes);
BENCHMARK(BM_SearchAccentedWord)->Apply(searchSizes);

} // namespace
} // namespace quillet::bench
