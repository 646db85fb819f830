#pragma once

#include <QMap>
#include <QString>
#include <memory>

namespace quillet {
class ArrayController;
class ManagedObjectContext;
class PersistentStoreCoordinator;
} // namespace quillet

namespace quillet::bench {

// A diary opened the way the application opens it: the coordinator with its
// one store, the main-queue context that takes every record, and the entry
// list ordered newest first.
struct Diary {
    std::unique_ptr<PersistentStoreCoordinator> coordinator;
    std::unique_ptr<ManagedObjectContext> context;
    std::unique_ptr<ArrayController> controller;
    ~Diary();
};

// Opens the store and loads the context; no entry list yet. Aborts the run
// with a message when the file cannot be opened.
std::unique_ptr<Diary> openStore(const QString& path);
// Adds the entry list ordered newest first, with a filter when given (the
// application filters the list before it takes in the diary).
void attachController(Diary& diary, const QString& filterFormat = QString());
std::unique_ptr<Diary> openDiary(const QString& path);

// The generated diary of n entries, made once and kept in the fixture folder.
QString fixture(int n);
// A fresh copy of that diary that a benchmark may change.
QString workingCopy(int n);
// A diary of n entries that stays open for the whole run; read-only use.
Diary& sharedDiary(int n);

// The predicate texts the application delegate builds.
QString monthFormat(int monthTag, int color);
QString searchFormat(const QString& text, int color);

// The month tag of the newest entry, and of the month before it that has entries.
int newestMonth(Diary& diary);
int monthBefore(Diary& diary, int monthTag);

// Bytes of entry text (UTF-8) in the diary.
qint64 textBytes(Diary& diary);

// Resident memory of this process in kB (VmRSS), 0 when unknown.
long residentKilobytes();

// Runs this program again as a child in a probe mode and answers its "key=value" lines.
QString runProbe(const QStringList& arguments);
// The same, read into numbers by key.
QMap<QString, double> probeValues(const QStringList& arguments);
// The child of --probe-import OLD OUT: a first launch that imports the
// previous generation's file OLD, its memory once the import has ended,
// and the diary it made copied to OUT.
int runImportProbe(const QString& old, const QString& out);
// Entry point of the child: handles --probe-* arguments; false when not a probe.
bool runProbeMode(int argc, char** argv, int* exitCode);

} // namespace quillet::bench
