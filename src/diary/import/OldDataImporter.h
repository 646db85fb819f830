#pragma once

#include <QDateTime>
#include <QPointer>
#include <QString>
#include <atomic>
#include <functional>

namespace quillet {

class ManagedObjectContext;

// Posted by the import, always with no object; "OldDataImporting" carries
// the percentage under "progress". Constants, so that they are usable while
// other files' objects are being made.
inline constexpr QLatin1String kOldDataWillImport("OldDataWillImport");
inline constexpr QLatin1String kOldDataImporting("OldDataImporting");
inline constexpr QLatin1String kOldDataDidImportSucess("OldDataDidImportSucess");
inline constexpr QLatin1String kOldDataDidImportFail("OldDataDidImportFail");
// Posted by duplicate removal, in the same manner.
inline constexpr QLatin1String kDuplicateCheckWillStart("DuplicateCheckWillStart");
inline constexpr QLatin1String kDuplicateChecking("DuplicateChecking");
inline constexpr QLatin1String kDuplicateCheckEndSuccess("DuplicateCheckEndSuccess");
inline constexpr QLatin1String kDuplicateCheckEndFail("DuplicateCheckEndFail");
inline constexpr QLatin1String kProgressKey("progress");

// Brings the entries of the previous generation's diary file into the diary,
// skipping identifiers the diary has already, and reduces entries that share
// an identifier to the first one met. Each run has a thread of its own and
// reports only through its notifications; it touches the diary only inside
// blocks performed on the context's queue, a batch of rows at a time, so the
// window stays responsive. One run at a time: the busy flag is raised by the
// start call itself. An import saves what it brought in as it goes and when
// it ends, and only an import that ended with everything saved marks the old
// data as imported, so an interrupted one runs again at the next launch.
class OldDataImporter {
public:
    static OldDataImporter* sharedImporter();
    OldDataImporter();
    ~OldDataImporter();

    // Both keep the context (even when nothing starts) and start a run unless
    // one is under way or there is no context. Main thread only.
    void asyncImportWithManagedObjectContext(ManagedObjectContext* context);
    void asyncRemoveDuplicateWithManagedObjectContext(ManagedObjectContext* context);

    // Adds one entry to the kept context unless an entry with the identifier
    // exists there, and returns when that is done.
    void dataImportedWithUuid(const QString& uuid, const QString& text, int colorTag,
                              const QDateTime& date);

    bool isWorking() const { return working_.load(); }
    void setIsWorking(bool working) { working_.store(working); }
    ManagedObjectContext* managedObjectContext() const;
    void setManagedObjectContext(ManagedObjectContext* context);

    // "Quillet.sqlite" in the application support folder; null without one.
    static QString oldDataPath();

private:
    using Worker = void (OldDataImporter::*)(const QPointer<ManagedObjectContext>&);
    void start(ManagedObjectContext* context, Worker worker);
    void import(const QPointer<ManagedObjectContext>& context);
    void removeDuplicate(const QPointer<ManagedObjectContext>& context);
    // False with the reason when the import is not done.
    bool importRows(const QPointer<ManagedObjectContext>& context, QString* reason);
    bool removeDuplicates(const QPointer<ManagedObjectContext>& context);

    QPointer<ManagedObjectContext> context_;
    std::atomic<bool> working_{false};
};

} // namespace quillet
