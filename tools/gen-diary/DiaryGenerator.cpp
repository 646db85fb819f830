#include "DiaryGenerator.h"

#include "store/PersistentStore.h"

#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/ManagedObjectModel.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/StoreOptions.h"
#include "store/UndoManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <sqlite3.h>
#include <unistd.h>

#include <array>
#include <memory>

namespace quillet::diarygen {

namespace {

// Everyday English, the bulk of every entry.
constexpr std::array kEnglish = {
    "the",       "a",          "and",       "to",         "of",       "in",      "I",
    "was",       "we",         "it",        "with",       "for",      "on",      "at",
    "my",        "after",      "before",    "then",       "again",    "today",   "yesterday",
    "tomorrow",  "evening",    "afternoon", "walked",     "talked",   "wrote",   "read",
    "cooked",    "slept",      "called",    "visited",    "finished", "started", "bought",
    "forgot",    "remembered", "laughed",   "waited",     "worked",   "played",  "met",
    "long",      "short",      "quiet",     "busy",       "cold",     "warm",    "rainy",
    "sunny",     "tired",      "happy",     "slow",       "little",   "old",     "new",
    "strange",   "lovely",     "difficult", "easy",       "late",     "early",   "whole",
    "river",     "garden",     "kitchen",   "office",     "station",  "market",  "library",
    "letter",    "book",       "friend",    "sister",     "brother",  "mother",  "father",
    "neighbour", "teacher",    "doctor",    "train",      "bus",      "bicycle", "window",
    "door",      "table",      "bread",     "soup",       "tea",      "apples",  "cake",
    "dinner",    "lunch",      "breakfast", "weather",    "snow",     "wind",    "light",
    "music",     "film",       "news",      "phone",      "meeting",  "project", "report",
    "holiday",   "weekend",    "birthday",  "party",      "plans",    "dream",   "thought",
    "about",     "nothing",    "something", "everything", "much",     "very",    "really",
    "quite",     "almost",     "still",     "just",       "never",    "always",  "sometimes",
    "because",   "but",        "so",        "while",      "through",  "along",   "near",
    "behind",    "under",      "over",      "into",       "from",     "our",     "their",
    "her",       "his",        "they",      "she",        "he",       "you",     "us",
    "them",      "had",        "have",      "has",        "will",     "would",   "could",
    "should",    "might",      "went",      "came",       "saw",      "took",    "made",
    "gave",      "found",      "felt",      "kept",       "left",     "got",     "said",
    "told",      "asked",      "looked",    "seemed",     "tried",    "wanted",
};

// Borrowed words with and without accents, as a multilingual diarist writes them.
constexpr std::array kForeign = {
    "café",          "été",       "déjà",     "très",     "crème",     "brûlée",     "fenêtre",
    "forêt",         "hôpital",   "naïve",    "garçon",   "Noël",      "frère",      "mère",
    "château",       "théâtre",   "bientôt",  "voilà",    "élève",     "Straße",     "Mädchen",
    "schön",         "Grüße",     "Brötchen", "Käse",     "Frühstück", "müde",       "Übung",
    "Gemütlichkeit", "Tür",       "Bäckerei", "fröhlich", "größer",    "Öl",         "mañana",
    "niño",          "señora",    "jalapeño", "corazón",  "canción",   "árbol",      "sábado",
    "montaña",       "años",      "pequeño",  "España",   "miércoles", "jardín",     "bonjour",
    "Kindergarten",  "fiesta",    "merci",    "danke",    "gracias",   "Wanderlust", "siesta",
    "croissant",     "Zeitgeist", "plaza",    "amigo",
};

constexpr const char* kCommonWord = "morning";
constexpr const char* kRareWord = "Zanzibar";
constexpr const char* kAccentedWord = "Frühstück";

} // namespace

QString commonWord() {
    return QString::fromUtf8(kCommonWord);
}
QString rareWord() {
    return QString::fromUtf8(kRareWord);
}
QString accentedWord() {
    return QString::fromUtf8(kAccentedWord);
}

EntrySource::EntrySource(const Options& options) : options_(options), state_(options.seed) {
    const QDateTime first(options.firstDay, QTime(0, 0), Qt::LocalTime);
    const QDateTime last(options.lastDay.addDays(1), QTime(0, 0), Qt::LocalTime);
    firstSecond_ = first.toSecsSinceEpoch();
    spanSeconds_ = std::max<qint64>(1, last.toSecsSinceEpoch() - firstSecond_);
}

// splitmix64: small, fast, and the same on every platform and library.
std::uint64_t EntrySource::random() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

int EntrySource::below(int n) {
    return int(random() % std::uint64_t(n));
}

bool EntrySource::chance(double p) {
    return double(random() >> 11) * 0x1.0p-53 < p;
}

QString EntrySource::makeUuid() {
    std::uint64_t hi = random();
    std::uint64_t lo = random();
    hi = (hi & ~0xf000ull) | 0x4000ull;             // version 4
    lo = (lo & ~(0xc0ull << 56)) | (0x80ull << 56); // RFC 4122 variant
    const QString hex = QStringLiteral("%1%2")
                            .arg(hi, 16, 16, QLatin1Char('0'))
                            .arg(lo, 16, 16, QLatin1Char('0'))
                            .toUpper();
    return hex.mid(0, 8) + QLatin1Char('-') + hex.mid(8, 4) + QLatin1Char('-') + hex.mid(12, 4) +
           QLatin1Char('-') + hex.mid(16, 4) + QLatin1Char('-') + hex.mid(20, 12);
}

QString EntrySource::makeText() {
    // About 600 bytes of UTF-8: sentences of 6 to 16 words, now and then a new paragraph.
    const int target = 510 + below(120);
    QString text;
    QByteArray measure;
    int bytes = 0;
    while (bytes < target) {
        QString sentence;
        const int words = 6 + below(11);
        for (int w = 0; w < words; ++w) {
            QString word;
            if (chance(0.006)) {
                word = QString::fromUtf8(kCommonWord);
            } else if (chance(0.00001)) {
                word = QString::fromUtf8(kRareWord);
            } else if (chance(0.06)) {
                word = QString::fromUtf8(kForeign[std::size_t(below(int(kForeign.size())))]);
            } else {
                word = QString::fromUtf8(kEnglish[std::size_t(below(int(kEnglish.size())))]);
            }
            if (w == 0) {
                word[0] = word[0].toUpper();
            } else {
                sentence += chance(0.08) ? QStringLiteral(", ") : QStringLiteral(" ");
            }
            sentence += word;
        }
        sentence += chance(0.1) ? QStringLiteral("!")
                                : (chance(0.1) ? QStringLiteral("?") : QStringLiteral("."));
        if (!text.isEmpty()) {
            text += chance(0.15) ? QStringLiteral("\n\n") : QStringLiteral(" ");
        }
        text += sentence;
        bytes = int(text.toUtf8().size());
    }
    return text;
}

GeneratedEntry EntrySource::next() {
    GeneratedEntry entry;
    // Entries march forward through the years in steps that average out over
    // the span; a quarter share the day of the one before, and a few were
    // back-dated later by their writer.
    const qint64 step = spanSeconds_ / std::max(1, options_.count);
    qint64 second = firstSecond_ + step * produced_ +
                    qint64(random() % std::uint64_t(std::max<qint64>(1, step)));
    if (chance(0.25) && produced_ > 0) {
        second = firstSecond_ + step * (produced_ - 1) + 3600 * (1 + below(6));
    }
    if (chance(0.02)) {
        second -= qint64(random() % std::uint64_t(std::max<qint64>(1, step * 50)));
    }
    second = std::clamp(second, firstSecond_, firstSecond_ + spanSeconds_ - 1);
    entry.timeStamp = QDateTime::fromSecsSinceEpoch(second);
    entry.uuid = makeUuid();
    entry.text = makeText();
    // Half of all entries keep the gray tag; the other five colors share the rest.
    entry.colorTag = chance(0.5) ? 0 : 1 + below(5);
    entry.trashed = chance(options_.trashedShare);
    ++produced_;
    return entry;
}

QString longText(qint64 bytes, bool oneLine) {
    QString text;
    text.reserve(bytes);
    if (oneLine) {
        for (qint64 i = 0; i < bytes; ++i) {
            text += QChar(char16_t(u'a' + (i * 7) % 26));
        }
        return text;
    }
    for (std::size_t i = 0; text.size() < bytes; ++i) {
        text += QString::fromUtf8(kEnglish[(i * 7 + i / 3) % kEnglish.size()]);
        text += (i + 1) % 12 != 0
                    ? QStringLiteral(" ")
                    : ((i + 1) % 96 == 0 ? QStringLiteral(".\n\n") : QStringLiteral("\n"));
    }
    return text;
}

bool writeDiary(const QString& path, const Options& options, QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (QFileInfo::exists(path)) {
        return fail(QStringLiteral("%1 exists already").arg(path));
    }
    const std::shared_ptr<ManagedObjectModel> model = ManagedObjectModel::mergedModelFromBundles();
    if (!model) {
        return fail(QStringLiteral("no record model in the resources"));
    }
    auto coordinator = std::make_unique<PersistentStoreCoordinator>(model);
    Error storeError;
    if (!coordinator->addPersistentStore(NSSQLiteStoreType, QString(), path, {}, &storeError)) {
        return fail(storeError.localizedDescription);
    }
    auto context =
        std::make_unique<ManagedObjectContext>(ManagedObjectContext::ConcurrencyType::MainQueue);
    context->setPersistentStoreCoordinator(coordinator.get());
    // A generated diary has nothing to undo; keeping the inverse of 100,000
    // inserts would only cost memory.
    context->undoManager()->disableUndoRegistration();

    EntrySource source(options);
    int unsaved = 0;
    while (!source.atEnd()) {
        const GeneratedEntry e = source.next();
        ManagedObject* entry = context->insertNewObject(QStringLiteral("Entry"));
        const QDate day = e.timeStamp.toLocalTime().date();
        entry->setValue(EntryKey::TimeStamp, e.timeStamp);
        entry->setValue(EntryKey::MonthTag, day.year() * 100 + day.month());
        entry->setValue(EntryKey::ColorTag, e.colorTag);
        entry->setValue(EntryKey::EntryText, e.text);
        entry->setValue(EntryKey::Uuid, e.uuid);
        // Saved in batches, as a diary grows: one transaction per batch.
        if (++unsaved == 5000) {
            if (!context->save(&storeError)) {
                return fail(storeError.localizedDescription);
            }
            unsaved = 0;
        }
    }
    if (options.longEntryBytes > 0) {
        const QDateTime now = QDateTime::currentDateTime();
        ManagedObject* entry = context->insertNewObject(QStringLiteral("Entry"));
        entry->setValue(EntryKey::TimeStamp, now);
        entry->setValue(EntryKey::MonthTag, now.date().year() * 100 + now.date().month());
        entry->setValue(EntryKey::EntryText,
                        longText(options.longEntryBytes, options.longEntryOneLine));
        entry->setValue(EntryKey::Uuid,
                        QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
    }
    if (!context->save(&storeError)) {
        return fail(storeError.localizedDescription);
    }
    return true;
}

bool writeOldDiary(const QString& path, const Options& options, QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (QFileInfo::exists(path)) {
        return fail(QStringLiteral("%1 exists already").arg(path));
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        const QString why = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return fail(why);
    }
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> closer(db, sqlite3_close);
    auto sqlFail = [&]() { return fail(QString::fromUtf8(sqlite3_errmsg(db))); };
    if (sqlite3_exec(db,
                     "CREATE TABLE entries (id INTEGER PRIMARY KEY, uuid TEXT, entrytext TEXT, "
                     "colortag INTEGER, timestamp REAL, trashed INTEGER);"
                     "BEGIN;",
                     nullptr, nullptr, nullptr) != SQLITE_OK) {
        return sqlFail();
    }
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v2(db,
                           "INSERT INTO entries (uuid, entrytext, colortag, timestamp, trashed) "
                           "VALUES (?, ?, ?, ?, ?)",
                           -1, &insert, nullptr) != SQLITE_OK) {
        return sqlFail();
    }
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> finalizer(insert, sqlite3_finalize);
    EntrySource source(options);
    while (!source.atEnd()) {
        const GeneratedEntry e = source.next();
        const QByteArray uuid = e.uuid.toUtf8();
        const QByteArray text = e.text.toUtf8();
        sqlite3_reset(insert);
        sqlite3_bind_text(insert, 1, uuid.constData(), int(uuid.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 3, e.colorTag);
        sqlite3_bind_double(insert, 4, double(e.timeStamp.toMSecsSinceEpoch()) / 1000.0);
        sqlite3_bind_int(insert, 5, e.trashed ? 1 : 0);
        if (sqlite3_step(insert) != SQLITE_DONE) {
            return sqlFail();
        }
    }
    if (sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK) {
        return sqlFail();
    }
    return true;
}

QString fixtureFolder() {
    const QByteArray configured = qgetenv("QUILLET_BENCH_CACHE");
    return configured.isEmpty() ? QStringLiteral("/tmp/quillet-bench")
                                : QFile::decodeName(configured);
}

QString cachedDiary(int count, QString* error) {
    const QString folder = fixtureFolder();
    // Named with the format, so that a fixture of an older one is never upgraded at every use.
    const QString path =
        folder + QStringLiteral("/%1-v%2.sqlite").arg(count).arg(PersistentStore::kSchemaVersion);
    if (QFileInfo::exists(path)) {
        return path;
    }
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot make %1").arg(folder);
        return {};
    }
    // Made under a name of its own and renamed when complete, so that an
    // interrupted run never leaves a short fixture to be reused.
    const QString partial = path + QStringLiteral(".partial-%1").arg(::getpid());
    Options options;
    options.count = count;
    const bool written = writeDiary(partial, options, error);
    for (const char* side : {"-wal", "-shm", ".lock"}) {
        QFile::remove(partial + QLatin1String(side));
    }
    if (!written || ::rename(QFile::encodeName(partial).constData(),
                             QFile::encodeName(path).constData()) != 0) {
        QFile::remove(partial);
        if (error && written)
            *error = QStringLiteral("cannot rename %1").arg(partial);
        return {};
    }
    return path;
}

} // namespace quillet::diarygen
