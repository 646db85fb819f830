#include "diary/import/OldDataImporter.h"

#include "core/Log.h"
#include "core/MainThread.h"
#include "core/NotificationCenter.h"
#include "core/TextFolder.h"
#include "diary/Utility.h"
#include "diary/import/OldDiaryReader.h"
#include "store/FetchRequest.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/UndoManager.h"

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

// Up to this many rows (or entries) each posts its percentage, as the
// previous generation did; after that only a changed percentage is posted,
// so that a large diary does not flood the main thread with equal values.
constexpr qint64 kEveryStepLimit = 1000;
// The main thread's share of a batch is kept near this, so that the window
// answers between batches; the batch size follows what the last one took.
constexpr qint64 kBlockBudgetNs = 8'000'000;
constexpr std::size_t kFirstBatch = 128;
constexpr std::size_t kSmallestBatch = 16;
constexpr std::size_t kLargestBatch = 8192;
// Entries brought in but not yet saved before the next save: as many as
// one save of about kSaveBudgetNs writes, following what the last saves took.
// A kill loses nothing the next launch's import does not bring in again.
constexpr qint64 kSaveBudgetNs = 10'000'000;
constexpr int kFirstSave = 1000;
constexpr int kSmallestSave = 200;
constexpr int kLargestSave = 20000;

void post(const QString& name) {
    NotificationCenter::defaultCenter().postNotification(name);
}

// Divided first and multiplied second in double precision, then truncated,
// as the percentages have always been taken. With no total (every row
// without an identifier) all the rows there are count as done.
int percentage(qint64 done, qint64 total) {
    if (total <= 0) {
        return 100;
    }
    const double value = double(done) / double(total) * 100.0;
    return value >= double(INT_MAX) ? INT_MAX : int(value);
}

class ProgressPoster {
public:
    ProgressPoster(const QString& name, qint64 total) : name_(name), total_(total) {}
    void post(qint64 done) {
        const int value = percentage(done, total_);
        if (++steps_ > kEveryStepLimit && value == last_) {
            return;
        }
        last_ = value;
        NotificationCenter::defaultCenter().postNotification(name_, nullptr,
                                                             {{kProgressKey, value}});
    }

private:
    QString name_;
    qint64 total_;
    qint64 steps_ = 0;
    int last_ = INT_MIN;
};

// Work done on the user's behalf in the background is no edit of theirs:
// the undo command must not take imported or removed entries back one by one.
class UndoPause {
public:
    explicit UndoPause(ManagedObjectContext& context) : undo_(context.undoManager()) {
        undo_->disableUndoRegistration();
    }
    ~UndoPause() { undo_->enableUndoRegistration(); }

private:
    UndoManager* undo_;
};

// Runs block on the context's queue and waits for it. The context is looked
// at on the main thread, where it is deleted, so a context that went away
// while a run was under way ends the run instead of being used.
bool performOnContext(const QPointer<ManagedObjectContext>& context,
                      const std::function<void(ManagedObjectContext&)>& block) {
    bool ran = false;
    MainThread::run(
        [&] {
            if (ManagedObjectContext* c = context.data()) {
                c->performBlockAndWait([&] { block(*c); });
                ran = true;
            }
        },
        true);
    return ran;
}

// Nothing but a finite moment within a few hundred thousand years has a
// calendar month; anything else reads as the time stamp 0, as NULL does.
QDateTime dateFromSeconds(double seconds) {
    if (!std::isfinite(seconds) || std::fabs(seconds) > 1e13) {
        seconds = 0;
    }
    return QDateTime::fromMSecsSinceEpoch(qint64(std::llround(seconds * 1000.0)), QTimeZone::utc());
}

// An entry made ready off the main thread: its values, the text already
// folded for searching; only the month tag waits for the calendar.
struct PreparedEntry {
    EntryValues values;
    QDateTime date;
};

PreparedEntry prepare(const QString& uuid, const QString& text, int colorTag,
                      const QDateTime& date) {
    PreparedEntry entry;
    entry.date = date;
    EntryValues& v = entry.values;
    v.uuid = uuid;
    v.entryText = text.isNull() ? QByteArray() : text.toUtf8();
    v.foldedText = TextFolder::fold(text);
    v.colorTag = colorTag;
    v.hasTimeStamp = date.isValid();
    v.timeStamp = date.isValid() ? double(date.toMSecsSinceEpoch()) / 1000.0 : 0.0;
    return entry;
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

bool hasStore(ManagedObjectContext& context) {
    PersistentStoreCoordinator* coordinator = context.persistentStoreCoordinator();
    return coordinator && coordinator->defaultStore();
}

// With waitForDisk false the save is safe from the process ending but not
// from a power loss until the next one that waits; the import's last save
// waits, and only then does the import count as done.
bool save(ManagedObjectContext& context, bool waitForDisk = true) {
    Error error;
    if (!context.save(&error, waitForDisk)) {
        Log::write(QStringLiteral("errpr:%1").arg(error.localizedDescription));
        return false;
    }
    return true;
}

// The rows read from the old file on their way into the diary, a batch at
// a time.
class ImportBatches {
public:
    explicit ImportBatches(const QPointer<ManagedObjectContext>& context) : context_(context) {}

    // False once the diary cannot take the rows (gone, no file, a failed save).
    bool add(const OldDiaryReader::Row& row) {
        rows_.push_back(prepare(row.uuid, row.text, row.colorTag, dateFromSeconds(row.timeStamp)));
        // A batch also ends where the next save is due, so that no save is larger than planned.
        const std::size_t dueForSave = std::size_t(std::max(saveEvery_ - unsaved_, 1));
        return rows_.size() < std::min(batchSize_, dueForSave) || flush();
    }

    // Puts the waiting rows in and saves when a save is due: one block, so
    // that the main thread is held once and not twice in a row.
    bool flush() { return run(false, false); }

    // Puts the last rows in and saves everything; with markImported, and only
    // when that save succeeded, the old data counts as imported from now on.
    bool finish(bool markImported) { return run(true, markImported); }

private:
    bool run(bool last, bool markImported) {
        bool usable = true;
        bool saved = true;
        qint64 inserting = 0;
        qint64 saving = 0;
        int savedEntries = 0;
        const bool ran = performOnContext(context_, [&](ManagedObjectContext& c) {
            QElapsedTimer timer;
            timer.start();
            if (!hasStore(c)) {
                // Entries that could never be saved are not shown either.
                Log::write(QStringLiteral("errpr:%1").arg(QStringLiteral("no diary file is open")));
                usable = false;
                return;
            }
            {
                const UndoPause pause(c);
                for (PreparedEntry& entry : rows_) {
                    if (addEntryIfNew(c, std::move(entry))) {
                        ++unsaved_;
                    }
                }
            }
            inserting = timer.nsecsElapsed();
            if (last || unsaved_ >= saveEvery_) {
                savedEntries = unsaved_;
                saved = save(c, last);
                saving = timer.nsecsElapsed() - inserting;
                unsaved_ = 0;
                if (saved && markImported) {
                    Utility::sharedUtility()->setIsOldDataImported(true);
                }
            }
        });
        rows_.clear();
        if (!ran || !usable || !saved) {
            return false;
        }
        if (inserting < kBlockBudgetNs / 2) {
            batchSize_ = std::min(batchSize_ * 2, kLargestBatch);
        } else if (inserting > kBlockBudgetNs) {
            batchSize_ = std::max(batchSize_ / 2, kSmallestBatch);
        }
        if (savedEntries > 0) {
            // Quick to believe a slower save, slow to believe a faster one:
            // the disk's pace varies from one save to the next.
            const double perEntry = double(saving) / savedEntries;
            savePerEntryNs_ = std::max(perEntry, savePerEntryNs_ * 0.8);
            saveEvery_ = std::clamp(int(double(kSaveBudgetNs) / savePerEntryNs_), kSmallestSave,
                                    kLargestSave);
        }
        return true;
    }

    QPointer<ManagedObjectContext> context_;
    std::vector<PreparedEntry> rows_;
    std::size_t batchSize_ = kFirstBatch;
    int unsaved_ = 0;
    int saveEvery_ = kFirstSave;
    double savePerEntryNs_ = 0;
};

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
    post(kOldDataWillImport);
    const bool succeeded = importRows(context);
    // Lowered before the last word, so that whoever hears it may start the next run.
    setIsWorking(false);
    post(succeeded ? kOldDataDidImportSucess : kOldDataDidImportFail);
}

bool OldDataImporter::importRows(const QPointer<ManagedObjectContext>& context) {
    const QString path = oldDataPath();
    Log::write(QStringLiteral("path: %1").arg(path));
    OldDiaryReader reader;
    int total = 0;
    if (path.isNull() || !reader.open(path) || !reader.countLiveRows(&total) ||
        !reader.prepareRows()) {
        Log::write(QStringLiteral("errpr:%1")
                       .arg(path.isNull() ? QStringLiteral("no application support folder")
                                          : reader.errorMessage()));
        return false;
    }
    ProgressPoster progress(kOldDataImporting, total);
    ImportBatches batches(context);
    qint64 stepped = 0;
    OldDiaryReader::Row row;
    OldDiaryReader::Next next;
    while ((next = reader.next(&row)) == OldDiaryReader::Next::Row) {
        progress.post(++stepped);
        if (row.isComplete() && !batches.add(row)) {
            return false;
        }
    }
    if (next == OldDiaryReader::Next::Error) {
        // A file that breaks off in the middle: what was read is kept and
        // saved, but the import is not done, and runs again next time.
        Log::write(QStringLiteral("errpr:%1").arg(reader.errorMessage()));
    }
    reader.close();
    const bool complete = next == OldDiaryReader::Next::End;
    return batches.finish(complete) && complete;
}

void OldDataImporter::dataImportedWithUuid(const QString& uuid, const QString& text, int colorTag,
                                           const QDateTime& date) {
    PreparedEntry entry = prepare(uuid, text, colorTag, date);
    performOnContext(context_, [&](ManagedObjectContext& c) {
        const UndoPause pause(c);
        addEntryIfNew(c, std::move(entry));
    });
}

void OldDataImporter::removeDuplicate(const QPointer<ManagedObjectContext>& context) {
    post(kDuplicateCheckWillStart);
    const bool succeeded = removeDuplicates(context);
    // Lowered before the last word, as for the import.
    setIsWorking(false);
    post(succeeded ? kDuplicateCheckEndSuccess : kDuplicateCheckEndFail);
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
        succeeded = copies.empty() && save(c);
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
            saved = save(c, end == copies.size());
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
