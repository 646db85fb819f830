#include "diary/import/DayOneImporter.h"

#include "diary/import/ZipLibrary.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <memory>

namespace quillet {

namespace {

const QByteArray kZipMagic("PK\x03\x04");
const char* const kJournal = "Journal.json";

// The bytes of Journal.json inside the zip, or false with *error.
bool journalOfZip(const QString& path, QByteArray* json, QString* error) {
    const ZipLibrary* zip = ZipLibrary::get(error);
    if (!zip) {
        return false;
    }
    const QString name = QFileInfo(path).fileName();
    int code = 0;
    const auto closer = [zip](zip_t* archive) { zip->discard(archive); };
    const std::unique_ptr<zip_t, decltype(closer)> archive(
        zip->open(QFile::encodeName(QFileInfo(path).canonicalFilePath()).constData(), ZIP_RDONLY,
                  &code),
        closer);
    if (!archive) {
        *error =
            QCoreApplication::translate("DiaryImport", "%1 is not a readable zip file").arg(name);
        return false;
    }
    zip_stat_t stat;
    zip->statInit(&stat);
    if (zip->stat(archive.get(), kJournal, 0, &stat) != 0) {
        *error = QCoreApplication::translate("DiaryImport",
                                             "%1 holds no Journal.json: it is not a Day One export")
                     .arg(name);
        return false;
    }
    // The size the zip claims is checked before anything is unpacked.
    if (!(stat.valid & ZIP_STAT_SIZE) || stat.size > zip_uint64_t(importtext::kLargestSource)) {
        *error =
            QCoreApplication::translate("DiaryImport", "Journal.json in %1 is too large").arg(name);
        return false;
    }
    zip_file_t* file = zip->fopen(archive.get(), kJournal, 0);
    if (!file) {
        *error = QCoreApplication::translate("DiaryImport", "Journal.json in %1 cannot be unpacked")
                     .arg(name);
        return false;
    }
    json->resize(qsizetype(stat.size));
    const zip_int64_t read = zip->fread(file, json->data(), stat.size);
    zip->fclose(file);
    if (read != zip_int64_t(stat.size)) {
        *error =
            QCoreApplication::translate("DiaryImport", "Journal.json in %1 is damaged").arg(name);
        return false;
    }
    return true;
}

// The moment on the writer's clock: the UTC time in the entry's zone, then
// that wall-clock time here, so that the entry keeps its day and hour.
// Zones are looked up once each: a journal names a handful of them.
QDateTime writersClock(const QJsonObject& entry, QHash<QString, QTimeZone>* zones) {
    QDateTime utc =
        QDateTime::fromString(entry.value(QStringLiteral("creationDate")).toString(), Qt::ISODate);
    if (!utc.isValid()) {
        return {};
    }
    const QString zoneName = entry.value(QStringLiteral("timeZone")).toString();
    auto found = zones->constFind(zoneName);
    if (found == zones->cend()) {
        found = zones->insert(zoneName, QTimeZone(zoneName.toUtf8()));
    }
    const QTimeZone& zone = *found;
    const QDateTime there = zone.isValid() ? utc.toTimeZone(zone) : utc.toLocalTime();
    return QDateTime(there.date(), there.time(), Qt::LocalTime);
}

} // namespace

QString DayOneImporter::formatId() const {
    return QStringLiteral("dayone");
}

QString DayOneImporter::formatName() const {
    return QStringLiteral("Day One");
}

bool DayOneImporter::detect(const QString& path) const {
    QByteArray head;
    QString error;
    if (!importtext::readFile(path, &head, &error, 64 * 1024)) {
        return false;
    }
    if (head.startsWith(kZipMagic)) {
        return true;
    }
    return head.trimmed().startsWith('{') && head.contains("\"creationDate\"");
}

ImportSource DayOneImporter::read(const QString& path) const {
    ImportSource source;
    const QString name = QFileInfo(path).fileName();
    QByteArray bytes;
    if (!importtext::readFile(path, &bytes, &source.error, 4)) {
        return source;
    }
    const bool zipped = bytes.startsWith(kZipMagic);
    if (zipped ? !journalOfZip(path, &bytes, &source.error)
               : !importtext::readFile(path, &bytes, &source.error)) {
        return source;
    }
    const QString what =
        zipped ? QCoreApplication::translate("DiaryImport", "Journal.json in %1").arg(name) : name;
    QString decoded;
    if (!importtext::decodeUtf8(bytes, &decoded)) {
        source.error = QCoreApplication::translate("DiaryImport", "%1 is not UTF-8 text").arg(what);
        return source;
    }
    QJsonArray entries;
    if (!importtext::entriesArray(what, QStringLiteral("Day One"), bytes, &entries,
                                  &source.error)) {
        return source;
    }
    int number = 0;
    QHash<QString, QTimeZone> zones;
    for (const QJsonValue& value : std::as_const(entries)) {
        ++number;
        const QJsonObject entry = value.toObject();
        const QDateTime date = writersClock(entry, &zones);
        if (!date.isValid()) {
            source.skipped.append(
                QCoreApplication::translate("DiaryImport", "entry %1: no creation date")
                    .arg(number));
            continue;
        }
        QStringList tags;
        for (const QJsonValue& tag : entry.value(QStringLiteral("tags")).toArray()) {
            tags.append(tag.toString());
        }
        source.entries.push_back(
            {date,
             importtext::withTagLine(entry.value(QStringLiteral("text")).toString(), tags,
                                     entry.value(QStringLiteral("starred")).toBool()),
             QString(), 0});
    }
    return source;
}

} // namespace quillet
