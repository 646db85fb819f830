#include "diary/export/JsonExporter.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdlib>

namespace quillet {

namespace {

// "2024-02-29T08:05:00+01:00": the offset always written out, "+00:00" too.
QString withOffset(const QDateTime& date) {
    const int offset = date.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return date.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + (offset < 0 ? u'-' : u'+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

QByteArray JsonExporter::jsonForEntries(const std::vector<ExportedEntry>& entries) {
    // Written by hand around the entries so that the format and version come
    // first, where a reader finds them without parsing the whole file.
    QByteArray json = QByteArrayLiteral("{\"format\": \"") + QByteArray(kFormat.data()) +
                      QByteArrayLiteral("\", \"version\": ") + QByteArray::number(kVersion) +
                      QByteArrayLiteral(", \"entries\": [");
    bool first = true;
    for (const ExportedEntry& entry : entries) {
        const QJsonObject object{{QStringLiteral("uuid"), entry.uuid},
                                 {QStringLiteral("date"), withOffset(entry.date)},
                                 {QStringLiteral("colorTag"), entry.colorTag},
                                 {QStringLiteral("text"), entry.text}};
        json += (first ? "\n" : ",\n") + QJsonDocument(object).toJson(QJsonDocument::Compact);
        first = false;
    }
    json += "\n]}\n";
    return json;
}

bool JsonExporter::write(const std::vector<ExportedEntry>& entries, const QString& path,
                         QString* error) {
    return writePrivateFile(path, jsonForEntries(entries), error);
}

} // namespace quillet
