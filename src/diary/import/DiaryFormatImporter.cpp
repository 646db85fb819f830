#include "diary/import/DiaryFormatImporter.h"

#include "diary/import/AlmanahImporter.h"
#include "diary/import/DayOneImporter.h"
#include "diary/import/JrnlImporter.h"
#include "diary/import/QuilletJsonImporter.h"
#include "diary/import/RedNotebookImporter.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

namespace quillet {

const std::vector<std::unique_ptr<DiaryFormatImporter>>& DiaryFormatImporter::all() {
    static const std::vector<std::unique_ptr<DiaryFormatImporter>> formats = [] {
        std::vector<std::unique_ptr<DiaryFormatImporter>> made;
        made.push_back(std::make_unique<QuilletJsonImporter>());
        made.push_back(std::make_unique<AlmanahImporter>());
        made.push_back(std::make_unique<RedNotebookImporter>());
        made.push_back(std::make_unique<DayOneImporter>());
        made.push_back(std::make_unique<JrnlImporter>());
        return made;
    }();
    return formats;
}

const DiaryFormatImporter* DiaryFormatImporter::named(const QString& formatId) {
    for (const auto& format : all()) {
        if (format->formatId().compare(formatId, Qt::CaseInsensitive) == 0) {
            return format.get();
        }
    }
    return nullptr;
}

const DiaryFormatImporter* DiaryFormatImporter::detectFormat(const QString& path) {
    for (const auto& format : all()) {
        if (format->detect(path)) {
            return format.get();
        }
    }
    return nullptr;
}

namespace importtext {

bool readFile(const QString& path, QByteArray* bytes, QString* error, qint64 limit) {
    const QFileInfo info(path);
    // Pipes, devices and sockets could block the reader or never end.
    if (!info.exists() || !QFileInfo(info.canonicalFilePath()).isFile()) {
        *error = QCoreApplication::translate("DiaryImport", "%1 is not a file that can be read")
                     .arg(info.fileName());
        return false;
    }
    if (limit < 0 && info.size() > kLargestSource) {
        *error = QCoreApplication::translate("DiaryImport", "%1 is too large (%2 MB) to be a diary")
                     .arg(info.fileName())
                     .arg(info.size() >> 20);
        return false;
    }
    QFile file(info.canonicalFilePath());
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QCoreApplication::translate("DiaryImport", "%1 cannot be read: %2")
                     .arg(info.fileName(), file.errorString());
        return false;
    }
    *bytes = limit < 0 ? file.readAll() : file.read(limit);
    return true;
}

bool decodeUtf8(const QByteArray& bytes, QString* text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    *text = decoder.decode(bytes);
    return !decoder.hasError();
}

namespace {

// A tag's blanks become underscores, so that it stays one word.
QString joinedWord(const QString& tag) {
    QString word;
    word.reserve(tag.size());
    bool blank = false;
    for (const QChar c : tag) {
        if (c.isSpace()) {
            blank = true;
            continue;
        }
        if (blank) {
            word += QLatin1Char('_');
            blank = false;
        }
        word += c;
    }
    return word;
}

// Whether text holds word between blanks or at either end. Plain scanning:
// a pattern made for every tag of every entry cost most of an import's time.
bool holdsWord(const QString& text, const QString& word) {
    for (qsizetype at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + 1)) {
        const qsizetype end = at + word.size();
        if ((at == 0 || text.at(at - 1).isSpace()) &&
            (end == text.size() || text.at(end).isSpace())) {
            return true;
        }
    }
    return false;
}

} // namespace

QString withTagLine(const QString& text, const QStringList& tags, bool starred) {
    QStringList words;
    QStringList all = tags;
    if (starred) {
        all.append(QStringLiteral("starred"));
    }
    for (QString tag : all) {
        tag = tag.trimmed();
        if (tag.startsWith(QLatin1Char('#')) || tag.startsWith(QLatin1Char('@'))) {
            tag.remove(0, 1);
        }
        tag = joinedWord(tag);
        const QString word = QLatin1Char('#') + tag;
        if (tag.isEmpty() || words.contains(word) || holdsWord(text, word)) {
            continue;
        }
        words.append(word);
    }
    if (words.isEmpty()) {
        return text;
    }
    const QString line = words.join(QLatin1Char(' '));
    return text.isEmpty() ? line : text + QLatin1Char('\n') + line;
}

QDateTime noonOf(const QDate& day) {
    return QDateTime(day, QTime(12, 0), Qt::LocalTime);
}

bool entriesArray(const QString& what, const QString& kind, const QByteArray& bytes,
                  QJsonArray* entries, QString* error) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    const QJsonValue value = document.object().value(QStringLiteral("entries"));
    if (document.isNull()) {
        *error = QCoreApplication::translate("DiaryImport", "%1 is not valid JSON (at byte %2: %3)")
                     .arg(what)
                     .arg(parseError.offset)
                     .arg(parseError.errorString());
        return false;
    }
    if (!value.isArray()) {
        *error = QCoreApplication::translate("DiaryImport", "%1 is not a %2 export (no entries)")
                     .arg(what, kind);
        return false;
    }
    *entries = value.toArray();
    return true;
}

} // namespace importtext

} // namespace quillet
