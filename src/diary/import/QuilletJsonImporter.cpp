#include "diary/import/QuilletJsonImporter.h"

#include "diary/export/JsonExporter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace quillet {

namespace {

const QRegularExpression kHeader(QStringLiteral("^\\s*\\{\\s*\"format\"\\s*:\\s*\"%1\"")
                                     .arg(QRegularExpression::escape(JsonExporter::kFormat)));

} // namespace

QString QuilletJsonImporter::formatId() const {
    return QStringLiteral("quillet");
}

QString QuilletJsonImporter::formatName() const {
    return QStringLiteral("Quillet2 JSON export");
}

bool QuilletJsonImporter::detect(const QString& path) const {
    QByteArray head;
    QString error;
    return importtext::readFile(path, &head, &error, 4096) &&
           kHeader.match(QString::fromUtf8(head)).hasMatch();
}

ImportSource QuilletJsonImporter::read(const QString& path) const {
    ImportSource source;
    const QString name = QFileInfo(path).fileName();
    QByteArray bytes;
    if (!importtext::readFile(path, &bytes, &source.error)) {
        return source;
    }
    QString decoded;
    if (!importtext::decodeUtf8(bytes, &decoded)) {
        source.error = QCoreApplication::translate("DiaryImport", "%1 is not UTF-8 text").arg(name);
        return source;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    const QJsonObject root = document.object();
    if (document.isNull()) {
        source.error =
            QCoreApplication::translate("DiaryImport", "%1 is not valid JSON (at byte %2: %3)")
                .arg(name)
                .arg(parseError.offset)
                .arg(parseError.errorString());
        return source;
    }
    const int version = root.value(QStringLiteral("version")).toInt(-1);
    if (root.value(QStringLiteral("format")).toString() != JsonExporter::kFormat || version < 1 ||
        !root.value(QStringLiteral("entries")).isArray()) {
        source.error =
            QCoreApplication::translate("DiaryImport", "%1 is not a Quillet2 JSON export")
                .arg(name);
        return source;
    }
    if (version > JsonExporter::kVersion) {
        source.error = QCoreApplication::translate(
                           "DiaryImport", "%1 was written by a newer Quillet2 (format version %2); "
                                          "this one reads version %3 and older")
                           .arg(name)
                           .arg(version)
                           .arg(JsonExporter::kVersion);
        return source;
    }
    int number = 0;
    for (const QJsonValue& value : root.value(QStringLiteral("entries")).toArray()) {
        ++number;
        const QJsonObject entry = value.toObject();
        const QDateTime written =
            QDateTime::fromString(entry.value(QStringLiteral("date")).toString(), Qt::ISODate);
        const QJsonValue text = entry.value(QStringLiteral("text"));
        if (!written.isValid() || !text.isString()) {
            source.skipped.append(
                QCoreApplication::translate("DiaryImport", "entry %1: no date or text")
                    .arg(number));
            continue;
        }
        // The clock time as it was written, here: the entry keeps its day.
        const int colorTag = entry.value(QStringLiteral("colorTag")).toInt();
        source.entries.push_back({QDateTime(written.date(), written.time(), Qt::LocalTime),
                                  text.toString(), entry.value(QStringLiteral("uuid")).toString(),
                                  colorTag >= 0 && colorTag <= 5 ? colorTag : 0});
    }
    return source;
}

} // namespace quillet
