#include "BenchSupport.h"

#include "diary/journal/JournalFilter.h"

#include "DiaryGenerator.h"
#include "app/AppDelegate.h"
#include "core/Bundle.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/ManagedObjectModel.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/StoreOptions.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

namespace quillet::bench {

namespace {

[[noreturn]] void abortRun(const QString& why) {
    std::fprintf(stderr, "quillet_bench: %s\n", qPrintable(why));
    std::exit(1);
}

bool copyFresh(const QString& from, const QString& to) {
    for (const char* side : {"", "-wal", "-shm", ".lock"}) {
        QFile::remove(to + QLatin1String(side));
    }
    return QFile::copy(from, to);
}

} // namespace

Diary::~Diary() {
    // The list lets go of the records before the context frees them.
    controller.reset();
    context.reset();
    coordinator.reset();
}

std::unique_ptr<Diary> openStore(const QString& path) {
    auto diary = std::make_unique<Diary>();
    diary->coordinator =
        std::make_unique<PersistentStoreCoordinator>(ManagedObjectModel::mergedModelFromBundles());
    Error error;
    if (!diary->coordinator->addPersistentStore(NSSQLiteStoreType, QString(), path, {}, &error)) {
        abortRun(QStringLiteral("cannot open %1: %2").arg(path, error.localizedDescription));
    }
    diary->context =
        std::make_unique<ManagedObjectContext>(ManagedObjectContext::ConcurrencyType::MainQueue);
    diary->context->setPersistentStoreCoordinator(diary->coordinator.get());
    diary->context->setMergePolicy(ManagedObjectContext::MergePolicy::MergeByPropertyObjectTrump);
    return diary;
}

void attachController(Diary& diary, const QString& filterFormat) {
    diary.controller = std::make_unique<ArrayController>();
    diary.controller->setSortDescriptors({SortDescriptor(QStringLiteral("timeStamp"), false)});
    if (!filterFormat.isEmpty()) {
        diary.controller->setFilterPredicate(Predicate::parse(filterFormat));
    }
    diary.controller->setManagedObjectContext(diary.context.get());
}

std::unique_ptr<Diary> openDiary(const QString& path) {
    std::unique_ptr<Diary> diary = openStore(path);
    attachController(*diary);
    // Measurements start once the whole diary is in.
    diary->context->ensureAllLoaded();
    return diary;
}

QString fixture(int n) {
    QString error;
    const QString path = diarygen::cachedDiary(n, &error);
    if (path.isEmpty()) {
        abortRun(QStringLiteral("cannot generate a diary of %1 entries: %2").arg(n).arg(error));
    }
    // A fixture left by an older build may no longer open; make it anew once.
    static std::set<int> checked;
    if (checked.insert(n).second) {
        auto coordinator = std::make_unique<PersistentStoreCoordinator>(
            ManagedObjectModel::mergedModelFromBundles());
        Error openError;
        if (!coordinator->addPersistentStore(NSSQLiteStoreType, QString(), path, {}, &openError)) {
            std::fprintf(stderr, "quillet_bench: regenerating %s (%s)\n", qPrintable(path),
                         qPrintable(openError.localizedDescription));
            coordinator.reset();
            for (const char* side : {"", "-wal", "-shm", ".lock"}) {
                QFile::remove(path + QLatin1String(side));
            }
            return fixture(n);
        }
    }
    return path;
}

QString workingCopy(int n) {
    const QString from = fixture(n);
    const QString to = diarygen::fixtureFolder() + QStringLiteral("/work-%1.sqlite").arg(n);
    if (!copyFresh(from, to)) {
        abortRun(QStringLiteral("cannot copy %1 to %2").arg(from, to));
    }
    return to;
}

Diary& sharedDiary(int n) {
    static std::map<int, std::unique_ptr<Diary>> open;
    std::unique_ptr<Diary>& diary = open[n];
    if (!diary) {
        diary = openDiary(fixture(n));
    }
    return *diary;
}

QString monthFormat(int monthTag, int color) {
    return JournalFilter::predicateFormat(QString(), color, monthTag);
}

QString searchFormat(const QString& text, int color) {
    return JournalFilter::predicateFormat(text, color, 0);
}

int newestMonth(Diary& diary) {
    int newest = 0;
    double newestTime = -1e300;
    for (ManagedObject* o : diary.context->registeredObjects()) {
        if (o->timeStampSeconds() > newestTime) {
            newestTime = o->timeStampSeconds();
            newest = o->monthTag();
        }
    }
    return newest;
}

int monthBefore(Diary& diary, int monthTag) {
    int best = 0;
    for (ManagedObject* o : diary.context->registeredObjects()) {
        if (o->monthTag() < monthTag && o->monthTag() > best) {
            best = o->monthTag();
        }
    }
    return best;
}

qint64 textBytes(Diary& diary) {
    qint64 bytes = 0;
    for (ManagedObject* o : diary.context->registeredObjects()) {
        bytes += o->entryText().toUtf8().size();
    }
    return bytes;
}

long residentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return 0;
}

QString runProbe(const QStringList& arguments) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(600000) || child.exitCode() != 0) {
        abortRun(QStringLiteral("probe %1 failed").arg(arguments.join(QLatin1Char(' '))));
    }
    return QString::fromLocal8Bit(child.readAllStandardOutput());
}

QMap<QString, double> probeValues(const QStringList& arguments) {
    QMap<QString, double> values;
    for (const QString& line : runProbe(arguments).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0) {
            values.insert(line.left(eq), line.mid(eq + 1).toDouble());
        }
    }
    return values;
}

bool runProbeMode(int argc, char** argv, int* exitCode) {
    if (argc < 3) {
        return false;
    }
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    QTextStream out(stdout);
    if (mode == QLatin1String("--probe-import") && argc >= 4) {
        *exitCode = runImportProbe(path, QString::fromLocal8Bit(argv[3]));
        return true;
    }
    if (mode == QLatin1String("--probe-store")) {
        const long before = residentKilobytes();
        std::unique_ptr<Diary> diary = openDiary(path); // with everything a search needs
        const long after = residentKilobytes();
        out << "rss_before_kb=" << before << "\nrss_after_kb=" << after
            << "\ntext_bytes=" << textBytes(*diary) << "\nentries=" << diary->controller->count()
            << "\n";
        *exitCode = 0;
        return true;
    }
    if (mode == QLatin1String("--probe-app")) {
        // The whole application on a copy of the diary in a home of its own.
        const QString store =
            QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + QStringLiteral("/Quillet2");
        QDir().mkpath(store);
        if (!copyFresh(path, store + QStringLiteral("/entries.sqlite"))) {
            abortRun(QStringLiteral("cannot copy %1").arg(path));
        }
        Bundle::mainBundle().setBundleName(QStringLiteral("Quillet2"));
        const long before = residentKilobytes();
        auto delegate = std::make_unique<AppDelegate>();
        delegate->loadInterface();
        delegate->window()->show();
        delegate->applicationDidFinishLaunching();
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
        }
        delegate->managedObjectContext()->ensureAllLoaded();
        const long after = residentKilobytes();
        out << "rss_before_kb=" << before << "\nrss_after_kb=" << after
            << "\nentries=" << delegate->managedObjectContext()->registeredObjects().size() << "\n";
        *exitCode = 0;
        return true;
    }
    return false;
}

} // namespace quillet::bench
