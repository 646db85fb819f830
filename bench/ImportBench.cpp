// The previous generation's diary coming in: the import at launch through the
// whole application (window shown, status box counting), and duplicate
// removal over a large diary. Both report how long the main thread was held
// at most, measured by a timer that should fire every 2 ms.
#include "BenchSupport.h"

#include "DiaryGenerator.h"
#include "app/AppDelegate.h"
#include "core/NotificationCenter.h"
#include "diary/Utility.h"
#include "diary/import/OldDataImporter.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace quillet::bench {
namespace {

constexpr int kTickMs = 2;

[[noreturn]] void abortRun(const QString& why) {
    std::fprintf(stderr, "quillet_bench: %s\n", qPrintable(why));
    std::exit(1);
}

void removeDiary(const QString& path) {
    for (const char* side : {"", "-wal", "-shm", ".lock"}) {
        QFile::remove(path + QLatin1String(side));
    }
}

// A previous-generation file of n rows, generated once into the fixture folder.
QString oldFixture(int n) {
    const QString path = diarygen::fixtureFolder() + QStringLiteral("/old-%1.sqlite").arg(n);
    if (QFileInfo::exists(path)) {
        return path;
    }
    QDir().mkpath(diarygen::fixtureFolder());
    const QString partial = path + QStringLiteral(".partial");
    QFile::remove(partial);
    diarygen::Options options;
    options.count = n;
    QString error;
    if (!diarygen::writeOldDiary(partial, options, &error) || !QFile::rename(partial, path)) {
        abortRun(QStringLiteral("cannot write %1: %2").arg(path, error));
    }
    return path;
}

// Runs the main event loop until one of the end notifications arrives, and
// answers the longest time the loop could not turn.
struct Run {
    bool succeeded = false;
    double seconds = 0;
    double longestStallMs = 0;
};

Run runUntil(const QString& success, const QString& failure, const std::function<void()>& start) {
    Run run;
    QEventLoop loop;
    NotificationCenter& center = NotificationCenter::defaultCenter();
    bool ended = false;
    auto end = [&](bool ok) {
        QMetaObject::invokeMethod(
            &loop,
            [&, ok] {
                run.succeeded = ok;
                ended = true;
                loop.quit();
            },
            Qt::QueuedConnection);
    };
    const int a = center.addObserver(success, nullptr, [&](const Notification&) { end(true); });
    const int b = center.addObserver(failure, nullptr, [&](const Notification&) { end(false); });
    QTimer ticker;
    ticker.setInterval(kTickMs);
    QElapsedTimer sinceTick;
    qint64 longest = 0;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });
    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    ticker.start();
    start();
    // What the start itself held the loop for (the launch) is not the run's.
    longest = 0;
    sinceTick.restart();
    if (!ended) {
        loop.exec();
    }
    run.seconds = double(clock.nsecsElapsed()) / 1e9;
    ticker.stop();
    center.removeObserver(a);
    center.removeObserver(b);
    run.longestStallMs = std::max(0.0, double(longest) / 1e6 - kTickMs);
    return run;
}

// The launch of a first-time Quillet2 user with the previous generation's
// diary of n rows: the window shows, the import runs with the status box
// counting, and ends with every entry saved.
void BM_ImportOldDiaryAtLaunch(benchmark::State& state) {
    const int n = int(state.range(0));
    const QString old = oldFixture(n);
    const QString data = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    const QString oldFolder = data + QStringLiteral("/QuilletMac");
    QDir().mkpath(oldFolder);
    QFile::remove(oldFolder + QStringLiteral("/Quillet.sqlite"));
    if (!QFile::copy(old, oldFolder + QStringLiteral("/Quillet.sqlite"))) {
        abortRun(QStringLiteral("cannot copy %1").arg(old));
    }
    const QString storeFolder = data + QStringLiteral("/Quillet2");
    QDir().mkpath(storeFolder);
    const QString store = storeFolder + QStringLiteral("/entries.sqlite");
    double longestStall = 0;
    double rows = 0;
    std::size_t imported = 0;
    for (auto _ : state) {
        state.PauseTiming();
        removeDiary(store);
        Utility::sharedUtility()->setIsOldDataImported(false);
        auto delegate = std::make_unique<AppDelegate>();
        delegate->loadInterface();
        delegate->window()->resize(1100, 760);
        delegate->window()->show();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        const Run run = runUntil(kOldDataDidImportSucess, kOldDataDidImportFail,
                                 [&] { delegate->applicationDidFinishLaunching(); });
        state.PauseTiming();
        if (!run.succeeded || !Utility::sharedUtility()->isOldDataImported()) {
            state.SkipWithError("the import failed");
            break;
        }
        longestStall = std::max(longestStall, run.longestStallMs);
        rows += n;
        imported = delegate->managedObjectContext()->registeredObjects().size();
        delegate.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["rows_per_s"] = benchmark::Counter(rows, benchmark::Counter::kIsRate);
    state.counters["entries"] = double(imported);
    state.counters["max_stall_ms"] = longestStall;
}
BENCHMARK(BM_ImportOldDiaryAtLaunch)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A diary of n entries of which every tenth identifier is there twice,
// made once into the fixture folder.
QString duplicatedFixture(int n) {
    const QString path = diarygen::fixtureFolder() + QStringLiteral("/duplicated-%1.sqlite").arg(n);
    if (QFileInfo::exists(path)) {
        return path;
    }
    const QString partial = path + QStringLiteral(".partial");
    removeDiary(partial);
    if (!QFile::copy(fixture(n - n / 10), partial)) {
        abortRun(QStringLiteral("cannot copy a fixture to %1").arg(partial));
    }
    {
        std::unique_ptr<Diary> diary = openStore(partial);
        const std::vector<ManagedObject*> entries = diary->context->registeredObjects();
        std::size_t total = entries.size();
        for (std::size_t i = 0; i < entries.size() && total < std::size_t(n); i += 9, ++total) {
            ManagedObject* copy = diary->context->insertNewObject(QStringLiteral("Entry"));
            copy->setValue(EntryKey::TimeStamp, entries[i]->timeStamp());
            copy->setValue(EntryKey::MonthTag, entries[i]->monthTag());
            copy->setValue(EntryKey::EntryText, entries[i]->entryText());
            copy->setValue(EntryKey::ColorTag, entries[i]->colorTag());
            copy->setValue(EntryKey::Uuid, entries[i]->uuid());
        }
        Error error;
        if (!diary->context->save(&error)) {
            abortRun(error.localizedDescription);
        }
    }
    QFile::remove(partial + QStringLiteral(".lock"));
    if (!QFile::rename(partial, path)) {
        abortRun(QStringLiteral("cannot rename %1").arg(partial));
    }
    return path;
}

// Duplicate removal over the whole diary, the entry list attached as in the
// window, ending with the deletions saved.
void BM_RemoveDuplicates(benchmark::State& state) {
    const int n = int(state.range(0));
    const QString source = duplicatedFixture(n);
    const QString path =
        diarygen::fixtureFolder() + QStringLiteral("/work-duplicated-%1.sqlite").arg(n);
    double longestStall = 0;
    std::size_t left = 0;
    for (auto _ : state) {
        state.PauseTiming();
        removeDiary(path);
        QFile::copy(source, path);
        std::unique_ptr<Diary> diary = openDiary(path);
        diary->controller->setFilterPredicate(
            Predicate::parse(monthFormat(newestMonth(*diary), 0)));
        state.ResumeTiming();
        const Run run = runUntil(kDuplicateCheckEndSuccess, kDuplicateCheckEndFail, [&] {
            OldDataImporter::sharedImporter()->asyncRemoveDuplicateWithManagedObjectContext(
                diary->context.get());
        });
        state.PauseTiming();
        if (!run.succeeded) {
            state.SkipWithError("the removal failed");
            break;
        }
        longestStall = std::max(longestStall, run.longestStallMs);
        left = diary->context->registeredObjects().size();
        diary.reset();
        state.ResumeTiming();
    }
    state.counters["entries_left"] = double(left);
    state.counters["max_stall_ms"] = longestStall;
}
BENCHMARK(BM_RemoveDuplicates)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace quillet::bench
