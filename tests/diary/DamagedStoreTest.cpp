// A diary file the application can't use: the user is told at the first
// request for the context and at every later one, the file stays exactly as
// it was, nothing is held, and the application keeps running; once repaired
// it opens at the next request.
#include "DiaryFiles.h"
#include "StoreTestSupport.h"

#include "diary/DailyBackups.h"
#include "diary/DiaryStore.h"
#include "diary/Utility.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/PersistentStore.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QScopeGuard>

namespace quillet::test {
namespace {

QByteArray goodDiary() {
    static const QByteArray bytes = [] {
        const QString path = makeTempDir() + QStringLiteral("/entries.sqlite");
        return writeDiary(path, paddedEntries(60)) ? readBytes(path) : QByteArray();
    }();
    return bytes;
}

// Each kind of damage and the code it is refused with is the store's
// (PersistentStoreDamageTest); here the diary's part: told at every request,
// nothing held, the file and its folder left as they were.
TEST(DamagedStore, AnUnusableFileIsReportedAtEveryRequestAndLeftAsItWas) {
    ASSERT_FALSE(goodDiary().isEmpty());
    ScopedDiaryHome home;
    ASSERT_TRUE(QDir().mkpath(home.storeFolder()));
    ASSERT_TRUE(writeBytes(home.storePath(), goodDiary().left(3 * 4096)));
    const QByteArray before = readBytes(home.storePath());
    const QStringList names = folderNames(home.storeFolder());
    const int terminates = terminateCount();
    LogCapture log;

    DiaryStore diary(&Utility::sharedUtility()->storeLocations(), nullptr);
    for (int request = 1; request <= 3; ++request) {
        ManagedObjectContext* context = diary.managedObjectContext();
        ASSERT_TRUE(context);
        EXPECT_FALSE(context->persistentStoreCoordinator());
        EXPECT_TRUE(context->registeredObjects().empty());
        ASSERT_EQ(alerts().errors.size(), std::size_t(request));
        const Error& error = alerts().errors.back();
        EXPECT_EQ(error.code, StoreCorruptError) << error.localizedDescription.toStdString();
        EXPECT_TRUE(error.localizedDescription.contains(home.storePath()))
            << error.localizedDescription.toStdString();
    }
    EXPECT_EQ(terminateCount(), terminates);
    for (const QString& line : log.lines()) {
        EXPECT_FALSE(line.startsWith(QStringLiteral("Store URL: "))) << line.toStdString();
    }
    EXPECT_EQ(readBytes(home.storePath()), before);
    EXPECT_EQ(folderNames(home.storeFolder()), names);
    // Asking for the coordinator alone reports again and still holds nothing.
    EXPECT_FALSE(diary.persistentStoreCoordinator());
    EXPECT_EQ(alerts().errors.size(), 4u);

    // Repaired: the next request opens it, and holds it.
    ASSERT_TRUE(writeBytes(home.storePath(), goodDiary()));
    ManagedObjectContext* context = diary.managedObjectContext();
    ASSERT_TRUE(context->persistentStoreCoordinator());
    EXPECT_EQ(context->registeredObjects().size(), 60u);
    EXPECT_EQ(diary.managedObjectContext(), context);
    EXPECT_EQ(alerts().errors.size(), 4u);
}

constexpr const char kRestMarker[] = "rest-marker-6e1f0c";

// Large enough that the page-by-page check is left until after the first
// screen, with the rest of the rows.
QByteArray largeDiary() {
    static const QByteArray bytes = [] {
        std::vector<EntryValues> entries = paddedEntries(1500);
        for (EntryValues& v : entries) {
            v.entryText += QByteArray(6000, 'y');
        }
        entries[1].entryText.insert(2000, kRestMarker); // on an overflow page
        const QString path = makeTempDir() + QStringLiteral("/entries.sqlite");
        return writeDiary(path, entries) ? readBytes(path) : QByteArray();
    }();
    return bytes;
}

// The diary with the last leaf of its identifier index scribbled over: a page
// neither the first month nor the checks on the way to it read.
QByteArray withLastIdentifierLeafDamaged(QByteArray diary) {
    const int root = rootPage(diary, "entry_uuid");
    const int pageSize = (uchar(diary[16]) << 8) | uchar(diary[17]);
    const qsizetype rootAt = qsizetype(root - 1) * pageSize;
    if (root < 2 || diary[rootAt] != 0x02) { // an interior index page
        return QByteArray();
    }
    const auto at = [&](qsizetype i) { return quint32(uchar(diary[rootAt + i])); };
    const quint32 lastLeaf = (at(8) << 24) | (at(9) << 16) | (at(10) << 8) | at(11);
    diary[qsizetype(lastLeaf - 1) * pageSize] = 0x42;
    return diary;
}

// The diary with the chain of a February entry's text broken: the rows of
// the first month read, the rest's reading stops part way.
QByteArray withRestRowDamaged(QByteArray diary) {
    const qsizetype marker = diary.indexOf(kRestMarker);
    const int pageSize = (uchar(diary[16]) << 8) | uchar(diary[17]);
    if (marker < 0) {
        return QByteArray();
    }
    // An overflow page begins with the number of the next one.
    diary.replace(marker / pageSize * pageSize, 4, QByteArray(4, '\xff'));
    return diary;
}

TEST(DamagedStore, ALargeDiaryIsSavedToAndBackedUpOnlyOnceItsWholeFileCheckHasPassed) {
    const qint64 limit = PersistentStore::readWholeAtOpenLimit();
    PersistentStore::setReadWholeAtOpenLimit(0);
    const auto restoreLimit =
        qScopeGuard([limit] { PersistentStore::setReadWholeAtOpenLimit(limit); });
    ASSERT_GT(largeDiary().size(), 8 << 20);
    for (const std::string damage : {"", "identifier index", "rest's rows"}) {
        SCOPED_TRACE(damage);
        const bool isDamaged = !damage.empty();
        const QByteArray damaged = !isDamaged ? largeDiary()
                                   : damage == "identifier index"
                                       ? withLastIdentifierLeafDamaged(largeDiary())
                                       : withRestRowDamaged(largeDiary());
        ASSERT_FALSE(damaged.isEmpty());
        ScopedDiaryHome home;
        ASSERT_TRUE(QDir().mkpath(home.storeFolder()));
        ASSERT_TRUE(writeBytes(home.storePath(), damaged));
        const QString backups = home.storeFolder() + QStringLiteral("/backups");
        const std::size_t alertsBefore = alerts().errors.size();
        {
            DiaryStore diary(&Utility::sharedUtility()->storeLocations(), nullptr);
            diary.setFirstMonthTag(201201);
            ManagedObjectContext* context = diary.managedObjectContext();
            ASSERT_TRUE(context->persistentStoreCoordinator());
            ASSERT_FALSE(context->hasEverything());
            const std::vector<ManagedObject*> firstScreen = context->objectsLoadedSoFar();
            ASSERT_FALSE(firstScreen.empty());
            firstScreen.front()->setValue(EntryKey::EntryText, QStringLiteral("edited early"));
            // The automatic save waits for the rest without holding up the window.
            EXPECT_TRUE(diary.autosave());
            EXPECT_FALSE(context->hasEverything());
            // (-1: the damaged rows cannot be counted)
            EXPECT_LE(rawCount(home.storePath(), "entryText = 'edited early'"), 0);
            // Nor the day's backup, which is taken from a sound file only.
            diary.backups()->wait();
            EXPECT_TRUE(folderNames(backups).isEmpty());
            ASSERT_TRUE(waitFor([&] { return context->hasEverything(); }));
            QCoreApplication::processEvents();
            diary.backups()->wait();
            EXPECT_EQ(folderNames(backups).size(), isDamaged ? 0 : 1);
            if (!isDamaged) {
                EXPECT_EQ(rawCount(home.storePath(), "entryText = 'edited early'"), 1);
                EXPECT_EQ(alerts().errors.size(), alertsBefore);
                continue;
            }
            // Told, and neither the automatic save nor the user's own writes.
            EXPECT_GE(alerts().errors.size(), alertsBefore + 1);
            EXPECT_EQ(alerts().errors.back().code, StoreCorruptError);
            EXPECT_FALSE(diary.flushUnsavedChanges());
            EXPECT_EQ(context->objectsLoadedSoFar().front()->entryText(),
                      QStringLiteral("edited early"));
        }
        if (isDamaged) {
            EXPECT_TRUE(readBytes(home.storePath()) == damaged);
            const QFileInfo wal(home.storePath() + QStringLiteral("-wal"));
            EXPECT_TRUE(!wal.exists() || wal.size() == 0) << wal.size();
        }
    }
}

} // namespace
} // namespace quillet::test
