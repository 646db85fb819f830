#include "diary/import/OldDataImporter.h"

#include "core/Log.h"
#include "core/MainThread.h"
#include "core/Notices.h"
#include "core/NotificationCenter.h"
#include "core/TextFolder.h"
#include "diary/Utility.h"
#include "diary/import/ImportBatches.h"
#include "diary/import/OldDiaryReader.h"
#include "store/FetchRequest.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/UndoManager.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QTimeZone>
#include <algorithm>
#include <climits>
#include <cmath>
#include <thread>
#include <vector>

namespace quillet {

namespace {

// Copies go a share at a time, each share saved: as many as one save of
// about kSaveBudgetNs writes, following what the last saves took.
constexpr qint64 kSaveBudgetNs = 10'000'000;
constexpr int kFirstSave = 1000;
constexpr int kSmallestSave = 200;
constexpr int kLargestSave = 20000;

// The message bar's line for a failed import, withdrawn by one that succeeds.
const QString kOldDataTopic = QStringLiteral("old data import");

// Nothing but a finite moment within a few hundred thousand years has a
// calendar month; anything else reads as the time stamp 0, as NULL does.
QDateTime dateFromSeconds(double seconds) {
    if (!std::isfinite(seconds) || std::fabs(seconds) > 1e13) {
        seconds = 0;
    }
    return QDateTime::fromMSecsSinceEpoch(qint64(std::llround(seconds * 1000.0)), QTimeZone::utc());
}

// On the context's queue: adds the entry unless one with the identifier is
// there already (saved or not). The identifier is bound into the predicate
// as a value, so quotes and backslashes in it are only characters.
bool addEntryIfNew(ManagedObjectContext& context, PreparedEntry&& entry) {
    FetchRequest request;
    request.predicate = Predicate::equalTo(QStringLiteral("uuid"), entry.values.uuid.toString());
    Error error;
    const std::optional<std::vector<ManagedObject*>> found =
        context.executeFetchRequest(request, &error);
    if (!found) {
        Log::write(QStringLiteral("errpr:%1").arg(error.localizedDescription));
        return false;
    }
    if (!found->empty()) {
        return false;
    }
    entry.values.monthTag = Utility::sharedUtility()->monthTagForDate(entry.date);
    return context.insertNewObject(QStringLiteral("Entry"), std::move(entry.values)) != nullptr;
}

} // namespace

OldDataImporter* OldDataImporter::sharedImporter() {
    // Made on first use, on the main thread, and kept until the process ends.
    static OldDataImporter* shared = new OldDataImporter;
    return shared;
}

OldDataImporter::OldDataImporter() = default;

OldDataImporter::~OldDataImporter() = default;

ManagedObjectContext* OldDataImporter::managedObjectContext() const {
    return context_.data();
}

void OldDataImporter::setManagedObjectContext(ManagedObjectContext* context) {
    context_ = context;
}

QString OldDataImporter::oldDataPath() {
    const QString folder = Utility::sharedUtility()->applicationSupportFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/Quillet.sqlite");
}

void OldDataImporter::asyncImportWithManagedObjectContext(ManagedObjectContext* context) {
    start(context, &OldDataImporter::import);
}

void OldDataImporter::asyncRemoveDuplicateWithManagedObjectContext(ManagedObjectContext* context) {
    start(context, &OldDataImporter::removeDuplicate);
}

void OldDataImporter::start(ManagedObjectContext* context, Worker worker) {
    context_ = context;
    // Raised here, not by the worker, so that a second click that comes
    // before the worker is running cannot start another.
    bool idle = false;
    if (!context || !working_.compare_exchange_strong(idle, true)) {
        return;
    }
    // The shared services belong to the main thread; made here if need be.
    Utility::sharedUtility();
    std::thread([this, runContext = QPointer<ManagedObjectContext>(context), worker] {
        (this->*worker)(runContext);
    }).detach();
}

void OldDataImporter::import(const QPointer<ManagedObjectContext>& context) {
    postImportNotification(kOldDataWillImport);
    QString reason;
    const bool succeeded = importRows(context, &reason);
    // Lowered before the last word, so that whoever hears it may start the next run.
    setIsWorking(false);
    postImportNotification(succeeded ? kOldDataDidImportSucess : kOldDataDidImportFail);
    if (succeeded) {
        Notices::withdraw(kOldDataTopic);
    } else {
        Notices::post(kOldDataTopic,
                      QCoreApplication::translate(
                          "OldDataImporter",
                          "The old diary could not be imported: %1. It is tried again "
                          "at the next launch.")
                          .arg(reason));
    }
}

bool OldDataImporter::importRows(const QPointer<ManagedObjectContext>& context, QString* reason) {
    const QString path = oldDataPath();
    Log::write(QStringLiteral("path: %1").arg(path));
    OldDiaryReader reader;
    int total = 0;
    if (path.isNull() || !reader.open(path) || !reader.countLiveRows(&total) ||
        !reader.prepareRows()) {
        *reason =
            path.isNull() ? QStringLiteral("no application support folder") : reader.errorMessage();
        Log::write(QStringLiteral("errpr:%1").arg(*reason));
        return false;
    }
    ProgressPoster progress(kOldDataImporting, total);
    ImportBatches batches(context, addEntryIfNew);
    qint64 stepped = 0;
    OldDiaryReader::Row row;
    OldDiaryReader::Next next;
    while ((next = reader.next(&row)) == OldDiaryReader::Next::Row) {
        progress.post(++stepped);
        if (row.isComplete() && !batches.add(prepareEntry(row.uuid, row.text, row.colorTag,
                                                          dateFromSeconds(row.timeStamp)))) {
            *reason = QStringLiteral("the diary could not keep what came in");
            return false;
        }
    }
    if (next == OldDiaryReader::Next::Error) {
        // A file that breaks off in the middle: what was read is kept and
        // saved, but the import is not done, and runs again next time.
        *reason = reader.errorMessage();
        Log::write(QStringLiteral("errpr:%1").arg(*reason));
    }
    reader.close();
    const bool complete = next == OldDiaryReader::Next::End;
    // Only an import that ended with everything saved marks the old data as imported.
    const auto markImported = [] { Utility::sharedUtility()->setIsOldDataImported(true); };
    if (!batches.finish(complete ? markImported : std::function<void()>())) {
        *reason = QStringLiteral("the diary could not save what came in");
        return false;
    }
    return complete;
}

void OldDataImporter::dataImportedWithUuid(const QString& uuid, const QString& text, int colorTag,
                                           const QDateTime& date) {
    PreparedEntry entry = prepareEntry(uuid, text, colorTag, date);
    performOnContext(context_, [&](ManagedObjectContext& c) {
        const UndoPause pause(c);
        addEntryIfNew(c, std::move(entry));
    });
}

void OldDataImporter::removeDuplicate(const QPointer<ManagedObjectContext>& context) {
    postImportNotification(kDuplicateCheckWillStart);
    const bool succeeded = removeDuplicates(context);
    // Lowered before the last word, as for the import.
    setIsWorking(false);
    postImportNotification(succeeded ? kDuplicateCheckEndSuccess : kDuplicateCheckEndFail);
}

bool OldDataImporter::removeDuplicates(const QPointer<ManagedObjectContext>& context) {
    // An entry found to be a later copy, and the first one met of its identifier.
    struct Copy {
        ManagedObject* entry;
        ManagedObject* first;
        QString uuid;
    };
    std::vector<Copy> copies;
    bool succeeded = false;
    bool ran = performOnContext(context, [&](ManagedObjectContext& c) {
        Error error;
        const std::optional<std::vector<ManagedObject*>> entries =
            c.executeFetchRequest(FetchRequest(), &error);
        if (!entries) {
            Log::write(QStringLiteral("errpr:%1").arg(error.localizedDescription));
            return;
        }
        // Of the entries that share an identifier (exactly, letter case
        // included) the first one met stays; one without an identifier is
        // left alone.
        const qint64 n = qint64(entries->size());
        ProgressPoster progress(kDuplicateChecking, n);
        QHash<QString, ManagedObject*> firsts;
        firsts.reserve(n);
        for (qint64 i = 0; i < n; ++i) {
            progress.post(i);
            ManagedObject* entry = (*entries)[std::size_t(i)];
            QString uuid = entry->uuid();
            if (uuid.isNull()) {
                continue;
            }
            const auto first = firsts.constFind(uuid);
            if (first == firsts.constEnd()) {
                firsts.insert(uuid, entry);
            } else {
                copies.push_back({entry, first.value(), std::move(uuid)});
            }
        }
        // Without copies, what is pending (an import not yet saved, say) is saved as it is.
        succeeded = copies.empty() && saveImported(c);
    });
    if (!ran || copies.empty()) {
        return ran && succeeded;
    }
    // The copies go a share at a time, each share saved, so that the window
    // answers in between. An entry is deleted only while the first one of its
    // identifier is still there: what the user does meanwhile never leaves an
    // identifier without its entry.
    std::size_t next = 0;
    int share = kFirstSave;
    double perCopyNs = 0;
    while (next < copies.size()) {
        const std::size_t end = std::min(copies.size(), next + std::size_t(share));
        bool saved = false;
        qint64 spent = 0;
        ran = performOnContext(context, [&](ManagedObjectContext& c) {
            QElapsedTimer timer;
            timer.start();
            {
                const UndoPause pause(c);
                for (std::size_t i = next; i < end; ++i) {
                    const Copy& copy = copies[i];
                    if (copy.first->isLive() && copy.entry->isLive() &&
                        copy.first->uuid() == copy.uuid && copy.entry->uuid() == copy.uuid) {
                        c.deleteObject(copy.entry);
                    }
                }
            }
            saved = saveImported(c, end == copies.size());
            spent = timer.nsecsElapsed();
        });
        if (!ran || !saved) {
            return false;
        }
        perCopyNs = std::max(double(spent) / double(end - next), perCopyNs * 0.8);
        share = std::clamp(int(double(kSaveBudgetNs) / std::max(perCopyNs, 1.0)), kSmallestSave,
                           kLargestSave);
        next = end;
    }
    return true;
}

} // namespace quillet
