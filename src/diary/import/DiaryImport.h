#pragma once

#include <QLatin1String>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <atomic>

namespace quillet {

class ManagedObjectContext;

// Posted by an import of another diary, always with no object:
// "DiaryWillImport" (user info "format": the format's name),
// "DiaryImporting" (the percentage under "progress"), and last
// "DiaryDidImport" with the report's values (ImportReport::userInfo).
inline constexpr QLatin1String kDiaryWillImport("DiaryWillImport");
inline constexpr QLatin1String kDiaryImporting("DiaryImporting");
inline constexpr QLatin1String kDiaryDidImport("DiaryDidImport");

// How an import went: what came in, what was there already (the same day
// and the same text, or this diary's own identifier), what was left out and
// why, or why nothing could be taken.
struct ImportReport {
    QString formatName;
    int imported = 0;
    int alreadyThere = 0;
    QStringList skipped;
    QString error;

    bool succeeded() const { return error.isEmpty() && skipped.isEmpty(); }
    // "Almanah: 3 imported, 1 already there, 1 skipped:\n  line 4: ..."
    QString summary() const;
    QVariantMap userInfo() const;
    static ImportReport fromUserInfo(const QVariantMap& userInfo);
};

// Brings another diary's entries in (Almanah, RedNotebook, jrnl, Day One or
// this diary's JSON export), on a thread of its own, as the previous
// generation's import does: the source is read whole first, then the
// entries go in a batch at a time on the context's queue and are saved as
// they go. An entry already in the diary is counted and not added again, so
// a second import of the same file adds nothing. One run at a time.
class DiaryImport {
public:
    static DiaryImport* sharedImport();

    // Starts a run unless one is under way or there is no context; an empty
    // formatId detects the format from the content. Main thread only.
    bool start(ManagedObjectContext* context, const QString& path, const QString& formatId = {});
    bool isWorking() const { return working_.load(); }

    // The run itself, on the calling thread (never the main one): posts the
    // notifications and answers the report.
    static ImportReport run(const QPointer<ManagedObjectContext>& context, const QString& path,
                            const QString& formatId);

private:
    std::atomic<bool> working_{false};
};

} // namespace quillet
