#include "diary/import/AlmanahImporter.h"

#include "store/SqliteDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QXmlStreamReader>
#include <QtEndian>
#include <sqlite3.h>

namespace quillet {

namespace {

const QByteArray kSqliteMagic("SQLite format 3\0", 16);
const QByteArray kGtkSerialization("GTKTEXTBUFFERCONTENTS-0001");

// diary.db itself, or the folder (Almanah's data folder) that holds it.
QString databasePath(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() ? QDir(path).filePath(QStringLiteral("diary.db")) : path;
}

bool isEncrypted(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) {
        return !QFileInfo::exists(QDir(path).filePath(QStringLiteral("diary.db"))) &&
               QFileInfo::exists(QDir(path).filePath(QStringLiteral("diary.db.encrypted")));
    }
    return info.fileName().endsWith(QLatin1String(".db.encrypted"));
}

// The words of an XML text, its markup gone: the characters inside the
// element named root (GTK's <text>, Almanah's own <entry>).
bool wordsOfXml(const QByteArray& xml, const QString& root, QString* text) {
    QXmlStreamReader reader(xml);
    int depth = 0;
    bool seen = false;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (depth > 0 || reader.name() == root) {
                ++depth;
                seen = true;
            }
            break;
        case QXmlStreamReader::EndElement:
            if (depth > 0) {
                --depth;
            }
            break;
        case QXmlStreamReader::Characters:
            if (depth > 0) {
                text->append(reader.text());
            }
            break;
        default:
            break;
        }
    }
    return seen && !reader.hasError();
}

// A day's content in any of the forms Almanah has stored it.
bool wordsOfContent(const QByteArray& content, QString* text) {
    if (content.startsWith(kGtkSerialization)) {
        // The header, a big-endian length, then that many bytes of markup.
        const qsizetype start = kGtkSerialization.size() + 4;
        if (content.size() < start) {
            return false;
        }
        const quint32 length =
            qFromBigEndian<quint32>(content.constData() + kGtkSerialization.size());
        if (length > quint32(content.size() - start)) {
            return false;
        }
        return wordsOfXml(content.mid(start, length), QStringLiteral("text"), text);
    }
    if (content.startsWith("<?xml") || content.startsWith("<entry")) {
        return wordsOfXml(content, QStringLiteral("entry"), text);
    }
    return importtext::decodeUtf8(content, text);
}

QString columnText(sqlite3_stmt* statement, int column) {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(statement, column));
}

} // namespace

QString AlmanahImporter::formatId() const {
    return QStringLiteral("almanah");
}

QString AlmanahImporter::formatName() const {
    return QStringLiteral("Almanah");
}

bool AlmanahImporter::detect(const QString& path) const {
    if (isEncrypted(path)) {
        return true;
    }
    QByteArray head;
    QString error;
    // An SQLite file with Almanah's table: the table's name is in the schema's first pages.
    return importtext::readFile(databasePath(path), &head, &error, 64 * 1024) &&
           head.startsWith(kSqliteMagic) && head.contains("CREATE TABLE entries (year INTEGER");
}

ImportSource AlmanahImporter::read(const QString& path) const {
    ImportSource source;
    if (isEncrypted(path)) {
        source.error = QCoreApplication::translate(
            "DiaryImport",
            "This Almanah diary is encrypted (diary.db.encrypted) and cannot be read here. "
            "Turn off encryption in Almanah's preferences, close Almanah, then import its "
            "diary.db.");
        return source;
    }
    const QString file = databasePath(path);
    QByteArray head;
    if (!importtext::readFile(file, &head, &source.error, 16)) {
        return source;
    }
    if (!head.startsWith(kSqliteMagic)) {
        source.error = QCoreApplication::translate(
                           "DiaryImport", "%1 is not an Almanah diary (not an SQLite database)")
                           .arg(QFileInfo(file).fileName());
        return source;
    }
    SqliteDatabase db;
    Error error;
    if (!db.openReadOnly(file, &error)) {
        source.error =
            QCoreApplication::translate("DiaryImport", "The Almanah diary cannot be opened: %1")
                .arg(error.localizedDescription);
        return source;
    }
    const auto damaged = [&] {
        source.entries.clear();
        source.skipped.clear();
        source.error = QCoreApplication::translate(
                           "DiaryImport", "The Almanah diary is damaged or not Almanah's: %1")
                           .arg(db.lastMessage());
        return source;
    };
    // The tags first, by day; a diary of an Almanah before tags has none.
    QHash<QDate, QStringList> tags;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db.handle(), "SELECT year, month, day, tag FROM entry_tag", -1,
                           &statement, nullptr) == SQLITE_OK) {
        int step;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            tags[QDate(sqlite3_column_int(statement, 0), sqlite3_column_int(statement, 1),
                       sqlite3_column_int(statement, 2))]
                .append(columnText(statement, 3));
        }
        sqlite3_finalize(statement);
        if (step != SQLITE_DONE) {
            return damaged();
        }
    }
    if (sqlite3_prepare_v2(db.handle(),
                           "SELECT year, month, day, content, is_important FROM entries", -1,
                           &statement, nullptr) != SQLITE_OK) {
        return damaged();
    }
    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        const QDate day(sqlite3_column_int(statement, 0), sqlite3_column_int(statement, 1),
                        sqlite3_column_int(statement, 2));
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, 3));
        const QByteArray content(bytes, sqlite3_column_bytes(statement, 3));
        QString words;
        if (!day.isValid()) {
            source.skipped.append(
                QCoreApplication::translate("DiaryImport", "an entry of %1-%2-%3: no such day")
                    .arg(sqlite3_column_int(statement, 0))
                    .arg(sqlite3_column_int(statement, 1))
                    .arg(sqlite3_column_int(statement, 2)));
            continue;
        }
        if (!wordsOfContent(content, &words)) {
            source.skipped.append(
                QCoreApplication::translate("DiaryImport", "the entry of %1: its text is damaged")
                    .arg(day.toString(Qt::ISODate)));
            continue;
        }
        const bool important = sqlite3_column_int(statement, 4) != 0;
        if (words.trimmed().isEmpty() && !important && !tags.contains(day)) {
            continue; // Almanah keeps a row for a day whose text was cleared
        }
        source.entries.push_back({importtext::noonOf(day),
                                  importtext::withTagLine(words, tags.value(day), important),
                                  QString(), 0});
    }
    sqlite3_finalize(statement);
    if (step != SQLITE_DONE) {
        return damaged();
    }
    return source;
}

} // namespace quillet
