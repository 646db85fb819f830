#include "diary/import/ImportBatches.h"

#include "core/Log.h"
#include "core/MainThread.h"
#include "core/NotificationCenter.h"
#include "core/TextFolder.h"
#include "diary/import/OldDataImporter.h"
#include "store/ManagedObjectContext.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/UndoManager.h"

#include <QElapsedTimer>
#include <algorithm>

namespace quillet {

namespace {

// Up to this many steps each posts its percentage, as the previous
// generation did; after that only a changed percentage is posted.
constexpr qint64 kEveryStepLimit = 1000;
constexpr qint64 kBlockBudgetNs = 8'000'000;
constexpr std::size_t kFirstBatch = 128;
constexpr std::size_t kSmallestBatch = 16;
constexpr std::size_t kLargestBatch = 8192;
// A kill loses nothing the next import does not bring in again.
constexpr qint64 kSaveBudgetNs = 10'000'000;
constexpr int kFirstSave = 1000;
constexpr int kSmallestSave = 50;
constexpr int kLargestSave = 20000;

bool hasStore(ManagedObjectContext& context) {
    PersistentStoreCoordinator* coordinator = context.persistentStoreCoordinator();
    return coordinator && coordinator->defaultStore();
}

} // namespace

void postImportNotification(const QString& name) {
    NotificationCenter::defaultCenter().postNotification(name);
}

int importPercentage(qint64 done, qint64 total) {
    if (total <= 0) {
        return 100;
    }
    const double value = double(done) / double(total) * 100.0;
    return value >= double(INT_MAX) ? INT_MAX : int(value);
}

void ProgressPoster::post(qint64 done) {
    const int value = importPercentage(done, total_);
    if (++steps_ > kEveryStepLimit && value == last_) {
        return;
    }
    last_ = value;
    NotificationCenter::defaultCenter().postNotification(name_, nullptr, {{kProgressKey, value}});
}

UndoPause::UndoPause(ManagedObjectContext& context) : undo_(context.undoManager()) {
    undo_->disableUndoRegistration();
}

UndoPause::~UndoPause() {
    undo_->enableUndoRegistration();
}

// The context is looked at on the main thread, where it is deleted.
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

bool saveImported(ManagedObjectContext& context, bool waitForDisk) {
    Error error;
    if (!context.save(&error, waitForDisk)) {
        Log::write(QStringLiteral("errpr:%1").arg(error.localizedDescription));
        return false;
    }
    return true;
}

PreparedEntry prepareEntry(const QString& uuid, const QString& text, int colorTag,
                           const QDateTime& date) {
    PreparedEntry entry;
    entry.date = date;
    EntryValues& v = entry.values;
    v.uuid = uuid;
    v.entryText = recordText(text);
    v.foldedText = TextFolder::fold(text);
    v.colorTag = colorTag;
    v.hasTimeStamp = date.isValid();
    v.timeStamp = date.isValid() ? double(date.toMSecsSinceEpoch()) / 1000.0 : 0.0;
    return entry;
}

ImportBatches::ImportBatches(const QPointer<ManagedObjectContext>& context, Adder add)
    : context_(context), add_(std::move(add)), batchSize_(kFirstBatch), saveEvery_(kFirstSave) {}

bool ImportBatches::add(PreparedEntry&& entry) {
    rows_.push_back(std::move(entry));
    // A batch also ends where the next save is due, so that no save is larger than planned.
    const std::size_t dueForSave = std::size_t(std::max(saveEvery_ - unsaved_, 1));
    return rows_.size() < std::min(batchSize_, dueForSave) || run(false, {});
}

ImportBatches::~ImportBatches() {
    if (widened_) {
        releaseMemory();
    }
}

bool ImportBatches::finish(const std::function<void()>& afterSave) {
    const bool done = run(true, afterSave);
    releaseMemory();
    return done;
}

void ImportBatches::releaseMemory() {
    widened_ = false;
    performOnContext(context_, [](ManagedObjectContext& c) { c.releaseMemory(); });
}

// Puts the waiting entries in and saves when a save is due: one block, so
// that the main thread is held once and not twice in a row.
bool ImportBatches::run(bool last, const std::function<void()>& afterSave) {
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
        if (!widened_) {
            widened_ = true;
            c.prepareForLargeWrite();
        }
        {
            const UndoPause pause(c);
            for (PreparedEntry& entry : rows_) {
                if (add_(c, std::move(entry))) {
                    ++unsaved_;
                }
            }
        }
        inserting = timer.nsecsElapsed();
        if (last || unsaved_ >= saveEvery_) {
            savedEntries = unsaved_;
            saved = saveImported(c, last);
            saving = timer.nsecsElapsed() - inserting;
            unsaved_ = 0;
            if (saved && afterSave) {
                afterSave();
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
        saveEvery_ =
            std::clamp(int(double(kSaveBudgetNs) / savePerEntryNs_), kSmallestSave, kLargestSave);
    }
    return true;
}

} // namespace quillet
