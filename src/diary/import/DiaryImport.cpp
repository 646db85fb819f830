#include "diary/import/DiaryImport.h"

#include "core/Log.h"
#include "core/NotificationCenter.h"
#include "diary/Utility.h"
#include "diary/import/DiaryFormatImporter.h"
#include "diary/import/ImportBatches.h"
#include "diary/import/OldDataImporter.h"
#include "store/FetchRequest.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMultiHash>
#include <QSet>
#include <thread>

namespace quillet {

namespace {

// Entries of the diary indexed per block while the index is built, so that
// a large diary does not hold the main thread in one piece.
constexpr std::size_t kIndexChunk = 2048;

// The day and the search form of the text: equal for an entry that is
// already there; the texts themselves are compared only on a match.
QByteArray dayAndText(const QDate& day, std::string_view folded) {
    QByteArray key = QByteArray::number(day.toJulianDay());
    key += '\0';
    key += QByteArrayView(folded.data(), qsizetype(folded.size()));
    return key;
}

// What is in the diary already: looked at and changed on the context's queue only.
struct DiaryIndex {
    QMultiHash<QByteArray, ManagedObject*> byDayAndText;
    QSet<QString> uuids;

    bool build(const QPointer<ManagedObjectContext>& context) {
        std::vector<ManagedObject*> entries;
        bool fetched = false;
        if (!performOnContext(
                context,
                [&](ManagedObjectContext& c) {
                    Error error;
                    std::optional<std::vector<ManagedObject*>> all =
                        c.executeFetchRequest(FetchRequest(), &error);
                    if (!all) {
                        Log::write(QStringLiteral("errpr:%1").arg(error.localizedDescription));
                        return;
                    }
                    entries = std::move(*all);
                    fetched = true;
                }) ||
            !fetched) {
            return false;
        }
        for (std::size_t start = 0; start < entries.size(); start += kIndexChunk) {
            const std::size_t end = std::min(entries.size(), start + kIndexChunk);
            if (!performOnContext(context, [&](ManagedObjectContext&) {
                    for (std::size_t i = start; i < end; ++i) {
                        ManagedObject* entry = entries[i];
                        if (!entry->isLive()) {
                            continue;
                        }
                        byDayAndText.insert(dayAndText(entry->timeStamp().toLocalTime().date(),
                                                       entry->foldedText()),
                                            entry);
                        uuids.insert(entry->uuid());
                    }
                })) {
                return false;
            }
        }
        return true;
    }

    bool holds(const QByteArray& key, const PreparedEntry& entry) const {
        if (!entry.values.uuid.isNull() && uuids.contains(entry.values.uuid.toString())) {
            return true;
        }
        for (auto it = byDayAndText.constFind(key);
             it != byDayAndText.constEnd() && it.key() == key; ++it) {
            if (it.value()->isLive() &&
                it.value()->entryText().toUtf8() == entry.values.entryText) {
                return true;
            }
        }
        return false;
    }
};

} // namespace

QString ImportReport::summary() const {
    const QString name =
        formatName.isEmpty() ? QCoreApplication::translate("DiaryImport", "Import") : formatName;
    if (!error.isEmpty()) {
        return QCoreApplication::translate("DiaryImport", "%1: nothing imported: %2")
            .arg(name, error);
    }
    QString text =
        QCoreApplication::translate("DiaryImport", "%1: %2 imported, %3 already there, %4 skipped")
            .arg(name)
            .arg(imported)
            .arg(alreadyThere)
            .arg(skipped.size());
    for (const QString& why : skipped) {
        text += QStringLiteral("\n  ") + why;
    }
    return text;
}

QVariantMap ImportReport::userInfo() const {
    return {{QStringLiteral("format"), formatName},
            {QStringLiteral("imported"), imported},
            {QStringLiteral("alreadyThere"), alreadyThere},
            {QStringLiteral("skipped"), skipped},
            {QStringLiteral("error"), error}};
}

ImportReport ImportReport::fromUserInfo(const QVariantMap& info) {
    ImportReport report;
    report.formatName = info.value(QStringLiteral("format")).toString();
    report.imported = info.value(QStringLiteral("imported")).toInt();
    report.alreadyThere = info.value(QStringLiteral("alreadyThere")).toInt();
    report.skipped = info.value(QStringLiteral("skipped")).toStringList();
    report.error = info.value(QStringLiteral("error")).toString();
    return report;
}

DiaryImport* DiaryImport::sharedImport() {
    // Made on first use, on the main thread, and kept until the process ends.
    static DiaryImport* shared = new DiaryImport;
    return shared;
}

bool DiaryImport::start(ManagedObjectContext* context, const QString& path,
                        const QString& formatId) {
    bool idle = false;
    if (!context || !working_.compare_exchange_strong(idle, true)) {
        return false;
    }
    Utility::sharedUtility();
    std::thread([this, runContext = QPointer<ManagedObjectContext>(context), path, formatId] {
        const ImportReport report = run(runContext, path, formatId);
        // Lowered before the last word, so that whoever hears it may start the next run.
        working_.store(false);
        NotificationCenter::defaultCenter().postNotification(kDiaryDidImport, nullptr,
                                                             report.userInfo());
    }).detach();
    return true;
}

ImportReport DiaryImport::run(const QPointer<ManagedObjectContext>& context, const QString& path,
                              const QString& formatId) {
    ImportReport report;
    const DiaryFormatImporter* format = formatId.isEmpty() ? DiaryFormatImporter::detectFormat(path)
                                                           : DiaryFormatImporter::named(formatId);
    report.formatName = format ? format->formatName() : QString();
    NotificationCenter::defaultCenter().postNotification(
        kDiaryWillImport, nullptr, {{QStringLiteral("format"), report.formatName}});
    if (!format) {
        report.error =
            !formatId.isEmpty()
                ? QCoreApplication::translate("DiaryImport", "there is no format \"%1\"")
                      .arg(formatId)
            : !QFileInfo::exists(path)
                ? QCoreApplication::translate("DiaryImport", "%1 does not exist").arg(path)
                : QCoreApplication::translate(
                      "DiaryImport", "%1 is none of the diaries that can be imported (Almanah, "
                                     "RedNotebook, jrnl, Day One, a Quillet2 JSON export)")
                      .arg(QFileInfo(path).fileName());
        return report;
    }
    ImportSource source = format->read(path);
    report.skipped = source.skipped;
    if (!source.error.isEmpty()) {
        report.error = source.error;
        return report;
    }
    DiaryIndex index;
    if (!index.build(context)) {
        report.error = QCoreApplication::translate("DiaryImport", "the diary is not open");
        return report;
    }
    ImportBatches batches(context, [&](ManagedObjectContext& c, PreparedEntry&& entry) {
        const QByteArray key = dayAndText(entry.date.date(), entry.values.foldedText);
        if (index.holds(key, entry)) {
            ++report.alreadyThere;
            return false;
        }
        if (entry.values.uuid.isNull()) {
            entry.values.uuid = Utility::sharedUtility()->createUUID();
        }
        const QString uuid = entry.values.uuid.toString();
        entry.values.monthTag = Utility::sharedUtility()->monthTagForDate(entry.date);
        ManagedObject* made = c.insertNewObject(QStringLiteral("Entry"), std::move(entry.values));
        if (!made) {
            return false;
        }
        index.byDayAndText.insert(key, made);
        index.uuids.insert(uuid);
        ++report.imported;
        return true;
    });
    ProgressPoster progress(kDiaryImporting, qint64(source.entries.size()));
    qint64 done = 0;
    for (ImportedEntry& entry : source.entries) {
        progress.post(++done);
        if (!batches.add(prepareEntry(entry.uuid.isEmpty() ? QString() : entry.uuid, entry.text,
                                      entry.colorTag, entry.date))) {
            report.error =
                QCoreApplication::translate(
                    "DiaryImport", "the diary could not take the entries (it was closed or "
                                   "could not be saved); %1 came in before that")
                    .arg(report.imported);
            return report;
        }
    }
    if (!batches.finish()) {
        report.error = QCoreApplication::translate("DiaryImport", "the diary could not be saved");
    }
    return report;
}

} // namespace quillet
