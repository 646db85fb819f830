#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace quillet::diarygen {

// What a generated diary looks like. The same options always give the same
// entries, so fixtures of one size are interchangeable between runs.
struct Options {
    int count = 1000;
    std::uint64_t seed = 0x51756c74;
    QDate firstDay = QDate(1990, 1, 1);
    QDate lastDay = QDate::currentDate();
    // Share of rows marked as trashed in a previous-generation file.
    double trashedShare = 0.04;
    // One more entry, dated now (the newest, shown at launch), of this many
    // bytes of prose, or of letters without a space or line break.
    qint64 longEntryBytes = 0;
    bool longEntryOneLine = false;
};

struct GeneratedEntry {
    QString uuid;
    QString text;
    int colorTag = 0;
    QDateTime timeStamp;
    bool trashed = false;
};

// Yields the entries of a diary one by one, in the order a person would have
// written them (mostly chronological, a few back-dated).
class EntrySource {
public:
    explicit EntrySource(const Options& options);
    bool atEnd() const { return produced_ >= options_.count; }
    GeneratedEntry next();

private:
    std::uint64_t random();
    int below(int n);
    bool chance(double p);
    QString makeText();
    QString makeUuid();

    Options options_;
    std::uint64_t state_;
    int produced_ = 0;
    qint64 firstSecond_ = 0;
    qint64 spanSeconds_ = 0;
};

// Text of about `bytes` bytes: lines of words, or one unbroken line of letters.
QString longText(qint64 bytes, bool oneLine);

// Words the benchmarks search for: one found in a large share of entries, one
// in very few, and one written with accents (searched for with them).
QString commonWord();
QString rareWord();
QString accentedWord();

// Writes a new diary store at path through the diary's own store code. The
// file must not exist yet. False with a reason on failure.
bool writeDiary(const QString& path, const Options& options, QString* error);

// Writes a file of the previous generation: one table `entries` (uuid,
// entrytext, colortag, timestamp in seconds since 1970, trashed).
bool writeOldDiary(const QString& path, const Options& options, QString* error);

// The diary of count entries in the fixture folder (QUILLET_BENCH_CACHE, or
// /tmp/quillet-bench), generated on first use and reused afterwards. Empty
// with a reason on failure.
QString cachedDiary(int count, QString* error);
QString fixtureFolder();

} // namespace quillet::diarygen
