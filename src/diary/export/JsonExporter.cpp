#include "diary/export/JsonExporter.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace quillet {

QByteArray JsonExporter::jsonForEntries(const std::vector<ExportedEntry>& entries) {
    // Written by hand around the entries so that the format and version come
    // first, where a reader finds them without parsing the whole file.
    QByteArray json = QByteArrayLiteral("{\"format\": \"") + QByteArray(kFormat.data()) +
                      QByteArrayLiteral("\", \"version\": ") + QByteArray::number(kVersion) +
                      QByteArrayLiteral(", \"entries\": [");
    bool first = true;
    for (const ExportedEntry& entry : entries) {
        const QJsonObject object{
            {QStringLiteral("uuid"), entry.uuid},
            {QStringLiteral("date"),
             entry.date.toOffsetFromUtc(entry.date.offsetFromUtc()).toString(Qt::ISODate)},
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
