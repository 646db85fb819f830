// The day's copy of the diary: which copies are kept, that a copy is a whole
// diary with every row, private to the user, and that a day has one copy.
#include "DiaryFiles.h"
#include "StoreTestSupport.h"

#include "core/Clock.h"
#include "diary/DailyBackups.h"
#include "diary/DiaryStore.h"
#include "diary/Utility.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <gtest/gtest.h>

#include <QtEndian>
#include <sys/stat.h>

namespace quillet::test {
namespace {

std::set<QDate> keptOf(const std::vector<QDate>& dates) {
    return DailyBackups::datesToKeep(dates);
}

TEST(DailyBackups, SevenDaysAndTheLastCopyOfFourWeeksBeforeThemAreKept) {
    // Every day from September to Sunday 6 December 2026: the week from
    // Monday 30 November, then the Sundays of four weeks.
    std::vector<QDate> everyDay;
    for (QDate d(2026, 9, 1); d <= QDate(2026, 12, 6); d = d.addDays(1)) {
        everyDay.push_back(d);
    }
    std::set<QDate> expected;
    for (QDate d(2026, 11, 30); d <= QDate(2026, 12, 6); d = d.addDays(1)) {
        expected.insert(d);
    }
    for (int day : {29, 22, 15, 8}) {
        expected.insert(QDate(2026, 11, day));
    }
    EXPECT_EQ(keptOf(everyDay), expected);

    // Copies days or months apart: the seven newest, then one for each of
    // four weeks; in any order, repeated days and invalid dates ignored.
    const std::vector<QDate> sparse = {QDate(2026, 3, 1),   QDate(2026, 12, 6),
                                       QDate(2026, 12, 1),  QDate(2026, 11, 20),
                                       QDate(2026, 11, 19), QDate(2026, 10, 1),
                                       QDate(2026, 9, 1),   QDate(2026, 8, 1),
                                       QDate(2026, 7, 1),   QDate(2026, 6, 1),
                                       QDate(2026, 5, 1),   QDate(2026, 4, 1),
                                       QDate(2026, 12, 6),  QDate()};
    std::set<QDate> sparseKept(sparse.begin(), sparse.end() - 2);
    sparseKept.erase(QDate(2026, 3, 1));
    EXPECT_EQ(keptOf(sparse), sparseKept);

    // A week across the new year is one week: of 29 December 2026 and 2
    // January 2027 only the later is kept.
    std::vector<QDate> acrossTheYear = {QDate(2026, 12, 20), QDate(2026, 12, 29),
                                        QDate(2027, 1, 2)};
    for (int day = 1; day <= 7; ++day) {
        acrossTheYear.push_back(QDate(2027, 2, day));
    }
    std::set<QDate> acrossKept(acrossTheYear.begin() + 3, acrossTheYear.end());
    acrossKept.insert(QDate(2027, 1, 2));
    acrossKept.insert(QDate(2026, 12, 20));
    EXPECT_EQ(keptOf(acrossTheYear), acrossKept);

    EXPECT_TRUE(keptOf({}).empty());
    const std::vector<QDate> few = {QDate(2026, 1, 1), QDate(2025, 1, 1)};
    EXPECT_EQ(keptOf(few), std::set<QDate>(few.begin(), few.end()));
}

TEST(DailyBackups, ACopysNameCarriesItsDay) {
    EXPECT_EQ(DailyBackups::fileNameForDate(QDate(2026, 12, 6)),
              QStringLiteral("entries-2026-12-06.sqlite"));
    EXPECT_EQ(DailyBackups::dateOfFileName(QStringLiteral("entries-2026-12-06.sqlite")),
              QDate(2026, 12, 6));
    for (const char* other :
         {"entries-2026-13-01.sqlite", "entries-2026-12-06.sqlite.new-42", "entries.sqlite",
          "entries-2026-12-06.sqlite-wal", "notes-2026-12-06.sqlite"}) {
        EXPECT_FALSE(DailyBackups::dateOfFileName(QString::fromLatin1(other)).isValid()) << other;
    }
}

TEST(DailyBackups, ACopyIsAPrivateWholeDiaryAndADayHasOne) {
    ScopedUmask open(0);
    const QString folder = makeTempDir();
    const QString path = folder + QStringLiteral("/entries.sqlite");
    const QString backups = folder + QStringLiteral("/backups");
    ASSERT_TRUE(writeDiary(path, paddedEntries(30)));
    const QDate day(2026, 12, 6);
    const QString copy = backups + QStringLiteral("/entries-2026-12-06.sqlite");
    {
        // Taken from the diary while it is open, with its last save still in the log.
        Error error;
        std::unique_ptr<PersistentStore> store = PersistentStore::open(path, {}, &error);
        ASSERT_TRUE(store) << error.localizedDescription.toStdString();
        const EntryValues late =
            entryValues(QStringLiteral("LATE"), QStringLiteral("saved late"), 2, 202612, 1.8e9);
        PersistentStore::Changes changes;
        changes.inserted.push_back(&late);
        ASSERT_TRUE(store->save(changes, nullptr, &error));

        // Left by a copy that was killed half-way.
        ASSERT_TRUE(QDir().mkpath(backups));
        ASSERT_TRUE(
            writeBytes(backups + QStringLiteral("/entries-2026-12-05.sqlite.new-4242"), "half"));
        ASSERT_TRUE(writeBytes(
            backups + QStringLiteral("/entries-2026-12-05.sqlite.new-4242-journal"), "j"));
        DailyBackups daily(path, backups);
        EXPECT_TRUE(daily.backUpIfDue(day));
        daily.wait();
        EXPECT_FALSE(daily.backUpIfDue(day));
    }
    EXPECT_EQ(modeOf(backups), 0700);
    EXPECT_EQ(modeOf(copy), 0600);
    EXPECT_EQ(folderNames(backups), QStringList{QStringLiteral("entries-2026-12-06.sqlite")});
    // A diary file of this format, with every row.
    const QByteArray header = readBytes(copy).left(100);
    ASSERT_EQ(header.size(), 100);
    EXPECT_EQ(qFromBigEndian<qint32>(header.constData() + 60), PersistentStore::kSchemaVersion);
    EXPECT_EQ(rawCount(copy, "uuid = 'LATE'"), 1);
    {
        // Restored as the README says: copied over a diary's file.
        const QString restoredPath = makeTempDir() + QStringLiteral("/entries.sqlite");
        ASSERT_TRUE(QFile::copy(copy, restoredPath));
        Error error;
        std::unique_ptr<PersistentStore> restored = PersistentStore::open(restoredPath, {}, &error);
        ASSERT_TRUE(restored) << error.localizedDescription.toStdString();
        EXPECT_EQ(restored->takeLoadedRows().size(), 31u);
    }

    // Launched again the same day, after more was written: the day's copy stays as it was.
    ASSERT_TRUE(writeDiary(path, paddedEntries(5)));
    {
        DailyBackups again(path, backups);
        again.backUpIfDue(day);
    }
    EXPECT_EQ(rawCount(copy), 31);

    // Twelve days on: the copies kept are exactly those retention names.
    std::vector<QDate> days = {day};
    for (int i = 1; i <= 12; ++i) {
        DailyBackups daily(path, backups);
        days.push_back(day.addDays(i));
        EXPECT_TRUE(daily.backUpIfDue(days.back()));
    }
    QStringList expected;
    for (const QDate& kept : DailyBackups::datesToKeep(days)) {
        expected << DailyBackups::fileNameForDate(kept);
    }
    EXPECT_EQ(folderNames(backups).join(QLatin1Char(' ')).toStdString(),
              expected.join(QLatin1Char(' ')).toStdString());
    EXPECT_EQ(expected.size(), 9); // seven days, then the last of each of the two weeks before them
}

TEST(DailyBackups, ACopyThatFailsItsCheckIsNotKeptAndRetiresNoSoundOne) {
    const QString folder = makeTempDir();
    const QString sound = folder + QStringLiteral("/sound.sqlite");
    ASSERT_TRUE(writeDiary(sound, paddedEntries(60)));
    // Damage no open or copy reads: the identifier index's root.
    QByteArray bytes = readBytes(sound);
    const int pageSize = (uchar(bytes[16]) << 8) | uchar(bytes[17]);
    const int root = rootPage(bytes, "entry_uuid");
    ASSERT_GT(root, 1);
    bytes[qsizetype(root - 1) * pageSize] = 0x42;
    const QString damaged = folder + QStringLiteral("/entries.sqlite");
    ASSERT_TRUE(writeBytes(damaged, bytes));

    // A week of sound copies, then forty days of a damaged diary.
    const QString backups = folder + QStringLiteral("/backups");
    ASSERT_TRUE(QDir().mkpath(backups));
    QStringList soundCopies;
    for (QDate day(2026, 11, 1); day <= QDate(2026, 11, 7); day = day.addDays(1)) {
        soundCopies << DailyBackups::fileNameForDate(day);
        ASSERT_TRUE(QFile::copy(sound, backups + QLatin1Char('/') + soundCopies.back()));
    }
    for (QDate day(2026, 11, 8); day <= QDate(2026, 12, 17); day = day.addDays(1)) {
        DailyBackups daily(damaged, backups);
        daily.backUpIfDue(day);
    }
    EXPECT_EQ(folderNames(backups), soundCopies);
}

TEST(DailyBackups, TheDiaryIsCopiedAtLaunchAndAtTheFirstSaveOfANewDay) {
    ScopedDiaryHome home;
    QDateTime now(QDate(2026, 12, 6), QTime(23, 59));
    Clock::setNowForTesting([&now] { return now; });
    const QString backups = home.storeFolder() + QStringLiteral("/backups");
    {
        DiaryStore diary(&Utility::sharedUtility()->storeLocations(), nullptr);
        ManagedObjectContext* context = diary.managedObjectContext();
        ASSERT_TRUE(diary.backups());
        EXPECT_EQ(diary.backups()->folder(), backups);
        diary.backups()->wait();
        EXPECT_EQ(folderNames(backups), QStringList{QStringLiteral("entries-2026-12-06.sqlite")});

        ManagedObject* entry = context->insertNewObject(QStringLiteral("Entry"));
        entry->setValue(QStringLiteral("AFTER"), QStringLiteral("uuid"));
        ASSERT_TRUE(diary.flushUnsavedChanges());
        diary.backups()->wait();
        EXPECT_EQ(folderNames(backups).size(), 1);

        now = now.addSecs(120);
        entry->setValue(QStringLiteral("after midnight"), QStringLiteral("entryText"));
        ASSERT_TRUE(diary.flushUnsavedChanges());
        diary.backups()->wait();
    }
    Clock::setNowForTesting({});
    EXPECT_EQ(folderNames(backups), (QStringList{QStringLiteral("entries-2026-12-06.sqlite"),
                                                 QStringLiteral("entries-2026-12-07.sqlite")}));
    EXPECT_EQ(rawCount(backups + QStringLiteral("/entries-2026-12-06.sqlite")), 0);
    EXPECT_EQ(rawCount(backups + QStringLiteral("/entries-2026-12-07.sqlite"),
                       "entryText = 'after midnight'"),
              1);
}

} // namespace
} // namespace quillet::test
