#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace quillet {

// One entry read from another diary, ready for this one: its time on the
// writer's clock (placed in the local zone), its text with the source's tags
// and stars as a last line of hashtags, and, from this diary's own export,
// its identifier and color tag.
struct ImportedEntry {
    QDateTime date;
    QString text;
    QString uuid; // empty: a new one is made
    int colorTag = 0;
};

// What a source gave: its entries, the ones left out and why, or why none
// could be taken (then nothing of it is imported).
struct ImportSource {
    std::vector<ImportedEntry> entries;
    QStringList skipped;
    QString error;
};

// One diary format that can be brought in. Detection looks at the content
// (a few kilobytes, a folder's names), never at the name alone; reading
// takes the whole source before anything is added, so a source that turns
// out damaged leaves the diary as it was.
class DiaryFormatImporter {
public:
    virtual ~DiaryFormatImporter() = default;
    // "almanah", "rednotebook", "jrnl", "dayone", "quillet": for the command line.
    virtual QString formatId() const = 0;
    // The name the user knows it by.
    virtual QString formatName() const = 0;
    virtual bool detect(const QString& path) const = 0;
    virtual ImportSource read(const QString& path) const = 0;

    // Every format, in the order detection tries them.
    static const std::vector<std::unique_ptr<DiaryFormatImporter>>& all();
    static const DiaryFormatImporter* named(const QString& formatId);
    static const DiaryFormatImporter* detectFormat(const QString& path);
};

namespace importtext {

// The largest file taken in: far beyond any diary, short of exhausting memory.
inline constexpr qint64 kLargestSource = qint64(1) << 30;

// The bytes of a regular file (a symbolic link to one counts), at most
// kLargestSource of them; false with *error otherwise. With limit, only the
// first limit bytes (for detection).
bool readFile(const QString& path, QByteArray* bytes, QString* error, qint64 limit = -1);
// The text of UTF-8 bytes (a byte order mark dropped); false when they are not UTF-8.
bool decodeUtf8(const QByteArray& bytes, QString* text);
// The text with a last line of hashtags for the tags and a star
// ("#travel #words #starred"); a tag's blanks become underscores so that it
// stays one word, and a tag the text holds already as a hashtag is not repeated.
QString withTagLine(const QString& text, const QStringList& tags, bool starred);
// A day without a time: noon on the local clock.
QDateTime noonOf(const QDate& day);
// The "entries" array of an export in JSON (`what` names the file, `kind`
// the diary whose export it should be); false with *error when the bytes are
// no JSON or hold no such array.
bool entriesArray(const QString& what, const QString& kind, const QByteArray& bytes,
                  QJsonArray* entries, QString* error);

} // namespace importtext

} // namespace quillet
