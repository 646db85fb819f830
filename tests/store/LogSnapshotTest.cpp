// A writer folds its own older logs into a snapshot once every writer the
// container knows has applied them: a diary starting from nothing reads the
// snapshot and the newer logs and ends as the writers are, and a log that a
// known writer has not applied yet stays.
#include "CloudMachine.h"
#include "DiaryFiles.h"
#include "TestSupport.h"

#include "store/PersistentStore.h"
#include "store/SqliteDatabase.h"
#include "store/cloud/CloudTables.h"
#include "store/cloud/LogExchange.h"

#include <gtest/gtest.h>

#include <QDir>
#include <sqlite3.h>

namespace quillet::test {
namespace {

using namespace cloud;

// Folds after three logs, and checks that every round could run.
struct Machine : test::Machine {
    explicit Machine(const QString& container) : test::Machine(makeTempDir(), container) {
        exchange->setFoldAfter(3);
    }
    void sync() {
        AppliedChanges changes;
        EXPECT_TRUE(exchange->exchange(&changes));
    }
};

void syncAll(std::initializer_list<Machine*> machines) {
    for (Machine* m : machines)
        m->sync();
}

// The others hold the diary the first one holds; answers that diary.
QStringList expectSameDiary(Machine& first, std::initializer_list<Machine*> others) {
    const QStringList expected = first.diary();
    for (Machine* m : others)
        EXPECT_EQ(m->diary(), expected);
    return expected;
}

QString entry(int i) {
    return QStringLiteral("7B2C0F1A-3333-4D5E-8F90-%1").arg(i, 12, 10, QLatin1Char('0'));
}

TEST(LogSnapshot, FoldedLogsWaitForEveryKnownWriterAndAFreshDiaryEndsIdenticalToTheWriters) {
    const QString container = makeTempDir();
    Machine laptop(container), desktop(container), tablet(container);
    // Everybody is known before anything is written.
    syncAll({&laptop, &desktop, &tablet});
    ASSERT_EQ(QDir(container + QStringLiteral("/WriterState")).entryList(QDir::Files).size(), 3);

    // Four logs of the laptop's: entries, an edit, a re-tag, a trash; and
    // the same entry edited on the desktop meanwhile, so that a conflicting
    // copy exists and must survive the folding.
    laptop.save(entry(1), "one");
    laptop.save(entry(2), "two");
    laptop.sync();
    desktop.sync();
    laptop.save(entry(1), "one, as the laptop has it");
    desktop.save(entry(1), "one, as the desktop has it");
    laptop.sync();
    laptop.save(entry(2), "two", 4);
    laptop.sync();
    laptop.save(entry(3), "three");
    laptop.sync();
    laptop.trash(entry(3));
    laptop.sync();
    desktop.sync();
    laptop.sync();

    // The tablet has applied nothing: every log stays, no snapshot.
    auto count = [&](const QString& pattern) {
        return int(writerFiles(container, pattern).size());
    };
    const int logs = count(QStringLiteral("*.qlog"));
    EXPECT_GE(logs, 6);
    EXPECT_EQ(count(QStringLiteral("*.qsnap")), 0);

    // Once the tablet has applied them too, the laptop folds its own.
    tablet.sync();
    laptop.sync();
    desktop.sync();
    EXPECT_EQ(count(QStringLiteral("*.qsnap")), 1) << "the laptop's; the desktop has one log only";
    EXPECT_LT(count(QStringLiteral("*.qlog")), logs);

    // Later changes go out as logs after the snapshot.
    laptop.save(entry(4), "four");
    laptop.sync();
    desktop.save(entry(2), "two, rewritten on the desktop", 5);
    desktop.sync();
    syncAll({&laptop, &desktop, &tablet});

    Machine fresh(container);
    syncAll({&fresh, &fresh});
    const QStringList expected = expectSameDiary(laptop, {&desktop, &tablet, &fresh});
    EXPECT_EQ(expected.size(), 3 + 1) << "four entries, one trashed, and the conflicting copy";
    EXPECT_EQ(expected.filter(QStringLiteral("Conflicting copy")).size(), 1);
}

// Bytes of a writer's folder: its snapshot and the logs it has not folded.
qint64 folderBytes(const QString& container, const QUuid& writer) {
    qint64 bytes = 0;
    const QDir dir(container + QStringLiteral("/TransactionLogs/") +
                   writer.toString(QUuid::WithoutBraces));
    for (const QFileInfo& file : dir.entryInfoList(QDir::Files))
        bytes += file.size();
    return bytes;
}

TEST(LogSnapshot, AWritersFoldedStateGrowsWithTheDiaryNotWithItsSaves) {
    const QString container = makeTempDir();
    Machine laptop(container), desktop(container);
    laptop.sync();
    desktop.sync();
    laptop.save(entry(1), "a page");
    laptop.save(entry(2), "another page");
    // One entry saved again and again, each save a log the desktop applies;
    // an old log of the laptop's is kept to be delivered again at the end.
    const QUuid writer = QUuid::fromString(QString::fromUtf8(
        rawQuery(laptop.path, "SELECT value FROM cloudState WHERE name = 'storeId'")));
    QByteArray oldLog;
    qint64 after25 = 0;
    for (int save = 1; save <= 100; ++save) {
        laptop.save(entry(1), QByteArray("a page, saved ") + QByteArray::number(save));
        laptop.sync();
        if (save == 3) {
            oldLog = readBytes(container + QStringLiteral("/TransactionLogs/") +
                               writer.toString(QUuid::WithoutBraces) + QLatin1Char('/') +
                               changeLogFileName(2));
        }
        desktop.sync();
        if (save == 25)
            after25 = folderBytes(container, writer);
    }
    laptop.sync();
    ASSERT_GT(after25, 0);
    EXPECT_LT(folderBytes(container, writer), after25 * 3 / 2)
        << "100 saves take no more room than 25";

    // A diary joining now, and the desktop handed an old log again: both
    // hold the diary as the laptop does, and no old text comes back as a copy.
    ASSERT_FALSE(oldLog.isEmpty());
    ChangeLog old;
    QByteArray oldPlain;
    ASSERT_TRUE(openSealed(oldLog, *ContainerKey::forContainer(container)->heldKey(),
                           SealedKind::Log, writer, 2, &oldPlain, nullptr));
    ASSERT_EQ(decodeChangeLog(oldPlain, &old, nullptr), DecodeStatus::Ok);
    SqliteDatabase db;
    ASSERT_TRUE(db.open(desktop.path, SQLITE_OPEN_READWRITE, nullptr));
    ASSERT_TRUE(applyChangeLog(db, old, nullptr, nullptr));
    Machine fresh(container);
    syncAll({&fresh, &fresh});
    EXPECT_EQ(expectSameDiary(laptop, {&desktop, &fresh}).size(), 2);
}

TEST(LogSnapshot, AStateOfAnUnknownFormatHoldsTheLogsAndADamagedSnapshotWaitsUntilWhole) {
    const QString container = makeTempDir();
    Machine laptop(container);
    laptop.sync();
    const QString writer =
        QDir(container + QStringLiteral("/WriterState")).entryList(QDir::Files).value(0).chopped(5);
    const QString folder = container + QStringLiteral("/TransactionLogs/") + writer;
    // Another machine's state, written sealed as it would: first of a newer
    // Quillet, not read, so it counts as having applied nothing, and nothing is folded.
    const QString otherId = QStringLiteral("2d7e4c1a-0b9f-4e3d-8c2b-5a6f7e8d9c0b");
    const DiaryKey key = *ContainerKey::forContainer(container)->heldKey();
    auto writeOtherState = [&](int format, int applied) {
        const QString json =
            QStringLiteral("{\"format\":%1,\"writer\":\"%2\",\"applied\":{\"%3\":%4}}")
                .arg(format)
                .arg(otherId, writer)
                .arg(applied);
        return writeBytes(
            container + QStringLiteral("/WriterState/") + otherId + QStringLiteral(".json"),
            seal(key, SealedKind::WriterState, QUuid::fromString(otherId), 0, json.toUtf8()));
    };
    ASSERT_TRUE(writeOtherState(2, 99));
    {
        LogCapture log;
        for (int i = 1; i <= 5; ++i) {
            laptop.save(entry(i), "an entry");
            laptop.sync();
        }
        EXPECT_EQ(
            log.lines().filter(QStringLiteral("is not a writer state this version reads")).size(),
            1);
    }
    auto named = [&](const char* pattern) {
        return QDir(folder).entryList({QString::fromLatin1(pattern)}, QDir::Files);
    };
    EXPECT_EQ(named("*.qsnap").size(), 0);
    EXPECT_EQ(named("*.qlog").size(), 5);

    // The same machine after an update has applied four of them.
    ASSERT_TRUE(writeOtherState(1, 4));
    laptop.sync();
    EXPECT_EQ(named("*.qsnap"), QStringList{QStringLiteral("0000000000000004.qsnap")});
    EXPECT_EQ(named("*.qlog"), QStringList{QStringLiteral("0000000000000005.qlog")});

    // Half copied: skipped once, nothing applied, not even the newer log.
    const QString snapshot = folder + QStringLiteral("/0000000000000004.qsnap");
    const QByteArray whole = readBytes(snapshot);
    ASSERT_TRUE(writeBytes(snapshot, whole.left(whole.size() / 2)));
    Machine fresh(container);
    {
        LogCapture log;
        syncAll({&fresh, &fresh});
        EXPECT_EQ(log.lines().filter(QStringLiteral("skipped the snapshot")).size(), 1);
    }
    EXPECT_TRUE(fresh.diary().isEmpty());
    ASSERT_TRUE(writeBytes(snapshot, whole));
    fresh.sync();
    EXPECT_EQ(fresh.diary(), laptop.diary());
    EXPECT_EQ(fresh.diary().size(), 5);
}

TEST(LogSnapshot, ACopyInASnapshotWhoseTextWasWrittenOverElsewhereGoesOnAFreshDiaryToo) {
    const QString container = makeTempDir();
    Machine laptop(container), desktop(container), tablet(container);
    syncAll({&laptop, &desktop, &tablet});
    laptop.save(entry(1), "base");
    laptop.save(entry(2), "two");
    laptop.sync();
    laptop.save(entry(3), "three");
    laptop.sync();
    desktop.sync();
    tablet.sync();
    laptop.save(entry(1), "written on the laptop");
    laptop.sync();
    tablet.sync(); // the tablet sees the laptop's text
    desktop.save(entry(1), "written on the desktop");
    desktop.sync();
    // The laptop's text loses and is kept as a copy; the laptop folds its
    // logs with that copy in the snapshot.
    laptop.sync();
    const QStringList folded = writerFiles(container, QStringLiteral("*.qsnap"));
    ASSERT_EQ(folded.size(), 1) << "the laptop folded its logs";
    const QString folder = QFileInfo(folded[0]).absolutePath();
    ASSERT_EQ(laptop.diary().filter(QStringLiteral("written on the laptop")).size(), 1)
        << "as a copy";
    // The tablet writes over the laptop's text: seen and replaced, so the copy goes.
    tablet.save(entry(1), "written on the tablet");
    tablet.sync();

    // A fresh diary learns that from the tablet before it reads the laptop's snapshot.
    Machine fresh(container);
    const QString aside = folder + QStringLiteral(".aside");
    ASSERT_TRUE(QDir().rename(folder, aside));
    fresh.sync();
    ASSERT_TRUE(QDir().rename(aside, folder));
    fresh.sync();
    for (int round = 0; round < 2; ++round)
        syncAll({&laptop, &desktop, &tablet, &fresh});
    const QStringList expected = expectSameDiary(laptop, {&desktop, &tablet, &fresh});
    EXPECT_EQ(expected.filter(QStringLiteral("written on the laptop")).size(), 0);
    EXPECT_EQ(expected.filter(QStringLiteral("Conflicting copy")).size(), 1)
        << "the desktop's only";
}

TEST(LogSnapshot, ARetiredWriterIsNotWaitedForAndWhatItNeverWroteOutGoesOutFirst) {
    const QString container = makeTempDir();
    Machine laptop(container), desktop(container), abandoned(container);
    syncAll({&laptop, &desktop, &abandoned});
    // Saved on the file that will be opened no more, never written out.
    abandoned.save(entry(9), "nine, saved just before the last quit");
    for (int i = 1; i <= 4; ++i) {
        laptop.save(entry(i), "laptop");
        laptop.sync();
    }
    desktop.sync();
    laptop.sync();
    auto snapshots = [&] { return writerFiles(container, QStringLiteral("*.qsnap")).size(); };
    auto writers = [&] {
        return readExchangeStatus(laptop.path, container,
                                  ContainerKey::forContainer(container)->heldKey())
            .writers;
    };
    EXPECT_EQ(snapshots(), 0) << "the abandoned file has applied nothing";
    EXPECT_EQ(writers(), 3);

    ASSERT_TRUE(abandoned.exchange->retire());
    desktop.sync();
    laptop.sync();
    EXPECT_EQ(snapshots(), 1) << "the laptop folds without waiting for a retired writer";
    EXPECT_EQ(writers(), 2);
    Machine fresh(container);
    fresh.sync();
    EXPECT_EQ(expectSameDiary(laptop, {&desktop, &fresh})
                  .filter(QStringLiteral("nine, saved just before"))
                  .size(),
              1);
}

} // namespace
} // namespace quillet::test
