// The diary file itself: creation, every value read back as it was written,
// saves that write everything or nothing, one process at a time.
#include "DiaryFiles.h"
#include "TestSupport.h"

#include "store/PersistentStore.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QtEndian>
#include <csignal>
#include <sqlite3.h>

namespace quillet::test {
namespace {

QString freshPath() {
    return makeTempDir() + QStringLiteral("/entries.sqlite");
}

std::unique_ptr<PersistentStore> openStore(const QString& path, Error* error = nullptr) {
    Error ignored;
    return PersistentStore::open(path, {}, error ? error : &ignored);
}

void expectSameValues(const EntryValues& actual, const EntryValues& expected, int row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(actual.uuid, expected.uuid);
    EXPECT_EQ(actual.uuid.isNull(), expected.uuid.isNull());
    EXPECT_EQ(actual.entryText, expected.entryText);
    EXPECT_EQ(actual.entryText.isNull(), expected.entryText.isNull());
    EXPECT_EQ(actual.foldedText, expected.foldedText);
    EXPECT_EQ(actual.colorTag, expected.colorTag);
    EXPECT_EQ(actual.monthTag, expected.monthTag);
    EXPECT_EQ(actual.hasTimeStamp, expected.hasTimeStamp);
    EXPECT_EQ(actual.timeStamp, expected.timeStamp);
}

TEST(PersistentStore, CreatesANewDiaryAndReadsEveryValueBackAsWritten) {
    const QString path = freshPath();
    const QString folder = QFileInfo(path).absolutePath();
    const std::vector<EntryValues> written = {
        entryValues(QString(), QString(), 0, 0, std::nullopt),
        entryValues(QStringLiteral(""), QStringLiteral(""), 1, 201203, 0.0),
        entryValues(QStringLiteral("6F9619FF-8B86-D011-B42D-00C04FC964FF"),
                    QStringLiteral("It's Anna's \"diary\"; DROP TABLE entry; --"), 2, 201301,
                    1359673140.0),
        entryValues(
            QStringLiteral("A"),
            QStringLiteral(
                "Gr\u00fc\u00dfe, \u65e5\u672c\u8a9e, \U0001F642, \u05e9\u05dc\u05d5\u05dd"),
            3, 199912, 1331000000.125),
        entryValues(QStringLiteral("B"), QStringLiteral("line one\nline two\r\nline three\ttab\n"),
                    4, 196912, -86400.5),
        entryValues(QStringLiteral("C"), QString::fromUtf8("before\0after", 12), 5, 203801,
                    2147483648.0),
        entryValues(QStringLiteral("D"), QString(100000, QChar(0x00e9)), 5, 202402, 1.7e9),
    };
    {
        Error error;
        std::unique_ptr<PersistentStore> store = openStore(path, &error);
        ASSERT_TRUE(store) << error.localizedDescription.toStdString();
        EXPECT_TRUE(store->takeLoadedRows().empty());
        EXPECT_TRUE(QFile::exists(path + QStringLiteral(".lock")));
        PersistentStore::Changes changes;
        for (const EntryValues& v : written) {
            changes.inserted.push_back(&v);
        }
        std::vector<qint64> keys;
        ASSERT_TRUE(store->save(changes, &keys, &error))
            << error.localizedDescription.toStdString();
        ASSERT_EQ(keys.size(), written.size());
        for (std::size_t i = 1; i < keys.size(); ++i) {
            EXPECT_LT(keys[i - 1], keys[i]);
        }
    }
    // Closed: the log is folded into the file, and no lock or temporary file is left.
    EXPECT_EQ(folderNames(folder), QStringList{QStringLiteral("entries.sqlite")});
    const QByteArray header = readBytes(path).left(100);
    EXPECT_EQ(qFromBigEndian<quint32>(header.constData() + 68),
              quint32(PersistentStore::kApplicationId));
    EXPECT_EQ(qFromBigEndian<quint32>(header.constData() + 60),
              quint32(PersistentStore::kSchemaVersion));

    std::unique_ptr<PersistentStore> reopened = openStore(path);
    ASSERT_TRUE(reopened);
    const std::vector<StoreRow> rows = reopened->takeLoadedRows();
    ASSERT_EQ(rows.size(), written.size());
    // Loading leaves every text that is not null in the file, to be read on
    // request. The helper's reader and a month's read give the same rows.
    std::vector<StoreRow> beside;
    ASSERT_TRUE(PersistentStore::readAllRows(
        path, [&](StoreRow&& row) { beside.push_back(std::move(row)); }, nullptr));
    ASSERT_EQ(beside.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EntryValues loaded = rows[i].values;
        EXPECT_EQ(loaded.textFaulted, !written[i].entryText.isNull());
        EXPECT_EQ(beside[i].key, rows[i].key);
        std::vector<StoreRow> month;
        ASSERT_TRUE(reopened->loadMonth(written[i].monthTag, &month, nullptr));
        const auto same = std::find_if(month.begin(), month.end(),
                                       [&](const StoreRow& r) { return r.key == rows[i].key; });
        ASSERT_NE(same, month.end());
        const auto sameMonth = [&](const EntryValues& w) {
            return w.monthTag == written[i].monthTag;
        };
        EXPECT_EQ(month.size(),
                  std::size_t(std::count_if(written.begin(), written.end(), sameMonth)));
        if (loaded.textFaulted) {
            ASSERT_TRUE(reopened->loadText(rows[i].key, &loaded.entryText, nullptr));
            beside[i].values.entryText = loaded.entryText;
            same->values.entryText = loaded.entryText;
        }
        expectSameValues(loaded, written[i], int(i));
        expectSameValues(beside[i].values, written[i], int(i));
        expectSameValues(same->values, written[i], int(i));
        EntryValues single;
        ASSERT_TRUE(reopened->loadRow(rows[i].key, &single, nullptr));
        expectSameValues(single, written[i], int(i));
    }
    EntryValues none;
    Error error;
    EXPECT_FALSE(reopened->loadRow(rows.back().key + 1, &none, &error));
    EXPECT_TRUE(error.isNull());
    // Other readers (a backup) never block a save, and a crash loses no committed save.
    EXPECT_EQ(rawQuery(path, "PRAGMA journal_mode"), QByteArray("wal"));
}

TEST(PersistentStore, ASaveWritesEverythingOrNothing) {
    const QString path = freshPath();
    ASSERT_TRUE(writeDiary(
        path, {entryValues(QStringLiteral("U1"), QStringLiteral("first"), 0, 201201, 1.0),
               entryValues(QStringLiteral("U2"), QStringLiteral("second"), 0, 201201, 2.0),
               entryValues(QStringLiteral("U3"), QStringLiteral("third"), 0, 201201, 3.0)}));
    Error error;
    std::unique_ptr<PersistentStore> store = openStore(path, &error);
    ASSERT_TRUE(store);
    const std::vector<StoreRow> rows = store->takeLoadedRows();
    ASSERT_EQ(rows.size(), 3u);

    // A row the file refuses, after an insert, an update and a delete in the same save.
    ASSERT_TRUE(
        rawExec(path, "CREATE TRIGGER refuse BEFORE INSERT ON entry WHEN NEW.entryText = 'refused' "
                      "BEGIN SELECT RAISE(ABORT, 'refused'); END;"));
    const EntryValues added =
        entryValues(QStringLiteral("U4"), QStringLiteral("added"), 1, 201202, 4.0);
    const EntryValues refused =
        entryValues(QStringLiteral("U5"), QStringLiteral("refused"), 1, 201202, 5.0);
    const EntryValues changed =
        entryValues(QStringLiteral("U1"), QStringLiteral("changed"), 2, 201201, 1.0);
    PersistentStore::Changes changes;
    changes.inserted = {&added, &refused};
    changes.updated = {{rows[0].key, &changed}};
    changes.deleted = {rows[1].key};
    std::vector<qint64> keys{42};
    EXPECT_FALSE(store->save(changes, &keys, &error));
    EXPECT_EQ(error.domain, kStoreErrorDomain);
    EXPECT_EQ(error.code, StoreSaveError);
    EXPECT_TRUE(error.localizedDescription.contains(path))
        << error.localizedDescription.toStdString();
    EXPECT_EQ(keys, std::vector<qint64>{42});
    EXPECT_EQ(rawCount(path), 3);
    EXPECT_EQ(rawCount(path, "entryText = 'first'"), 1);
    EXPECT_EQ(rawCount(path, "entryText = 'second'"), 1);
    EXPECT_EQ(rawCount(path, "entryText = 'added'"), 0);

    // Another writer holding the file makes the save fail as a whole too.
    changes.inserted = {&added};
    {
        RawConnection other(path, SQLITE_OPEN_READWRITE);
        ASSERT_EQ(sqlite3_exec(other.db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        error = Error();
        EXPECT_FALSE(store->save(changes, &keys, &error));
        EXPECT_EQ(error.code, StoreSaveError);
    }
    EXPECT_EQ(rawCount(path), 3);

    // The same changes go through once nothing is in the way.
    ASSERT_TRUE(store->save(changes, &keys, &error)) << error.localizedDescription.toStdString();
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(rawCount(path), 3);
    EXPECT_EQ(rawCount(path, "entryText = 'changed' AND colorTag = 2"), 1);
    EXPECT_EQ(rawCount(path, "entryText = 'second'"), 0);
    EntryValues stored;
    ASSERT_TRUE(store->loadRow(keys[0], &stored, nullptr));
    expectSameValues(stored, added, 0);
}

// The lock file a killed process leaves: written as a Qt lock file of this
// program is (pid, program, host, machine), naming pid, held by no one.
void leaveDeadLock(const QString& lockPath, qint64 pid) {
    const QString model = QFileInfo(lockPath).absolutePath() + QStringLiteral("/model.lock");
    QByteArray text;
    {
        QLockFile lock(model);
        ASSERT_TRUE(lock.tryLock(0));
        QFile written(model);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        text = written.readAll();
    }
    const qsizetype firstLine = text.indexOf('\n');
    ASSERT_GT(firstLine, 0);
    ASSERT_EQ(text.left(firstLine).toLongLong(), QCoreApplication::applicationPid());
    ASSERT_TRUE(writeBytes(lockPath, QByteArray::number(pid) + text.mid(firstLine)));
}

// One process at a time, and the lock ends with the store: also when a lock
// file was left by a dead process. Inside a PID namespace the relaunch after
// a kill often gets the dead process's PID: its lock file then names the very
// process that reads it.
TEST(PersistentStore, OneProcessAtATimeAndALockFileLeftByADeadProcessIsTaken) {
    const QString path = freshPath();
    const QString lockPath = path + QStringLiteral(".lock");
    for (const qint64 pid : {qint64(0), qint64(QCoreApplication::applicationPid()), qint64(1)}) {
        SCOPED_TRACE(pid);
        if (pid != 0) {
            leaveDeadLock(lockPath, pid);
        }
        Error error;
        std::unique_ptr<PersistentStore> store = openStore(path, &error);
        ASSERT_TRUE(store) << error.localizedDescription.toStdString();
        // Taken: a second opener in this same process is refused, with this process named.
        EXPECT_FALSE(openStore(path, &error));
        EXPECT_EQ(error.code, StoreInUseError);
        EXPECT_TRUE(error.localizedDescription.contains(
            QStringLiteral("open in another window (process %1)")
                .arg(QCoreApplication::applicationPid())))
            << error.localizedDescription.toStdString();
        // The refused open changed nothing, and the holder goes on working.
        const EntryValues v = entryValues(QStringLiteral("U%1").arg(pid),
                                          QStringLiteral("still mine"), 0, 201201, 1.0);
        PersistentStore::Changes changes;
        changes.inserted = {&v};
        EXPECT_TRUE(store->save(changes, nullptr, &error));
        store.reset();
        EXPECT_FALSE(QFile::exists(lockPath));
    }
    EXPECT_EQ(rawCount(path), 3);
}

TEST(PersistentStore, TheLockIsTheLiveProcessNotThePidWrittenInItsFile) {
    const QString path = freshPath();
    const QString lockPath = path + QStringLiteral(".lock");
    QProcess holder;
    holder.setProgram(QStringLiteral(QUILLET_STORE_HELPER));
    holder.setArguments({path});
    holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    holder.start();
    ASSERT_TRUE(holder.waitForReadyRead(30000));
    ASSERT_EQ(holder.readLine().trimmed(), QByteArray("opened 0"));

    Error error;
    EXPECT_FALSE(openStore(path, &error));
    EXPECT_EQ(error.code, StoreInUseError);
    EXPECT_TRUE(
        error.localizedDescription.contains(QStringLiteral("(process %1)").arg(holder.processId())))
        << error.localizedDescription.toStdString();
    // Its file rewritten to name a process that is gone (or this one): still held.
    for (const qint64 pid : {qint64(QCoreApplication::applicationPid()), qint64(999999999)}) {
        ASSERT_TRUE(writeBytes(lockPath, QByteArray::number(pid) + "\nstore_helper\nhost\n"));
        EXPECT_FALSE(openStore(path, &error)) << pid;
        EXPECT_EQ(error.code, StoreInUseError);
    }

    ::kill(pid_t(holder.processId()), SIGKILL);
    ASSERT_TRUE(holder.waitForFinished(30000));
    EXPECT_TRUE(QFileInfo::exists(lockPath)) << "a killed process leaves its lock file";
    std::unique_ptr<PersistentStore> store = openStore(path, &error);
    EXPECT_TRUE(store) << error.localizedDescription.toStdString();
}

TEST(PersistentStore, ALogLeftBesideAMissingDiaryIsNotReplayedIntoANewOne) {
    // A log with committed pages of some other diary, left where a diary used to be.
    const QString old = freshPath();
    ASSERT_TRUE(writeDiary(old, paddedEntries(20)));
    const QString path = freshPath();
    {
        RawConnection db(old, SQLITE_OPEN_READWRITE);
        ASSERT_EQ(sqlite3_exec(db.db,
                               "PRAGMA wal_autocheckpoint = 0; DELETE FROM entry WHERE key > 5;",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        ASSERT_TRUE(QFile::copy(old + QStringLiteral("-wal"), path + QStringLiteral("-wal")));
    }
    ASSERT_GT(QFileInfo(path + QStringLiteral("-wal")).size(), 0);

    for (int open = 0; open < 2; ++open) {
        Error error;
        std::unique_ptr<PersistentStore> store = openStore(path, &error);
        ASSERT_TRUE(store) << error.localizedDescription.toStdString();
        EXPECT_TRUE(store->takeLoadedRows().empty()) << "open " << open;
    }
}

} // namespace
} // namespace quillet::test
