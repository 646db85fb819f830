// The cloud exchange at scale: applying another machine's log into a large diary.
#include "BenchSupport.h"

#include "store/PersistentStore.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"
#include "store/cloud/CloudTables.h"

#include <QDateTime>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace quillet::bench {
namespace {

// A log of 1,000 changes from a writer this diary has not seen: 600 text
// edits, 300 re-tags of entries it holds and 100 new entries, all newer than
// anything in it, applied in one transaction.
void BM_ApplyChangeLogOf1000Changes(benchmark::State& state) {
    const int n = int(state.range(0));
    const QString path = workingCopy(n);
    {
        Error error;
        if (!PersistentStore::open(path, {}, &error)) { // brought up to the current format once
            state.SkipWithError(qPrintable(error.localizedDescription));
            return;
        }
    }
    SqliteDatabase db;
    Error error;
    if (!db.open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, &error)) {
        state.SkipWithError(qPrintable(error.localizedDescription));
        return;
    }
    // The diary's own first log (every entry it held before it could log) is
    // written once beforehand: it is no part of applying another's.
    if (cloud::writePendingLogs(db, path + QStringLiteral(".logs"), &error) < 0) {
        state.SkipWithError(qPrintable(error.localizedDescription));
        return;
    }
    std::vector<QString> uuids;
    {
        SqliteStatement s(
            db.handle(),
            "SELECT uuid FROM entry WHERE uuid IS NOT NULL ORDER BY random() LIMIT 900");
        while (s.step() == SQLITE_ROW)
            uuids.push_back(s.columnText(0));
    }
    quint64 clock = quint64(QDateTime::currentMSecsSinceEpoch() + 86'400'000) << 16;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        cloud::ChangeLog log;
        log.writer = QUuid::createUuid();
        log.sequence = 1;
        for (int i = 0; i < 1000; ++i) {
            cloud::EntryState e;
            e.uuid = i < 900 && std::size_t(i) < uuids.size()
                         ? uuids[std::size_t(i)]
                         : QStringLiteral("BENCH-%1-%2").arg(round).arg(i);
            const cloud::Stamp now{++clock, log.writer};
            e.hasText = true;
            e.entryText =
                QByteArray("A change from another machine, round ") + QByteArray::number(round);
            e.textTimeStamp = e.timeStamp = 1330956429 + i;
            e.textMonthTag = e.monthTag = 201203;
            e.hasTimeStamp = true;
            e.colorTag = e.textColorTag = i % 6;
            if (i < 600 || i >= 900)
                e.text = now;
            if (i >= 600)
                e.color = now;
            if (i >= 900)
                e.moment = now;
            log.entries.push_back(e);
        }
        ++round;
        state.ResumeTiming();
        cloud::AppliedChanges changes;
        if (!cloud::applyChangeLog(db, log, &changes, &error)) {
            state.SkipWithError(qPrintable(error.localizedDescription));
            break;
        }
        benchmark::DoNotOptimize(changes.updated.size());
    }
}
BENCHMARK(BM_ApplyChangeLogOf1000Changes)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace quillet::bench
