// What sealing the cloud container costs: a fresh machine taking a whole
// history (sealed, through the exchange, against reading, decoding and
// applying the same logs in plain text as before sealing), deriving the
// passphrase's key once, and an exchange round beside a synced link to
// /dev/urandom.
#include "BenchSupport.h"

#include "store/PersistentStore.h"
#include "store/SqliteDatabase.h"
#include "store/cloud/CloudTables.h"
#include "store/cloud/ContainerKey.h"
#include "store/cloud/LogExchange.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <ctime>
#include <map>
#include <sqlite3.h>

namespace quillet::bench {
namespace {

using namespace cloud;

// A container holding the logs of a writer with n entries (its baseline):
// sealed under `keys`, or in plain text when keys is null.
struct History {
    QTemporaryDir folder;
    QString container;
    std::shared_ptr<ContainerKey> keys;
    History(int n, bool sealed) : container(folder.path() + QStringLiteral("/container")) {
        QDir().mkpath(container);
        const QString writer = workingCopy(n);
        Error error;
        PersistentStore::open(writer, {}, &error); // to the current format
        if (sealed) {
            keys = std::make_shared<ContainerKey>(cheapestKeyCost());
            keys->offerPassphrase(QStringLiteral("bench"));
            LogExchange(writer, container, keys).writeBaseline(&error);
        } else {
            SqliteDatabase db;
            db.open(writer, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, &error);
            queueWholeDiary(db, &error);
            writePendingLogs(db,
                             container + QStringLiteral("/TransactionLogs/") +
                                 storeIdentifier(db).toString(QUuid::WithoutBraces),
                             &error);
        }
    }
    // A fresh, empty diary file.
    QString freshDiary(int round) const {
        const QString path = folder.path() + QStringLiteral("/fresh%1.sqlite").arg(round);
        Error error;
        PersistentStore::open(path, {}, &error);
        return path;
    }
};

// Before sealing, a fresh machine read each log, decoded it and applied it.
void applyPlainLogs(const QString& container, const QString& diary) {
    SqliteDatabase db;
    Error error;
    db.open(diary, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, &error);
    db.exec("PRAGMA synchronous = FULL", nullptr);
    QDir logs(container + QStringLiteral("/TransactionLogs"));
    for (const QString& writer : logs.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QDir dir(logs.filePath(writer));
        for (const QString& name :
             dir.entryList({QStringLiteral("*.qlog")}, QDir::Files, QDir::Name)) {
            QFile file(dir.filePath(name));
            file.open(QIODevice::ReadOnly);
            ChangeLog log;
            AppliedChanges changes;
            if (decodeChangeLog(file.readAll(), &log, nullptr) == DecodeStatus::Ok)
                applyChangeLog(db, log, &changes, &error);
        }
    }
}

void BM_FreshMachineTakesAHistoryOf20000Entries(benchmark::State& state) {
    const bool sealed = state.range(0) != 0;
    History history(20000, sealed);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString diary = history.freshDiary(++round);
        std::shared_ptr<ContainerKey> keys;
        if (sealed) {
            // The key as the keyring gives it: the derivation is measured apart.
            keys = std::make_shared<ContainerKey>(cheapestKeyCost());
            keys->offerKey(*history.keys->heldKey());
        }
        state.ResumeTiming();
        if (sealed) {
            AppliedChanges changes;
            LogExchange(diary, history.container, keys).exchange(&changes);
            if (changes.inserted.size() < 20000)
                state.SkipWithError("the history did not arrive whole");
        } else {
            applyPlainLogs(history.container, diary);
        }
    }
    state.SetLabel(sealed ? "sealed, through the exchange" : "plain, as before sealing");
}
BENCHMARK(BM_FreshMachineTakesAHistoryOf20000Entries)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// Argon2id at the cost a key is made with: once per machine (then the keyring).
void BM_UnwrapTheDiaryKeyFromThePassphrase(benchmark::State& state) {
    const QByteArray file =
        wrapDiaryKey(makeDiaryKey(), QStringLiteral("a passphrase"), defaultKeyCost());
    for (auto _ : state) {
        DiaryKey key;
        benchmark::DoNotOptimize(
            unwrapDiaryKey(file, QStringLiteral("a passphrase"), &key, nullptr));
    }
}
BENCHMARK(BM_UnwrapTheDiaryKeyFromThePassphrase)->Unit(benchmark::kMillisecond)->Iterations(3);

// A synced link to /dev/urandom under a log's name: what one round costs in
// CPU (the exchange rescans every 3 s, 20 rounds a minute).
void BM_ExchangeRoundBesideALinkToDevUrandom(benchmark::State& state) {
    History history(100, true);
    QDir logs(history.container + QStringLiteral("/TransactionLogs"));
    const QString writer =
        logs.filePath(logs.entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0));
    QFile::remove(writer + QStringLiteral("/0000000000000001.qlog"));
    QFile::link(QStringLiteral("/dev/urandom"), writer + QStringLiteral("/0000000000000001.qlog"));
    auto keys = std::make_shared<ContainerKey>(cheapestKeyCost());
    keys->offerKey(*history.keys->heldKey());
    LogExchange exchange(history.freshDiary(0), history.container, keys);
    double cpu = 0;
    for (auto _ : state) {
        timespec before{}, after{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &before);
        AppliedChanges changes;
        exchange.exchange(&changes);
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &after);
        cpu += double(after.tv_sec - before.tv_sec) + double(after.tv_nsec - before.tv_nsec) / 1e9;
    }
    state.counters["cpu_s_per_minute"] = cpu / double(state.iterations()) * 20;
}
BENCHMARK(BM_ExchangeRoundBesideALinkToDevUrandom)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
} // namespace quillet::bench
