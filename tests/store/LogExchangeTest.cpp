// Two diaries exchanging change logs through one shared container folder, as
// a sync engine would keep it on two machines: what one saves the other
// applies, nothing saved escapes the log, and whatever the folder holds
// besides whole logs is skipped, said once and tried again later (which names
// are logs, and what a log holds, is ChangeLogTest's).
#include "CloudMachine.h"
#include "DiaryFiles.h"
#include "TestSupport.h"

#include "core/PrivateFile.h"
#include "store/PersistentStore.h"
#include "store/cloud/ClockSkew.h"
#include "store/cloud/LogExchange.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <unistd.h>

namespace quillet::test {
namespace {

using namespace cloud;

const QString kFirst = QStringLiteral("0C3A7F2E-1111-4C5D-9E2F-000000000001");
const QString kSecond = QStringLiteral("0C3A7F2E-1111-4C5D-9E2F-000000000002");
const QString kThird = QStringLiteral("0C3A7F2E-1111-4C5D-9E2F-000000000003");

// Two machines sharing one container.
class LogExchange : public ::testing::Test {
protected:
    const QString container = makeTempDir();
    Machine a{makeTempDir(), container}, b{makeTempDir(), container};
};

TEST_F(LogExchange, WhatOneDiarySavesTheOtherApplies) {

    a.insert(kFirst, "written on the laptop", 2);
    ASSERT_EQ(writerFiles(container).size(), 0)
        << "the log is written by the exchange, after the commit";
    a.sync();
    const QStringList written = writerFiles(container);
    ASSERT_EQ(written.size(), 1);
    EXPECT_TRUE(written[0].endsWith(QStringLiteral("/0000000000000001.qlog")))
        << written[0].toStdString();

    AppliedChanges changes = b.sync();
    std::optional<StoreRow> inB = b.row(kFirst);
    ASSERT_TRUE(inB);
    EXPECT_EQ(inB->values.entryText, "written on the laptop");
    EXPECT_EQ(inB->values.colorTag, 2);
    EXPECT_EQ(inB->values.monthTag, 201203);
    EXPECT_EQ(changes.inserted, QSet<qint64>{inB->key});
    EXPECT_TRUE(changes.updated.isEmpty() && changes.deleted.isEmpty());
    EXPECT_TRUE(b.sync().isEmpty()) << "a log is applied once";
    EXPECT_TRUE(a.sync().isEmpty()) << "and a writer never applies its own";

    // A trash reaches the other diary as a deletion of its row.
    const qint64 keyInB = b.row(kFirst)->key;
    const QByteArray trashedText = a.row(kFirst)->values.entryText;
    a.trash(kFirst);
    a.sync();
    changes = b.sync();
    EXPECT_FALSE(b.row(kFirst));
    EXPECT_EQ(changes.deleted, QSet<qint64>{keyInB});

    // Put back (undo of the trash): back on the other diary too, as it was,
    // and no conflicting copy of its own text.
    const std::size_t rowsBefore = b.rows().size();
    a.insert(kFirst, trashedText.constData(), 5);
    a.sync();
    changes = b.sync();
    ASSERT_TRUE(b.row(kFirst));
    EXPECT_EQ(b.row(kFirst)->values.entryText, trashedText);
    EXPECT_EQ(b.rows().size(), rowsBefore + 1);
    EXPECT_EQ(changes.inserted.size(), 1);
}

TEST_F(LogExchange, SavingTheSameTextAgainAndAgainBeforeALogLeavesNoTrail) {
    a.insert(kFirst, "t");
    for (int i = 0; i < 20; ++i) {
        a.update(kFirst, [i](EntryValues& v) { v.entryText = "typing " + QByteArray::number(i); });
    }
    SqliteDatabase db;
    ASSERT_TRUE(db.open(a.path, SQLITE_OPEN_READWRITE, nullptr));
    qint64 superseded = -1, pending = -1;
    ASSERT_TRUE(db.queryInteger("SELECT count(*) FROM textSuperseded", &superseded, nullptr));
    ASSERT_TRUE(db.queryInteger("SELECT count(*) FROM outbox", &pending, nullptr));
    EXPECT_EQ(superseded, 0) << "no version in between ever left the machine";
    EXPECT_EQ(pending, 1);
    // Once logged, the next edit records what it wrote over.
    a.sync();
    a.update(kFirst, [](EntryValues& v) { v.entryText = "after the log"; });
    ASSERT_TRUE(db.queryInteger("SELECT count(*) FROM textSuperseded", &superseded, nullptr));
    EXPECT_EQ(superseded, 1);
}

TEST_F(LogExchange, ASaveNotYetLoggedIsLoggedAtTheNextLaunch) {
    a.insert(kFirst, "saved, then the process ended");
    a.close(); // no exchange ran between the commit and the end
    EXPECT_TRUE(writerFiles(container).isEmpty());
    a.open(container);
    a.sync();
    b.sync();
    ASSERT_TRUE(b.row(kFirst));
    EXPECT_EQ(b.row(kFirst)->values.entryText, "saved, then the process ended");
}

TEST_F(LogExchange, DamagedFilesAreSkippedOnceAndRetriedWhenWhole) {
    a.insert(kFirst, "first");
    a.sync();
    a.insert(kSecond, "second");
    a.sync();
    const QStringList files = writerFiles(container);
    ASSERT_EQ(files.size(), 2);
    const QString first = files[0], second = files[1];
    const QByteArray whole = readBytes(first);

    // Each replacement as a sync engine makes it: other bytes, another time.
    int replaced = 0;
    auto replace = [&](const QByteArray& bytes) {
        QFile::remove(first);
        ASSERT_TRUE(writeBytes(first, bytes));
        ASSERT_TRUE(setModified(first, ++replaced));
    };
    struct Damage {
        const char* name;
        QByteArray bytes; // empty: a link to a device that never ends
        const char* said;
    };
    QByteArray flipped = whole;
    flipped[60] = char(flipped[60] ^ 1);
    QByteArray newer = whole;
    newer[8] = 9;
    const std::vector<Damage> damages = {
        {"truncated", whole.left(whole.size() - 10), "ends after"},
        {"altered", flipped, "altered"},
        {"unknown version", newer, "format version 9"},
        {"link to /dev/urandom", {}, "not a regular file"},
    };
    for (const Damage& d : damages) {
        if (d.bytes.isEmpty()) {
            QFile::remove(first);
            ASSERT_TRUE(QFile::link(QStringLiteral("/dev/urandom"), first));
        } else {
            replace(d.bytes);
        }
        LogCapture log;
        EXPECT_TRUE(b.sync().isEmpty()) << d.name;
        EXPECT_TRUE(b.sync().isEmpty()) << d.name;
        EXPECT_FALSE(b.row(kFirst)) << d.name;
        EXPECT_FALSE(b.row(kSecond)) << d.name << ": a later log waits for the one before it";
        const QStringList lines = log.lines().filter(QStringLiteral("skipped the change log"));
        ASSERT_EQ(lines.size(), 1) << d.name << ": said once, not at every rescan";
        EXPECT_TRUE(lines[0].contains(QString::fromLatin1(d.said))) << lines[0].toStdString();
    }
    {
        // A refused file is read again only once its size or time changed.
        replace(flipped);
        b.sync();
        const PrivateFile::Seen refused = PrivateFile::look(first);
        ASSERT_TRUE(writeBytes(first, whole));
        ASSERT_TRUE(setModified(first, replaced));
        ASSERT_EQ(PrivateFile::look(first), refused);
        EXPECT_TRUE(b.sync().isEmpty()) << "not read again";
    }
    {
        // Absurdly large: refused by its size, without being read.
        replace({});
        QFile big(first);
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(kMaxChangeLogBytes + 1));
        big.close();
        LogCapture log;
        EXPECT_TRUE(b.sync().isEmpty());
        EXPECT_EQ(log.lines().filter(QStringLiteral("more than any log")).size(), 1);
    }
    // Whole again (the sync engine finished): both logs apply, in order.
    replace(whole);
    LogCapture log;
    const AppliedChanges changes = b.sync();
    EXPECT_EQ(changes.inserted.size(), 2);
    EXPECT_TRUE(b.row(kFirst) && b.row(kSecond));
    EXPECT_TRUE(log.lines().isEmpty()) << log.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(QFileInfo::exists(second));
}

TEST_F(LogExchange,
       AFolderThatIsNoWriterOrUnreadableIsSkippedAndAVanishedContainerStopsTheExchange) {
    ASSERT_TRUE(QDir().mkpath(container + QStringLiteral("/TransactionLogs/not-a-writer")));
    // A writer's folder that is a link out of the container is never read.
    const QString elsewhere = makeTempDir();
    Machine outside(makeTempDir(), elsewhere);
    outside.insert(kSecond, "from outside the container");
    outside.sync();
    const QString outsideLogs = QFileInfo(writerFiles(elsewhere)[0]).absolutePath();
    ASSERT_TRUE(QFile::link(outsideLogs, container + QStringLiteral("/TransactionLogs/") +
                                             QFileInfo(outsideLogs).fileName()));
    a.insert(kFirst, "first");
    {
        LogCapture log;
        a.sync();
        b.sync();
        b.sync();
        EXPECT_EQ(log.lines().filter(QStringLiteral("not a writer's folder")).size(), 4)
            << "each once per machine";
    }
    ASSERT_TRUE(b.row(kFirst));
    EXPECT_FALSE(b.row(kSecond));

    if (::geteuid() != 0) { // root reads any folder
        const QString writer = QFileInfo(writerFiles(container)[0]).absolutePath();
        a.insert(kSecond, "second");
        a.sync();
        ASSERT_TRUE(QFile::setPermissions(writer, QFileDevice::Permissions()));
        LogCapture log;
        b.sync();
        EXPECT_FALSE(b.row(kSecond));
        EXPECT_EQ(log.lines().filter(QStringLiteral("can't be read")).size(), 1);
        QFile::setPermissions(writer, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        b.sync();
        EXPECT_TRUE(b.row(kSecond));
    }

    // Signed out: the container is gone. Said once; the diary keeps saving
    // locally, and nothing makes the container again.
    ASSERT_TRUE(QDir(container).removeRecursively());
    LogCapture log;
    a.insert(kThird, "while signed out");
    AppliedChanges none;
    EXPECT_FALSE(a.exchange->exchange(&none));
    EXPECT_FALSE(a.exchange->exchange(&none));
    EXPECT_EQ(log.lines().filter(QStringLiteral("is gone")).size(), 1);
    EXPECT_FALSE(QFileInfo::exists(container));
    EXPECT_TRUE(a.row(kThird));
    // Back again: what was saved meanwhile goes out.
    ASSERT_TRUE(QDir().mkpath(container));
    a.sync();
    b.sync();
    EXPECT_TRUE(b.row(kThird));
}

TEST(LogExchangeFolders, UnderUmaskZeroTheContainerIsOwnerOnlyAndItsOwnFolderNeverALink) {
    ScopedUmask umask(0);
    const QString container = makeTempDir();
    Machine a(makeTempDir(), container), b(makeTempDir(), container);
    a.exchange->setFoldAfter(2);
    b.exchange->setFoldAfter(2);
    for (const char* text : {"one", "two", "three"}) {
        a.save(kFirst, text);
        a.sync();
        b.sync();
    }
    a.sync();
    QDirIterator items(container,
                       QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories);
    QStringList seen;
    while (items.hasNext()) {
        const QString item = items.next();
        seen << QFileInfo(item).suffix();
        EXPECT_EQ(modeOf(item), QFileInfo(item).isDir() ? 0700 : 0600) << item.toStdString();
    }
    EXPECT_TRUE(seen.contains(QStringLiteral("qsnap")) && seen.contains(QStringLiteral("json")))
        << seen.join(QLatin1Char(' ')).toStdString();

    // Its own folder replaced by a link: nothing is written where it points, and it says so.
    const QString own = QFileInfo(writerFiles(container).constFirst()).absolutePath();
    const QString elsewhere = makeTempDir();
    ASSERT_TRUE(QDir(own).removeRecursively());
    ASSERT_TRUE(QFile::link(elsewhere, own));
    a.save(kFirst, "four");
    LogCapture log;
    a.sync();
    a.sync();
    EXPECT_TRUE(folderNames(elsewhere).isEmpty());
    EXPECT_EQ(log.lines().filter(QStringLiteral("not a folder of this user's own (a link)")).size(),
              1)
        << log.lines().join(QLatin1Char('\n')).toStdString();
}

TEST_F(LogExchange, AClockAnHourAheadIsToldOnceAndCarriesNoOtherClockAlong) {
    Machine& here = a;
    here.insert(kSecond, "here");
    here.sync();
    // Another machine, whose clock runs an hour ahead, re-tags and writes.
    const QUuid ahead = QUuid::createUuid();
    const qint64 hourAhead = QDateTime::currentMSecsSinceEpoch() + 3'600'000;
    const DiaryKey key = *ContainerKey::forContainer(container)->heldKey();
    auto logFromAhead = [&](quint64 sequence, const QString& uuid) {
        ChangeLog log;
        log.writer = ahead;
        log.sequence = sequence;
        EntryState e;
        e.uuid = uuid;
        e.text = e.color = e.moment = Stamp{quint64(hourAhead + qint64(sequence)) << 16, ahead};
        e.hasText = true;
        e.entryText = "from a clock an hour ahead";
        e.colorTag = 3;
        e.hasTimeStamp = true;
        e.timeStamp = 1330956429;
        e.monthTag = 201203;
        log.entries.push_back(e);
        ASSERT_TRUE(writeBytes(container + QStringLiteral("/TransactionLogs/") +
                                   ahead.toString(QUuid::WithoutBraces) + QLatin1Char('/') +
                                   changeLogFileName(sequence),
                               seal(key, SealedKind::Log, ahead, sequence, encodeChangeLog(log))));
    };
    ASSERT_TRUE(QDir().mkpath(container + QStringLiteral("/TransactionLogs/") +
                              ahead.toString(QUuid::WithoutBraces)));
    LogCapture log;
    logFromAhead(1, kFirst);
    here.sync();
    logFromAhead(2, kThird);
    here.sync();
    EXPECT_EQ(log.lines().filter(QStringLiteral("minutes ahead")).size(), 1) << "told once";
    const ExchangeStatus status = readExchangeStatus(here.path, container, key);
    EXPECT_GE(status.otherClockAheadMinutes, 59);
    EXPECT_LE(status.otherClockAheadMinutes, 60);
    const QString self = QString::fromUtf8(
        rawQuery(here.path, "SELECT value FROM cloudState WHERE name = 'storeId'"));
    QByteArray state;
    ASSERT_TRUE(openSealed(
        readBytes(container + QStringLiteral("/WriterState/") + self + QStringLiteral(".json")),
        key, SealedKind::WriterState, QUuid::fromString(self), 0, &state, nullptr));
    EXPECT_TRUE(state.contains(ahead.toString(QUuid::WithoutBraces).toUtf8()))
        << "the others tell that machine so";

    // This machine's clock stays its own: a change to another entry is
    // stamped now. One made over the future stamp still comes after it.
    here.update(kSecond, [](EntryValues& v) { v.colorTag = 5; });
    here.update(kFirst, [](EntryValues& v) { v.colorTag = 1; });
    auto stamps = [&](const QString& uuid) {
        EntryState entry;
        EXPECT_TRUE(decodeEntryState(
            QByteArray::fromBase64(rawQuery(
                here.path,
                qPrintable(
                    QStringLiteral("SELECT state FROM entryClock WHERE uuid = '%1'").arg(uuid)))),
            &entry));
        return entry;
    };
    EXPECT_LT(qint64(stamps(kSecond).color.clock >> 16),
              QDateTime::currentMSecsSinceEpoch() + kClockLeewayMilliseconds);
    EXPECT_GT(stamps(kFirst).color, stamps(kFirst).text);
}

TEST_F(LogExchange, ACopyOfADiaryFileIsANewWriterAndStillHearsTheOriginal) {
    a.insert(kFirst, "before the copy");
    a.sync();
    a.close();
    // The file copied to another machine (or a backup put back in its place).
    const QString copyFolder = makeTempDir();
    ASSERT_TRUE(QFile::copy(a.path, copyFolder + QStringLiteral("/entries.sqlite")));
    a.open(container);
    Machine copy(copyFolder, container);
    EXPECT_TRUE(copy.row(kFirst));

    a.insert(kSecond, "on the original");
    copy.insert(kThird, "on the copy");
    a.sync();
    copy.sync();
    a.sync();
    QStringList writers = QDir(container + QStringLiteral("/TransactionLogs"))
                              .entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    EXPECT_EQ(writers.size(), 2) << "the copy writes under an id of its own";
    for (Machine* m : {&a, &copy}) {
        for (const QString& id : {kFirst, kSecond, kThird})
            EXPECT_TRUE(m->row(id)) << id.toStdString();
        EXPECT_EQ(m->rows().size(), 3u);
    }
}

} // namespace
} // namespace quillet::test
