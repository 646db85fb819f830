// Moving a local diary into the cloud store folder: the file moves, the
// local one is set aside as "entries.sqlite.bak", and the whole diary goes
// out as logs at once, so that a fresh diary (the next launch's, another
// machine's) gets all of it through the exchange.
#include "DiaryFiles.h"
#include "Entries.h"
#include "StoreTestSupport.h"

#include "diary/DiaryStore.h"
#include "diary/StoreLocations.h"
#include "diary/Utility.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/cloud/ChangeLog.h"
#include "store/cloud/ContainerKey.h"
#include "store/cloud/LogExchange.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDirIterator>
#include <QSet>
#include <QThread>
#include <QUrl>

namespace quillet::test {
namespace {

const QString kFirst = QStringLiteral("6A1E0A4C-0000-4B7A-8C3D-000000000001");
const QString kSecond = QStringLiteral("6A1E0A4C-0000-4B7A-8C3D-000000000002");
const QString kLater = QStringLiteral("6A1E0A4C-0000-4B7A-8C3D-000000000003");

QSet<QString> liveUuids(ManagedObjectContext* context) {
    QSet<QString> uuids;
    for (ManagedObject* o : context->registeredObjects()) {
        if (o->isLive())
            uuids.insert(o->uuid());
    }
    return uuids;
}

// Every entry named by a complete log in the container, by writer folder.
QMap<QString, QSet<QString>> loggedUuids(const QString& container) {
    QMap<QString, QSet<QString>> logged;
    QDirIterator it(container + QStringLiteral("/TransactionLogs"), {QStringLiteral("*.qlog")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        // Sealed under the diary key the move made.
        const std::optional<cloud::DiaryKey> key =
            cloud::ContainerKey::forContainer(container)->heldKey();
        quint64 sequence = 0;
        cloud::parseChangeLogFileName(QFileInfo(path).fileName(), &sequence);
        QByteArray plain;
        cloud::ChangeLog log;
        if (key &&
            cloud::openSealed(readBytes(path), *key, cloud::SealedKind::Log,
                              QUuid::fromString(QFileInfo(path).dir().dirName()), sequence, &plain,
                              nullptr) &&
            cloud::decodeChangeLog(plain, &log, nullptr) == cloud::DecodeStatus::Ok) {
            for (const cloud::EntryState& e : log.entries)
                logged[QFileInfo(path).dir().dirName()].insert(e.uuid);
        }
    }
    return logged;
}

struct LocalDiary {
    explicit LocalDiary(const ScopedDiaryHome& home) {
        QDir().mkpath(home.storeFolder());
        EXPECT_TRUE(
            writeDiary(home.storePath(),
                       {entryValues(kFirst, QStringLiteral("first"), 2, 201203, 1330956429.0),
                        entryValues(kSecond, QStringLiteral("second"), 4, 201204, 1333656429.0)}));
    }
};

// A move that is taken up but ends in an error, logged as its second line.
void expectMoveEndsInError(DiaryStore& store) {
    LogCapture log;
    EXPECT_TRUE(store.moveLocalStoreToICloud());
    ASSERT_EQ(log.lines().size(), 2) << log.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(log.lines()[1].startsWith(QStringLiteral("err: ")));
}

TEST(MoveToCloud, SignedOutOnlySaysSo) {
    ScopedDiaryHome home;
    LocalDiary diary(home);
    QObject window;
    DiaryStore store(&Utility::sharedUtility()->storeLocations(), &window);
    ASSERT_TRUE(store.managedObjectContext()->persistentStoreCoordinator());
    LogCapture log;
    EXPECT_FALSE(store.moveLocalStoreToICloud());
    EXPECT_EQ(log.lines(), QStringList{QStringLiteral("iCloud been signed-off")});
    EXPECT_TRUE(QFileInfo::exists(home.storePath()));
    EXPECT_FALSE(QFileInfo::exists(home.storePath() + QStringLiteral(".bak")));
}

TEST(MoveToCloud, TheDiaryMovesWholeAndAFreshDiaryGetsItThroughTheExchangeAndNoSecondMoveHappens) {
    ScopedDiaryHome home;
    LocalDiary diary(home);
    const QString container = signIn(home);
    const QString cloudStore = container + QStringLiteral("/.nosync/entries.sqlite");
    const StoreLocations& places = Utility::sharedUtility()->storeLocations();
    QObject window;
    auto moved = std::make_unique<DiaryStore>(&places, &window);
    ManagedObjectContext* context = moved->managedObjectContext();
    ASSERT_EQ(liveUuids(context).size(), 2);

    {
        LogCapture log;
        EXPECT_TRUE(moved->moveLocalStoreToICloud());
        ASSERT_EQ(log.lines().size(), 1) << log.lines().join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(log.lines()[0],
                  QStringLiteral("cloudURL: ") + QUrl::fromLocalFile(container).toString());
    }
    EXPECT_FALSE(QFileInfo::exists(home.storePath()));
    EXPECT_TRUE(QFileInfo::exists(home.storePath() + QStringLiteral(".bak")));
    EXPECT_EQ(rawCount(cloudStore), 2);
    EXPECT_TRUE(places.isICloudStoreExist() && places.isLocalStoreMigrated());
    // The baseline: one writer (the cloud store), every entry in its logs.
    const QMap<QString, QSet<QString>> baseline = loggedUuids(container);
    ASSERT_EQ(baseline.size(), 1);
    EXPECT_EQ(baseline.first(), (QSet<QString>{kFirst, kSecond}));

    // Saves go to the cloud store now, and out through the exchange.
    addEntry(*context, QDateTime::fromSecsSinceEpoch(1336656429), QStringLiteral("after the move"),
             0, kLater);
    Error error;
    ASSERT_TRUE(context->save(&error)) << error.localizedDescription.toStdString();
    EXPECT_EQ(rawCount(cloudStore), 3);
    EXPECT_EQ(rawCount(home.storePath() + QStringLiteral(".bak")), 2);

    // A second move: the first store holds no local diary any more.
    const QByteArray backup = readBytes(home.storePath() + QStringLiteral(".bak"));
    expectMoveEndsInError(*moved);
    const QString copyWriter = QString::fromUtf8(
        rawQuery(cloudStore, "SELECT value FROM cloudState WHERE name = 'storeId'"));
    ASSERT_FALSE(copyWriter.isEmpty());
    const QString copyState =
        container + QStringLiteral("/WriterState/") + copyWriter + QStringLiteral(".json");
    // The states are sealed: read through the diary key.
    auto copyStateText = [&] {
        const std::optional<cloud::DiaryKey> key =
            cloud::ContainerKey::forContainer(container)->heldKey();
        QByteArray state;
        return key && cloud::openSealed(readBytes(copyState), *key, cloud::SealedKind::WriterState,
                                        QUuid::fromString(copyWriter), 0, &state, nullptr)
                   ? state
                   : QByteArray();
    };
    EXPECT_TRUE(waitFor([&] { return !copyStateText().isEmpty(); }));
    {
        // Another machine on the same container folder (shared, not synced)
        // launches while this window still writes to the copy: it opens its
        // own fresh file and leaves the copy alone, as it is not its leftover.
        ScopedDiaryHome other;
        ScopedEnv sharedRoot("QUILLET_CLOUD_ROOT", home.cloudRoot().toLocal8Bit());
        QObject otherWindow;
        DiaryStore launched(&places, &otherWindow);
        ASSERT_TRUE(launched.managedObjectContext()->persistentStoreCoordinator());
        EXPECT_EQ(launched.persistentStoreCoordinator()->defaultStore()->path(), other.storePath());
    }
    EXPECT_FALSE(copyStateText().contains("\"retired\""));
    moved.reset();

    // The next launch: a fresh local file, opened with the cloud options,
    // gets the whole diary from the logs; the copy in the cloud folder is
    // opened no more and says so, so that nobody waits for it to fold logs.
    QObject nextWindow;
    auto next = std::make_unique<DiaryStore>(&places, &nextWindow);
    ManagedObjectContext* fresh = next->managedObjectContext();
    ASSERT_TRUE(fresh->persistentStoreCoordinator());
    EXPECT_EQ(next->persistentStoreCoordinator()->defaultStore()->path(), home.storePath());
    EXPECT_TRUE(waitFor([&] {
        return liveUuids(fresh) == QSet<QString>{kFirst, kSecond, kLater};
    })) << liveUuids(fresh).size();
    EXPECT_TRUE(waitFor([&] { return copyStateText().contains("\"retired\":true"); }))
        << copyStateText().toStdString();
    EXPECT_EQ(cloud::readExchangeStatus(home.storePath(), container,
                                        cloud::ContainerKey::forContainer(container)->heldKey())
                  .writers,
              2)
        << "this diary and the other machine's; the copy is retired";

    // A second move finds a diary in the cloud folder and moves nothing.
    expectMoveEndsInError(*next);
    EXPECT_TRUE(QFileInfo::exists(home.storePath()));
    EXPECT_EQ(readBytes(home.storePath() + QStringLiteral(".bak")), backup);
    EXPECT_EQ(rawCount(cloudStore), 3);
    EXPECT_EQ(next->persistentStoreCoordinator()->defaultStore()->path(), home.storePath());
}

TEST(MoveToCloud, AFailedMigrationChangesNothingAndAFailedBackupKeepsTheCloudStore) {
    ScopedDiaryHome home;
    LocalDiary diary(home);
    const QString container = signIn(home);
    const StoreLocations& places = Utility::sharedUtility()->storeLocations();
    {
        // A file where the cloud store folder should be: no place to move to.
        ASSERT_TRUE(writeBytes(container + QStringLiteral("/.nosync"), "in the way"));
        QObject window;
        DiaryStore store(&places, &window);
        ASSERT_TRUE(store.managedObjectContext()->persistentStoreCoordinator());
        alerts().clear();
        expectMoveEndsInError(store);
        EXPECT_EQ(alerts().errors.size(), 1u) << "the folder's own error";
        EXPECT_EQ(store.persistentStoreCoordinator()->defaultStore()->path(), home.storePath());
        EXPECT_FALSE(QFileInfo::exists(home.storePath() + QStringLiteral(".bak")));
        EXPECT_FALSE(QFileInfo::exists(container + QStringLiteral("/TransactionLogs")));
        ASSERT_TRUE(QFile::remove(container + QStringLiteral("/.nosync")));
        alerts().clear();
    }
    // Something already under the backup name: the move stands, the local file stays.
    ASSERT_TRUE(QDir().mkpath(home.storePath() + QStringLiteral(".bak")));
    QObject window;
    DiaryStore store(&places, &window);
    ASSERT_TRUE(store.managedObjectContext()->persistentStoreCoordinator());
    expectMoveEndsInError(store);
    EXPECT_EQ(store.persistentStoreCoordinator()->defaultStore()->path(),
              container + QStringLiteral("/.nosync/entries.sqlite"));
    EXPECT_TRUE(QFileInfo::exists(home.storePath()));
    EXPECT_EQ(loggedUuids(container).size(), 1);
}

} // namespace
} // namespace quillet::test
