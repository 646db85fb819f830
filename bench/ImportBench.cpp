// The previous generation's diary coming in: the import at launch through the
// whole application (window shown, status box counting), and duplicate
// removal over a large diary. Both report how long the main thread was held
// at most, measured by a timer that should fire every 2 ms.
#include "BenchSupport.h"

#include "DiaryGenerator.h"
#include "app/AppDelegate.h"
#include "core/Bundle.h"
#include "core/NotificationCenter.h"
#include "diary/Utility.h"
#include "diary/export/JsonExporter.h"
#include "diary/import/DiaryImport.h"
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
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTextStream>
#include <QTimeZone>
#include <QTimer>
#include <QUuid>
#include <QtEndian>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

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

// Memory after a first launch imported the previous generation's file,
// against a launch of the diary that import made: each in a fresh process.
// The import should leave at most 15% more.
void BM_MemoryAfterImport(benchmark::State& state) {
    const QString old = oldFixture(int(state.range(0)));
    const QString made = QDir::tempPath() + QStringLiteral("/quillet-bench-imported.sqlite");
    QMap<QString, double> imported, relaunched;
    for (auto _ : state) {
        imported = probeValues({QStringLiteral("--probe-import"), old, made});
        relaunched = probeValues({QStringLiteral("--probe-app"), made});
    }
    removeDiary(made);
    const double after = imported.value(QStringLiteral("rss_after_kb")) / 1024.0;
    const double again = relaunched.value(QStringLiteral("rss_after_kb")) / 1024.0;
    state.counters["imported_rss_MB"] = after;
    state.counters["relaunched_rss_MB"] = again;
    state.counters["ratio"] = again > 0 ? after / again : 0;
    state.counters["ratio_target"] = 1.15;
}
BENCHMARK(BM_MemoryAfterImport)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

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

// Another diary of n entries, one a day back from 2025, in each format the
// import reads, written once into the fixture folder: 0 Almanah, 1
// RedNotebook, 2 jrnl text, 3 jrnl JSON, 4 Day One JSON, 5 this diary's JSON.
QString otherDiary(int format, int n) {
    const QString base =
        diarygen::fixtureFolder() + QStringLiteral("/other-%1-%2").arg(format).arg(n);
    const QString path = format == 0   ? base + QStringLiteral(".db")
                         : format == 1 ? base
                                       : base + QStringLiteral(".json");
    const QString made = base + QStringLiteral(".done");
    if (QFileInfo::exists(made)) {
        return format == 2 ? base + QStringLiteral(".txt") : path;
    }
    QDir().mkpath(base);
    const QDate last(2025, 12, 31);
    const auto text = [](int i) {
        return QStringLiteral(
                   "Entry %1: caf\u00e9, \"quotes\", \u05e9\u05dc\u05d5\u05dd \U0001F389 and a few "
                   "more words to "
                   "make it about as long as a short diary entry of an ordinary day.\nSecond line.")
            .arg(i);
    };
    QByteArray out;
    if (format == 0) {
        QFile::remove(path);
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &db);
        sqlite3_exec(db,
                     "CREATE TABLE entries (year INTEGER, month INTEGER, day INTEGER, content "
                     "TEXT, is_important INTEGER, "
                     "edited_year INTEGER, edited_month INTEGER, edited_day INTEGER, version "
                     "INTEGER DEFAULT 1, "
                     "PRIMARY KEY (year, month, day)); CREATE TABLE entry_tag (year INTEGER, month "
                     "INTEGER, day INTEGER, tag TEXT);"
                     "BEGIN",
                     nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO entries VALUES (?,?,?,?,0,?,?,?,1)", -1, &insert,
                           nullptr);
        for (int i = 0; i < n; ++i) {
            const QDate d = last.addDays(-i);
            const QByteArray xml = " <text_view_markup>\n <tags>\n </tags>\n<text>" +
                                   text(i).toHtmlEscaped().toUtf8() +
                                   "</text>\n</text_view_markup>\n";
            QByteArray blob("GTKTEXTBUFFERCONTENTS-0001");
            char length[4];
            qToBigEndian<quint32>(quint32(xml.size()), length);
            blob += QByteArray(length, 4) + xml;
            sqlite3_bind_int(insert, 1, d.year());
            sqlite3_bind_int(insert, 2, d.month());
            sqlite3_bind_int(insert, 3, d.day());
            sqlite3_bind_blob(insert, 4, blob.constData(), int(blob.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 5, d.year());
            sqlite3_bind_int(insert, 6, d.month());
            sqlite3_bind_int(insert, 7, d.day());
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    } else if (format == 1) {
        QMap<QString, QByteArray> months;
        for (int i = 0; i < n; ++i) {
            const QDate d = last.addDays(-i);
            months[d.toString(QStringLiteral("yyyy-MM"))] +=
                QByteArray::number(d.day()) + ":\n  text: \"" +
                text(i).toUtf8().replace('"', "\\\"").replace('\n', "\\n") + "\"\n  travel: null\n";
        }
        for (auto it = months.cbegin(); it != months.cend(); ++it) {
            QFile file(base + QLatin1Char('/') + it.key() + QStringLiteral(".txt"));
            file.open(QIODevice::WriteOnly);
            file.write(it.value());
        }
    } else if (format == 2) {
        for (int i = 0; i < n; ++i) {
            out += "[" + last.addDays(-i).toString(Qt::ISODate).toUtf8() + " 08:05] " +
                   text(i).toUtf8() + " @work\n\n";
        }
        QFile file(base + QStringLiteral(".txt"));
        file.open(QIODevice::WriteOnly);
        file.write(out);
    } else if (format == 3 || format == 4) {
        QJsonArray entries;
        for (int i = 0; i < n; ++i) {
            const QDate d = last.addDays(-i);
            const QStringList lines = text(i).split('\n');
            entries.append(
                format == 3
                    ? QJsonObject{{"title", lines[0]},
                                  {"body", lines[1]},
                                  {"date", d.toString(Qt::ISODate)},
                                  {"time", "08:05"},
                                  {"tags", QJsonArray{"@work"}},
                                  {"starred", i % 7 == 0}}
                    : QJsonObject{
                          {"uuid", QString::number(i)},
                          {"creationDate",
                           QDateTime(d, QTime(7, 5), QTimeZone::utc()).toString(Qt::ISODate)},
                          {"timeZone", "Europe/Berlin"},
                          {"text", text(i)},
                          {"tags", QJsonArray{"work"}},
                          {"starred", i % 7 == 0}});
        }
        out = QJsonDocument(QJsonObject{{"entries", entries}}).toJson();
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(out);
    } else {
        std::vector<ExportedEntry> entries;
        for (int i = 0; i < n; ++i) {
            entries.push_back({QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(),
                               QDateTime(last.addDays(-i), QTime(8, 5)), i % 6, text(i)});
        }
        QString error;
        JsonExporter::write(entries, path, &error);
    }
    QFile(made).open(QIODevice::WriteOnly);
    return format == 2 ? base + QStringLiteral(".txt") : path;
}

// Another diary of n entries coming into an empty diary, the entry list
// attached as in the window; then the same file again, which adds nothing.
void BM_ImportOtherDiary(benchmark::State& state) {
    const int format = int(state.range(0));
    const int n = int(state.range(1));
    const QString source = otherDiary(format, n);
    const QString path = diarygen::fixtureFolder() + QStringLiteral("/work-other.sqlite");
    double longestStall = 0;
    double again = 0;
    double entries = 0;
    for (auto _ : state) {
        state.PauseTiming();
        removeDiary(path);
        std::unique_ptr<Diary> diary = openDiary(path);
        state.ResumeTiming();
        ImportReport report;
        const auto start = [&] {
            DiaryImport::sharedImport()->start(diary->context.get(), source);
        };
        const int token = NotificationCenter::defaultCenter().addObserver(
            kDiaryDidImport, nullptr,
            [&](const Notification& note) { report = ImportReport::fromUserInfo(note.userInfo); });
        const Run run = runUntil(kDiaryDidImport, QStringLiteral("none"), start);
        state.PauseTiming();
        if (!report.succeeded() || report.imported != n) {
            NotificationCenter::defaultCenter().removeObserver(token);
            state.SkipWithError(qPrintable(report.summary()));
            break;
        }
        const Run second = runUntil(kDiaryDidImport, QStringLiteral("none"), start);
        NotificationCenter::defaultCenter().removeObserver(token);
        longestStall = std::max({longestStall, run.longestStallMs, second.longestStallMs});
        again = second.seconds;
        entries += n;
        diary.reset();
        state.ResumeTiming();
    }
    state.counters["entries_per_s"] = benchmark::Counter(entries, benchmark::Counter::kIsRate);
    state.counters["again_s"] = again;
    state.counters["max_stall_ms"] = longestStall;
}
BENCHMARK(BM_ImportOtherDiary)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {36500}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace

int runImportProbe(const QString& old, const QString& out) {
    const QString data = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    const QString oldFolder = data + QStringLiteral("/QuilletMac");
    const QString storeFolder = data + QStringLiteral("/Quillet2");
    QDir().mkpath(oldFolder);
    QDir().mkpath(storeFolder);
    const QString store = storeFolder + QStringLiteral("/entries.sqlite");
    removeDiary(store);
    QFile::remove(oldFolder + QStringLiteral("/Quillet.sqlite"));
    if (!QFile::copy(old, oldFolder + QStringLiteral("/Quillet.sqlite"))) {
        abortRun(QStringLiteral("cannot copy %1").arg(old));
    }
    Bundle::mainBundle().setBundleName(QStringLiteral("Quillet2"));
    Utility::sharedUtility()->setIsOldDataImported(false);
    auto delegate = std::make_unique<AppDelegate>();
    delegate->loadInterface();
    delegate->window()->show();
    const Run run = runUntil(kOldDataDidImportSucess, kOldDataDidImportFail,
                             [&] { delegate->applicationDidFinishLaunching(); });
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
    if (!run.succeeded) {
        abortRun(QStringLiteral("the import failed"));
    }
    const long after = residentKilobytes();
    delegate.reset();
    removeDiary(out);
    for (const char* side : {"", "-wal"}) {
        const QString from = store + QLatin1String(side);
        if (QFileInfo::exists(from) && !QFile::copy(from, out + QLatin1String(side))) {
            abortRun(QStringLiteral("cannot copy the imported diary to %1").arg(out));
        }
    }
    QTextStream(stdout) << "rss_after_kb=" << after << "\n";
    return 0;
}

} // namespace quillet::bench
