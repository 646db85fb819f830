// Throughput of the text and date helpers that run once per entry.
#include "DiaryGenerator.h"

#include "core/DateFormatter.h"
#include "core/TextFolder.h"
#include "core/TextMatch.h"
#include "diary/Utility.h"

#include <QDate>
#include <QTime>
#include <benchmark/benchmark.h>
#include <vector>

namespace quillet::bench {
namespace {

void BM_FoldEntryText(benchmark::State& state) {
    diarygen::Options options;
    options.count = 2000;
    diarygen::EntrySource source(options);
    std::vector<QString> texts;
    while (!source.atEnd()) {
        texts.push_back(source.next().text);
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (const QString& text : texts) {
            bytes += TextFolder::fold(text).size();
        }
    }
    state.SetBytesProcessed(qint64(bytes));
}
BENCHMARK(BM_FoldEntryText)->Unit(benchmark::kMillisecond);

// A list row's snippet: the ordinary entries a screen of rows shows (arg 0),
// and the worst row, a match at the end of a 5 MB entry (arg 1).
void BM_SearchSnippet(benchmark::State& state) {
    std::vector<QString> texts;
    if (state.range(0) == 0) {
        diarygen::Options options;
        options.count = 20;
        diarygen::EntrySource source(options);
        while (!source.atEnd()) {
            texts.push_back(source.next().text + QStringLiteral(" Caf\u00e9 au lait"));
        }
    } else {
        texts.push_back(QStringLiteral("words and more words, ").repeated(5 * 1024 * 1024 / 22) +
                        QStringLiteral("Caf\u00e9 au lait"));
    }
    const std::string needle = TextFolder::fold(QStringLiteral("cafe au"));
    for (auto _ : state) {
        for (const QString& text : texts) {
            benchmark::DoNotOptimize(TextMatch::snippet(text, needle).matchStart);
        }
    }
}
BENCHMARK(BM_SearchSnippet)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

std::vector<QDateTime> hourlyDates() {
    std::vector<QDateTime> dates;
    dates.reserve(100000);
    const qint64 start = QDateTime(QDate(2012, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    for (qint64 i = 0; i < 100000; ++i) {
        dates.push_back(QDateTime::fromMSecsSinceEpoch(start + i * 3'600'000, Qt::UTC));
    }
    return dates;
}

void BM_Format100000Dates(benchmark::State& state) {
    DateFormatter formatter(QStringLiteral("en_US_POSIX"));
    const std::vector<QDateTime> dates = hourlyDates();
    for (auto _ : state) {
        qsizetype total = 0;
        for (const QDateTime& date : dates) {
            formatter.setDateFormat(QStringLiteral("yyyyMM"));
            total += formatter.stringFromDate(date).size();
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_Format100000Dates)->Unit(benchmark::kMillisecond);

// What every new or re-dated entry pays for its month tag.
void BM_MonthTagFor100000Dates(benchmark::State& state) {
    Utility* utility = Utility::sharedUtility();
    const std::vector<QDateTime> dates = hourlyDates();
    for (auto _ : state) {
        qint64 total = 0;
        for (const QDateTime& date : dates) {
            total += utility->monthTagForDate(date);
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_MonthTagFor100000Dates)->Unit(benchmark::kMillisecond);

// What the list pays for each row it paints: the entry's time in the user's format.
void BM_RowTimeFor1000Entries(benchmark::State& state) {
    Utility* utility = Utility::sharedUtility();
    const std::vector<QDateTime> dates = hourlyDates();
    for (auto _ : state) {
        qsizetype total = 0;
        for (std::size_t i = 0; i < 1000; ++i) {
            total += utility->stringOfTimeWithSystemFormat(dates[i]).size();
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_RowTimeFor1000Entries)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quillet::bench
