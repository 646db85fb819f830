#pragma once

#include "store/EntryValues.h"

#include <QDateTime>
#include <QPointer>
#include <QString>
#include <climits>
#include <functional>
#include <vector>

namespace quillet {

class ManagedObjectContext;
class UndoManager;

// What the importers share: entries made ready on a worker thread, put into
// the diary a batch at a time on the context's queue, and progress posted
// without flooding the main thread.

void postImportNotification(const QString& name);

// Divided first and multiplied second in double precision, then truncated,
// as the percentages have always been taken. With no total all count as done.
int importPercentage(qint64 done, qint64 total);

class ProgressPoster {
public:
    ProgressPoster(const QString& name, qint64 total) : name_(name), total_(total) {}
    void post(qint64 done);

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
    explicit UndoPause(ManagedObjectContext& context);
    ~UndoPause();

private:
    UndoManager* undo_;
};

// Runs block on the context's queue and waits for it. A context that went
// away while a run was under way ends the run (false) instead of being used.
bool performOnContext(const QPointer<ManagedObjectContext>& context,
                      const std::function<void(ManagedObjectContext&)>& block);

// With waitForDisk false the save is safe from the process ending but not
// from a power loss until the next one that waits.
bool saveImported(ManagedObjectContext& context, bool waitForDisk = true);

// An entry made ready off the main thread: its values, the text already
// folded for searching; only the month tag waits for the calendar.
struct PreparedEntry {
    EntryValues values;
    QDateTime date;
};
PreparedEntry prepareEntry(const QString& uuid, const QString& text, int colorTag,
                           const QDateTime& date);

// Entries on their way into the diary, a batch at a time: each batch holds
// the main thread for about 8 ms, and saves come as often as one save of
// about 10 ms allows, both following what the last ones took.
class ImportBatches {
public:
    // add puts one entry in on the context's queue; true when it was added.
    using Adder = std::function<bool(ManagedObjectContext&, PreparedEntry&&)>;
    ImportBatches(const QPointer<ManagedObjectContext>& context, Adder add);
    // An import that stopped part way hands back what it widened too.
    ~ImportBatches();
    ImportBatches(const ImportBatches&) = delete;
    ImportBatches& operator=(const ImportBatches&) = delete;

    // False once the diary cannot take the entries (gone, no file, a failed save).
    bool add(PreparedEntry&& entry);
    // Puts the last entries in and saves everything, waiting for the disk;
    // afterSave runs on the context's queue once that save succeeded.
    bool finish(const std::function<void()>& afterSave = {});

private:
    bool run(bool last, const std::function<void()>& afterSave);
    void releaseMemory();

    QPointer<ManagedObjectContext> context_;
    Adder add_;
    std::vector<PreparedEntry> rows_;
    std::size_t batchSize_;
    int unsaved_ = 0;
    int saveEvery_;
    double savePerEntryNs_ = 0;
    bool widened_ = false;
};

} // namespace quillet
