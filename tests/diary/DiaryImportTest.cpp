// Other diaries coming in, and this diary's exports going out and back.
// The samples in fixtures/ were made by fixtures/make-fixtures.py with the
// other diaries' own code: Almanah's texts serialized by GTK's text buffer
// (python3-gi, the tag set registered as Almanah does) into the tables
// Almanah 0.12 created on its first start; RedNotebook's months written by
// its own storage module (/usr/share/rednotebook); jrnl's journal and JSON
// export and Day One's zipped Journal.json after their documented formats.
#include "DiaryFiles.h"
#include "DiaryHome.h"
#include "StoreTestSupport.h"
#include "TestSupport.h"

#include "core/NotificationCenter.h"
#include "diary/export/JsonExporter.h"
#include "diary/export/MarkdownExporter.h"
#include "diary/import/DiaryFormatImporter.h"
#include "diary/import/DiaryImport.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/StoreOptions.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace quillet::test {
namespace {

const QString kFixtures = QStringLiteral(QUILLET_IMPORT_FIXTURES);

QString fixture(const QString& name) {
    return kFixtures + QLatin1Char('/') + name;
}

// The words every sample holds, one entry a day: a leap day with accents and
// quotes, right-to-left text, emoji and an empty line.
const std::vector<std::pair<QDate, QString>> kSampleDays = {
    {QDate(2024, 2, 29), QStringLiteral("Leap day in Z\u00fcrich: caf\u00e9 cr\u00e8me, \"quoted\" "
                                        "and 'single'.\nA second line.")},
    {QDate(2023, 7, 14),
     QStringLiteral(
         "\u05e9\u05dc\u05d5\u05dd \u05e2\u05d5\u05dc\u05dd \u2014 \u0645\u0631\u062d\u0628\u0627 "
         "\u0628\u0627\u0644\u0639\u0627\u0644\u0645\nright to left")},
    {QDate(2022, 12, 31),
     QStringLiteral(
         "\U0001F389 New Year's Eve \U0001F469\u200d\U0001F469\u200d\U0001F467\n\nthree lines")},
};

class DiaryImportTest : public ::testing::Test {
protected:
    DiaryImportTest() {
        QDir().mkpath(home_.storeFolder());
        coordinator_ = std::make_unique<PersistentStoreCoordinator>(entryModel());
        Error error;
        EXPECT_TRUE(coordinator_->addPersistentStore(NSSQLiteStoreType, QString(),
                                                     home_.storePath(), {}, &error));
        context_ = std::make_unique<ManagedObjectContext>(
            ManagedObjectContext::ConcurrencyType::MainQueue);
        context_->setPersistentStoreCoordinator(coordinator_.get());
    }

    // Runs an import as the window does and answers its report.
    ImportReport import(const QString& path, const QString& format = {}) {
        std::optional<ImportReport> report;
        const int token = NotificationCenter::defaultCenter().addObserver(
            kDiaryDidImport, nullptr,
            [&](const Notification& n) { report = ImportReport::fromUserInfo(n.userInfo); });
        EXPECT_TRUE(DiaryImport::sharedImport()->start(context_.get(), path, format));
        EXPECT_TRUE(waitFor(
            [&] { return report.has_value() && !DiaryImport::sharedImport()->isWorking(); }));
        NotificationCenter::defaultCenter().removeObserver(token);
        return report.value_or(ImportReport{});
    }

    std::vector<ManagedObject*> entries() const { return context_->registeredObjects(); }

    ScopedTimeZone zone_{"America/New_York"};
    ScopedDiaryHome home_;
    std::unique_ptr<PersistentStoreCoordinator> coordinator_;
    std::unique_ptr<ManagedObjectContext> context_;
};

// Each sample is detected from its content, brings every entry once on its
// day with its words, its time and its tags as hashtags, and a second import
// adds nothing.
TEST_F(DiaryImportTest, EachSampleComesInOnceWithItsDaysWordsAndTags) {
    struct Case {
        QString path, format;
        QTime time; // of the leap day's entry
        QString tagsOfLeapDay;
        int extra; // entries beyond the three sample days
    };
    const std::vector<Case> cases = {
        {fixture("almanah/diary.db"), "almanah", QTime(12, 0), "#travel #words #starred", 1},
        {fixture("almanah"), "almanah", QTime(12, 0), "#travel #words #starred", 1},
        {fixture("rednotebook"), "rednotebook", QTime(12, 0), "#Mood:happy #travel #words", 0},
        {fixture("journal.txt"), "jrnl", QTime(8, 5), "@travel @words\nA second line.\n#starred",
         0},
        {fixture("jrnl.json"), "jrnl", QTime(8, 5), "@travel @words\nA second line.\n#starred", 0},
        {fixture("dayone.zip"), "dayone", QTime(8, 5), "#travel #words #starred", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        for (ManagedObject* e : entries()) {
            context_->deleteObject(e);
        }
        Error error;
        ASSERT_TRUE(context_->save(&error));
        ASSERT_NE(DiaryFormatImporter::detectFormat(c.path), nullptr);
        EXPECT_EQ(DiaryFormatImporter::detectFormat(c.path)->formatId(), c.format);
        const ImportReport first = import(c.path);
        EXPECT_TRUE(first.succeeded()) << first.summary().toStdString();
        EXPECT_EQ(first.imported, 3 + c.extra);
        ASSERT_EQ(entries().size(), std::size_t(3 + c.extra));
        for (const auto& [day, words] : kSampleDays) {
            int found = 0;
            for (ManagedObject* e : entries()) {
                const QDateTime local = e->timeStamp().toLocalTime();
                // jrnl keeps the words of the title line and the tags together.
                const QString text = QString(e->entryText())
                                         .remove(QStringLiteral(" @travel @words"))
                                         .remove(QStringLiteral(" @rtl"));
                if (local.date() == day && text.startsWith(words)) {
                    ++found;
                    EXPECT_EQ(e->monthTag(), day.year() * 100 + day.month());
                    if (day.month() == 2) {
                        EXPECT_EQ(local.time(), c.time);
                        EXPECT_TRUE(e->entryText().contains(c.tagsOfLeapDay))
                            << e->entryText().toStdString();
                    }
                }
            }
            EXPECT_EQ(found, 1) << day.toString(Qt::ISODate).toStdString();
        }
        const ImportReport second = import(c.path);
        EXPECT_EQ(second.imported, 0);
        EXPECT_EQ(second.alreadyThere, 3 + c.extra);
        EXPECT_EQ(entries().size(), std::size_t(3 + c.extra));
    }
}

// This diary's JSON export holds every entry's identifier, time with its
// offset, color tag and text, and comes back unchanged; the Markdown export
// holds every entry under its day.
TEST_F(DiaryImportTest, TheJsonExportComesBackAsItWasAndMarkdownHoldsEveryEntry) {
    ASSERT_TRUE(import(fixture("dayone.zip")).succeeded());
    std::vector<ExportedEntry> written = exportedEntries(entries());
    written[0].colorTag = 4;
    sortByDate(written);
    const QString json = makeTempDir() + QStringLiteral("/diary.json");
    QString error;
    ASSERT_TRUE(JsonExporter::write(written, json, &error)) << error.toStdString();
    EXPECT_EQ(modeOf(json), 0600);
    const QByteArray markdown = MarkdownExporter::markdownForEntries(written);
    for (const ExportedEntry& e : written) {
        EXPECT_TRUE(QString::fromUtf8(markdown).contains(e.text.split('\n').first()))
            << e.text.toStdString();
    }
    EXPECT_TRUE(markdown.contains("## Thursday, February 29, 2024\n\n### 08:05\n"));

    for (ManagedObject* e : entries()) {
        context_->deleteObject(e);
    }
    ASSERT_TRUE(import(json).succeeded());
    std::vector<ExportedEntry> back = exportedEntries(entries());
    sortByDate(back);
    ASSERT_EQ(back.size(), written.size());
    for (std::size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].uuid, written[i].uuid);
        EXPECT_EQ(back[i].date, written[i].date);
        EXPECT_EQ(back[i].colorTag, written[i].colorTag);
        EXPECT_EQ(back[i].text, written[i].text);
    }
    EXPECT_EQ(import(json).alreadyThere, int(written.size()));
}

// Bad input: a clear reason, and the diary as it was (or whole entries only).
TEST_F(DiaryImportTest, BadInputIsRefusedWithAReasonAndLeavesTheDiaryAsItWas) {
    const QString dir = makeTempDir();
    const auto file = [&](const QString& name, const QByteArray& bytes) {
        const QString path = dir + QLatin1Char('/') + name;
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_TRUE(writeBytes(path, bytes));
        return path;
    };
    QByteArray damagedDb = readBytes(fixture("almanah/diary.db"));
    damagedDb.replace(4096, 4096, QByteArray(4096, '\xff'));
    QByteArray zipped = readBytes(fixture("dayone.zip"));
    zipped.replace("Journal.json", "Other00.json");
    const QString json = QString::fromUtf8(JsonExporter::jsonForEntries({}));
    QFile::link(QStringLiteral("/dev/zero"), dir + QStringLiteral("/zero.txt"));
    struct Case {
        QString path, format, reason;
        int skipped;
    };
    const std::vector<Case> cases = {
        {file("a/diary.db.encrypted", "-----BEGIN PGP MESSAGE-----"), "", "is encrypted", 0},
        {dir + "/a", "", "is encrypted", 0},
        {file("damaged.db", damagedDb), "almanah", "damaged", 0},
        {file("text.db", "not a database"), "almanah", "not an Almanah diary", 0},
        {file("rn/2024-02.txt", "29: {text: 'open quote}\n"), "", "not valid YAML", 1},
        {file("rn2/2024-02.txt", "30: {text: hi}\n"), "", "not a day of the month", 1},
        {file("bad-date.txt", "[2024-02-30 08:00] no such day\nbody\n[2024-03-01 09:00] kept\n"),
         "", "is not a date", 1},
        {file("before.txt", "hello\n[2024-03-01 09:00] x\n"), "jrnl", "comes before any date line",
         0},
        {file("nojournal.zip", zipped), "", "holds no Journal.json", 0},
        {file("latin1.txt", "[2024-03-01 09:00] caf\xe9\n"), "", "not UTF-8", 0},
        {file("picture.png", "\x89PNG\r\n\x1a\n0000"), "", "none of the diaries", 0},
        {file("newer.json", json.toUtf8().replace("\"version\": 1", "\"version\": 9")), "",
         "newer Quillet2", 0},
        {file("broken.json", json.toUtf8().left(30)), "quillet", "not valid JSON", 0},
        {dir + "/zero.txt", "jrnl", "not a file that can be read", 0},
        {dir + "/missing", "", "does not exist", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const ImportReport report = import(c.path, c.format);
        EXPECT_FALSE(report.succeeded());
        EXPECT_TRUE(report.summary().contains(c.reason)) << report.summary().toStdString();
        EXPECT_EQ(report.skipped.size(), c.skipped);
        // Only the whole entry after the bad date line came in.
        EXPECT_EQ(entries().size(), std::size_t(c.path.endsWith("bad-date.txt") ? 1 : 0));
        for (ManagedObject* e : entries()) {
            EXPECT_EQ(e->entryText(), QStringLiteral("kept"));
            context_->deleteObject(e);
        }
    }
}

// Every length of each sample, and each sample with bytes flipped: no crash,
// and nothing read but whole entries with a real date (from the structured
// formats, only entries the whole sample holds).
TEST_F(DiaryImportTest, TruncatedAndFlippedSamplesGiveWholeEntriesOrAReason) {
    struct Case {
        QString file, format;
        bool structured;
    };
    const QString dir = makeTempDir();
    QString error;
    const QString json = dir + QStringLiteral("/export.json");
    ASSERT_TRUE(
        JsonExporter::write({{"A", QDateTime(QDate(2024, 2, 29), QTime(8, 5)), 2, "one\ntwo"},
                             {"B", QDateTime(QDate(2023, 1, 1), QTime(9, 0)), 0, "\u05e9"}},
                            json, &error));
    const std::vector<Case> cases = {
        {fixture("almanah/diary.db"), "almanah", true},
        {fixture("rednotebook/2024-02.txt"), "rednotebook", false},
        {fixture("journal.txt"), "jrnl", false},
        {fixture("jrnl.json"), "jrnl", true},
        {fixture("dayone.zip"), "dayone", true},
        {json, "quillet", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        const DiaryFormatImporter* format = DiaryFormatImporter::named(c.format);
        ASSERT_NE(format, nullptr);
        const ImportSource whole = format->read(c.file);
        ASSERT_TRUE(whole.error.isEmpty()) << whole.error.toStdString();
        QStringList texts;
        for (const ImportedEntry& e : whole.entries) {
            texts << e.text;
        }
        const QByteArray bytes = readBytes(c.file);
        const QString path = dir + QStringLiteral("/") + QFileInfo(c.file).fileName();
        // Every length of the small samples, about 200 lengths of the others.
        const qsizetype step = std::max<qsizetype>(1, bytes.size() / 200);
        std::vector<QByteArray> variants;
        for (qsizetype length = 0; length < bytes.size(); length += step) {
            variants.push_back(bytes.left(length));
        }
        for (qsizetype at = 0; at < bytes.size(); at += step * 3 + 1) {
            QByteArray flipped = bytes;
            flipped[at] = char(flipped[at] ^ 0x5a);
            variants.push_back(flipped);
        }
        for (const QByteArray& variant : variants) {
            // A new file each time: rewriting one in place waits for the disk.
            QFile::remove(path);
            ASSERT_TRUE(writeBytes(path, variant));
            const ImportSource read = format->read(path);
            for (const ImportedEntry& e : read.entries) {
                ASSERT_TRUE(e.date.isValid());
                if (c.structured && variant.size() < bytes.size()) {
                    ASSERT_TRUE(texts.contains(e.text))
                        << variant.size() << ": " << e.text.toStdString();
                }
            }
        }
    }
}

} // namespace
} // namespace quillet::test
