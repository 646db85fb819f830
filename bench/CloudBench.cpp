// The cloud exchange at scale: applying another machine's log into a large
// diary, and the time from another machine's log appearing in the container
// to the open diary holding its entry.
#include "BenchSupport.h"

#include "core/Bundle.h"
#include "core/NotificationCenter.h"
#include "diary/DiaryStore.h"
#include "diary/StoreLocations.h"
#include "diary/Utility.h"
#include "store/ManagedObjectContext.h"
#include "store/PersistentStore.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"
#include "store/cloud/CloudTables.h"
#include "store/cloud/ContainerKey.h"
#include "store/cloud/LogExchange.h"
#include "store/cloud/SealedFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
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

// Sets variables for the benchmark's lifetime and puts the old values back.
class EnvironmentScope {
public:
    void set(const char* name, const QString& value) {
        old_.emplace_back(name, qEnvironmentVariableIsSet(name)
                                    ? std::optional<QByteArray>(qgetenv(name))
                                    : std::nullopt);
        qputenv(name, value.toUtf8());
    }
    ~EnvironmentScope() {
        for (auto it = old_.rbegin(); it != old_.rend(); ++it) {
            if (it->second)
                qputenv(it->first, *it->second);
            else
                qunsetenv(it->first);
        }
    }

private:
    std::vector<std::pair<const char*, std::optional<QByteArray>>> old_;
};

// Runs the main thread's events until `done` holds; false after 30 s.
bool spinUntil(const std::function<bool()>& done) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > 30000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QThread::usleep(200);
    }
    return true;
}

// A diary of n entries open with the cloud options, as on a signed-in
// machine. Each round another writer's log of one new entry is renamed into
// its folder in the container, the way a sync engine finishes a copy; timed
// until the diary's merge has posted "RefreshAllViews" and the context
// holds the entry. The exchange's file-system watcher brings it in, not the
// rescan, which comes only every few seconds.
void BM_LogAppearingToListUpdated(benchmark::State& state) {
    const int n = int(state.range(0));
    QTemporaryDir home;
    EnvironmentScope env;
    env.set("HOME", home.path());
    env.set("XDG_DATA_HOME", home.path() + QStringLiteral("/data"));
    env.set("XDG_CONFIG_HOME", home.path() + QStringLiteral("/config"));
    env.set("XDG_CACHE_HOME", home.path() + QStringLiteral("/cache"));
    env.set("QUILLET_CLOUD_ROOT", home.path() + QStringLiteral("/cloud"));
    // The container is sealed under a key made from this passphrase, at the
    // least cost; the other machine's logs are sealed under the same key.
    QFile passphrase(home.path() + QStringLiteral("/passphrase"));
    if (!passphrase.open(QIODevice::WriteOnly) || passphrase.write("a bench passphrase\n") <= 0) {
        state.SkipWithError("cannot write the passphrase");
        return;
    }
    passphrase.close();
    env.set("QUILLET_CLOUD_PASSPHRASE_FILE", passphrase.fileName());
    const QString oldBundle = Bundle::mainBundle().bundleName();
    Bundle::mainBundle().setBundleName(QStringLiteral("Quillet2"));
    const StoreLocations& locations = Utility::sharedUtility()->storeLocations();
    const QString container =
        home.path() + QStringLiteral("/cloud/") + locations.ubiquityContainerIdentifier();
    QDir().mkpath(container + QStringLiteral("/.nosync"));
    QFile marker(container + QStringLiteral("/.nosync/entries.sqlite"));
    if (!marker.open(QIODevice::WriteOnly) || marker.write("the cloud copy") <= 0 ||
        !QDir().mkpath(home.path() + QStringLiteral("/data/Quillet2")) ||
        !QFile::copy(workingCopy(n),
                     home.path() + QStringLiteral("/data/Quillet2/entries.sqlite"))) {
        state.SkipWithError("cannot set up the signed-in home");
        Bundle::mainBundle().setBundleName(oldBundle);
        return;
    }
    marker.close();
    cloud::ContainerKey::setDefaultCost(cloud::cheapestKeyCost());
    {
        QObject window;
        DiaryStore diary(&locations, &window);
        ManagedObjectContext* context = diary.managedObjectContext();
        int refreshes = 0;
        const int observer = NotificationCenter::defaultCenter().addObserver(
            QStringLiteral("RefreshAllViews"), &window, [&](const Notification&) { ++refreshes; });
        // The diary's own first log, every entry it held, goes out first.
        const QString logs = container + QStringLiteral("/TransactionLogs");
        spinUntil([&] {
            for (const QString& writer : QDir(logs).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                if (!QDir(logs + QLatin1Char('/') + writer)
                         .entryList({QStringLiteral("*.qlog")})
                         .isEmpty())
                    return true;
            return false;
        });
        const std::optional<cloud::DiaryKey> key =
            cloud::ContainerKey::forContainer(container)->heldKey();
        if (!key) {
            // A benchmark skipped before its loop never enters it: *key below is not reached.
            state.SkipWithError("the container was not sealed");
        }
        const QUuid writer = QUuid::createUuid();
        const QString folder = logs + QLatin1Char('/') + writer.toString(QUuid::WithoutBraces);
        QDir().mkpath(folder);
        // The exchange starts watching a writer's folder once it has seen it.
        QElapsedTimer settle;
        settle.start();
        spinUntil([&] { return settle.elapsed() > 1000; });
        quint64 clock = quint64(QDateTime::currentMSecsSinceEpoch() + 86'400'000) << 16;
        quint64 sequence = 0;
        for (auto _ : state) {
            cloud::ChangeLog log;
            log.writer = writer;
            log.sequence = ++sequence;
            cloud::EntryState e;
            e.uuid = QStringLiteral("BENCH-ARRIVAL-%1").arg(sequence);
            e.hasText = true;
            e.entryText = QByteArray("written on another machine");
            e.text = e.color = e.moment = cloud::Stamp{++clock, writer};
            e.textTimeStamp = e.timeStamp = 1330956429;
            e.textMonthTag = e.monthTag = 201203;
            e.hasTimeStamp = true;
            log.entries.push_back(e);
            const QString path = folder + QLatin1Char('/') + cloud::changeLogFileName(sequence);
            QFile partial(path + QStringLiteral(".part.nosync"));
            if (!partial.open(QIODevice::WriteOnly) ||
                partial.write(cloud::seal(*key, cloud::SealedKind::Log, writer, sequence,
                                          cloud::encodeChangeLog(log))) < 0) {
                state.SkipWithError("cannot write the log");
                break;
            }
            partial.close();
            const int before = refreshes;
            QElapsedTimer timer;
            timer.start();
            QFile::rename(partial.fileName(), path);
            if (!spinUntil([&] {
                    return refreshes > before && !context->objectsWithUuid(e.uuid).empty();
                })) {
                state.SkipWithError("the entry did not arrive within 30 s");
                break;
            }
            state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        }
        NotificationCenter::defaultCenter().removeObserver(observer);
    }
    cloud::ContainerKey::setDefaultCost(cloud::defaultKeyCost());
    Bundle::mainBundle().setBundleName(oldBundle);
}
BENCHMARK(BM_LogAppearingToListUpdated)
    ->Arg(1000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);

// One entry saved automatically 10,000 times on a laptop (each save a log,
// as the exchange writes one per round while the user types), with a
// desktop applying them every tenth save: what the container holds at the
// end. Reported as "container_bytes"; the laptop's folded state (snapshot
// and unfolded logs) as "writer_bytes".
void BM_ContainerBytesAfter10000AutomaticSaves(benchmark::State& state) {
    const int saves = int(state.range(0));
    for (auto _ : state) {
        QTemporaryDir root;
        const QString container = root.path() + QStringLiteral("/container");
        QDir().mkpath(container);
        struct Machine {
            std::unique_ptr<PersistentStore> store;
            std::unique_ptr<cloud::LogExchange> exchange;
        };
        auto open = [&](const QString& name) {
            QDir().mkpath(root.path() + QLatin1Char('/') + name);
            const QString path =
                root.path() + QLatin1Char('/') + name + QStringLiteral("/entries.sqlite");
            Machine m;
            Error error;
            m.store = PersistentStore::open(path, {}, &error);
            m.exchange = std::make_unique<cloud::LogExchange>(path, container);
            return m;
        };
        Machine laptop = open(QStringLiteral("laptop")), desktop = open(QStringLiteral("desktop"));
        if (!laptop.store || !desktop.store) {
            state.SkipWithError("cannot open the diaries");
            return;
        }
        cloud::AppliedChanges ignored;
        laptop.exchange->exchange(&ignored);
        desktop.exchange->exchange(&ignored);
        EntryValues v;
        v.uuid = QStringLiteral("6A1E0A4C-0000-4B7A-8C3D-00000000BEEF");
        v.colorTag = 1;
        v.monthTag = 201203;
        v.timeStamp = 1330956429;
        v.hasTimeStamp = true;
        std::vector<qint64> keys;
        for (int save = 1; save <= saves; ++save) {
            v.entryText =
                QByteArray("Dear diary, today I typed and typed; save ") + QByteArray::number(save);
            PersistentStore::Changes changes;
            if (keys.empty()) {
                changes.inserted.push_back(&v);
            } else {
                changes.updated.emplace_back(keys.front(), &v, entryKeyBit(EntryKey::EntryText));
            }
            Error error;
            if (!laptop.store->save(changes, keys.empty() ? &keys : nullptr, &error)) {
                state.SkipWithError(qPrintable(error.localizedDescription));
                return;
            }
            laptop.exchange->exchange(&ignored);
            if (save % 10 == 0)
                desktop.exchange->exchange(&ignored);
        }
        desktop.exchange->exchange(&ignored);
        laptop.exchange->exchange(&ignored);
        qint64 bytes = 0, writer = 0;
        QDirIterator it(container, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo file(it.next());
            bytes += file.size();
            // The desktop saved nothing: every log folder is the laptop's.
            if (file.absolutePath().contains(QStringLiteral("/TransactionLogs/")))
                writer += file.size();
        }
        state.counters["container_bytes"] = double(bytes);
        state.counters["writer_bytes"] = double(writer);
    }
}
BENCHMARK(BM_ContainerBytesAfter10000AutomaticSaves)
    ->Arg(10000)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

} // namespace
} // namespace quillet::bench
