#include "diary/import/JrnlImporter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace quillet {

namespace {

// "[2024-02-29 08:05] Title" (jrnl 2 and later) or "2024-02-29 08:05 Title"
// (jrnl 1); seconds and an AM/PM mark are taken too.
const QRegularExpression kDateLine(
    QStringLiteral("^(\\[)?(\\d{4})-(\\d{2})-(\\d{2})[ T](\\d{1,2}):(\\d{2})(?::(\\d{2}))?(?: "
                   "?([AaPp][Mm]))?(?(1)\\]|)(?: (.*))?$"));

bool isJson(const QByteArray& head) {
    const QByteArray trimmed = head.trimmed();
    return trimmed.startsWith('{') && trimmed.contains("\"entries\"") &&
           trimmed.contains("\"title\"");
}

// The title line's trailing star marks a starred entry.
QString unstarred(QString title, bool* starred) {
    const QString trimmed = title.trimmed();
    *starred = trimmed.endsWith(QLatin1Char('*'));
    if (*starred) {
        title = trimmed.chopped(1).trimmed();
    }
    return title;
}

QDateTime dateOf(const QRegularExpressionMatch& m) {
    int hour = m.captured(5).toInt();
    const QString half = m.captured(8).toLower();
    if (!half.isEmpty()) {
        if (hour < 1 || hour > 12) {
            return {};
        }
        hour = hour % 12 + (half == QLatin1String("pm") ? 12 : 0);
    }
    const QDate day(m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
    const QTime time(hour, m.captured(6).toInt(), m.captured(7).toInt());
    return day.isValid() && time.isValid() ? QDateTime(day, time, Qt::LocalTime) : QDateTime();
}

ImportSource readText(const QString& name, const QString& journal) {
    ImportSource source;
    const QStringList lines = journal.split(QLatin1Char('\n'));
    QDateTime date;
    QStringList body;
    bool open = false;    // an entry is being gathered
    bool badDate = false; // the lines after a bad date line belong to no entry
    qsizetype dateLine = 0;
    const auto close = [&] {
        if (open) {
            while (!body.isEmpty() && body.constLast().trimmed().isEmpty()) {
                body.removeLast();
            }
        }
        if (open && body.isEmpty()) {
            // A date line with no words after it (a journal cut off there) makes no entry.
            source.skipped.append(
                QCoreApplication::translate("DiaryImport", "line %1: a date without words")
                    .arg(dateLine + 1));
        } else if (open) {
            bool starred = false;
            body[0] = unstarred(body.constFirst(), &starred);
            source.entries.push_back(
                {date, importtext::withTagLine(body.join(QLatin1Char('\n')).trimmed(), {}, starred),
                 QString(), 0});
        }
        open = false;
        body.clear();
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        const QRegularExpressionMatch match = kDateLine.match(line);
        if (match.hasMatch()) {
            close();
            date = dateOf(match);
            badDate = !date.isValid();
            if (badDate) {
                source.skipped.append(
                    QCoreApplication::translate("DiaryImport", "line %1: \"%2\" is not a date")
                        .arg(i + 1)
                        .arg(line.left(18)));
                continue;
            }
            open = true;
            dateLine = i;
            body.append(match.captured(9));
            continue;
        }
        if (open) {
            body.append(line);
        } else if (!badDate && !line.trimmed().isEmpty()) {
            source.error =
                QCoreApplication::translate(
                    "DiaryImport", "%1 is not a jrnl journal: line %2 comes before any date line")
                    .arg(name)
                    .arg(i + 1);
            source.entries.clear();
            return source;
        }
    }
    close();
    if (source.entries.empty() && source.skipped.isEmpty()) {
        source.error =
            QCoreApplication::translate("DiaryImport", "%1 holds no jrnl entries").arg(name);
    }
    return source;
}

ImportSource readJson(const QString& name, const QByteArray& bytes) {
    ImportSource source;
    QJsonArray entries;
    if (!importtext::entriesArray(name, QStringLiteral("jrnl"), bytes, &entries, &source.error)) {
        return source;
    }
    int number = 0;
    for (const QJsonValue& value : std::as_const(entries)) {
        ++number;
        const QJsonObject entry = value.toObject();
        const QDate day =
            QDate::fromString(entry.value(QStringLiteral("date")).toString(), Qt::ISODate);
        QTime time = QTime::fromString(entry.value(QStringLiteral("time")).toString(),
                                       QStringLiteral("HH:mm"));
        if (!time.isValid()) {
            time = QTime::fromString(entry.value(QStringLiteral("time")).toString(), Qt::ISODate);
        }
        const QString title = entry.value(QStringLiteral("title")).toString();
        const QString body = entry.value(QStringLiteral("body")).toString();
        if (!day.isValid() || !entry.value(QStringLiteral("title")).isString()) {
            source.skipped.append(
                QCoreApplication::translate("DiaryImport", "entry %1: no date or title")
                    .arg(number));
            continue;
        }
        QStringList tags;
        for (const QJsonValue& tag : entry.value(QStringLiteral("tags")).toArray()) {
            tags.append(tag.toString());
        }
        // Blank lines at the start of the body are the writer's; only the end is trimmed.
        QString rest = body;
        while (!rest.isEmpty() && rest.back().isSpace()) {
            rest.chop(1);
        }
        const QString words = rest.isEmpty() ? title : title + QLatin1Char('\n') + rest;
        // The tags are in the words already ("@work"); one the words lack is added.
        QStringList missing;
        for (const QString& tag : tags) {
            if (!words.contains(tag)) {
                missing.append(tag);
            }
        }
        source.entries.push_back(
            {time.isValid() ? QDateTime(day, time, Qt::LocalTime) : importtext::noonOf(day),
             importtext::withTagLine(words, missing,
                                     entry.value(QStringLiteral("starred")).toBool()),
             QString(), 0});
    }
    return source;
}

} // namespace

QString JrnlImporter::formatId() const {
    return QStringLiteral("jrnl");
}

QString JrnlImporter::formatName() const {
    return QStringLiteral("jrnl");
}

bool JrnlImporter::detect(const QString& path) const {
    QByteArray head;
    QString error;
    if (!importtext::readFile(path, &head, &error, 64 * 1024)) {
        return false;
    }
    if (isJson(head)) {
        return true;
    }
    // The first line that is not blank is a date line.
    for (const QByteArray& line : head.split('\n')) {
        if (!line.trimmed().isEmpty()) {
            return kDateLine.match(QString::fromUtf8(line).trimmed()).hasMatch();
        }
    }
    return false;
}

ImportSource JrnlImporter::read(const QString& path) const {
    ImportSource source;
    const QString name = QFileInfo(path).fileName();
    QByteArray bytes;
    QString text;
    if (!importtext::readFile(path, &bytes, &source.error)) {
        return source;
    }
    if (!importtext::decodeUtf8(bytes, &text)) {
        source.error = QCoreApplication::translate("DiaryImport", "%1 is not UTF-8 text").arg(name);
        return source;
    }
    return isJson(bytes.left(64 * 1024)) ? readJson(name, bytes) : readText(name, text);
}

} // namespace quillet
