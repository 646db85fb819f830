// Opening the diary through its store stack: where the file goes,
// the options it is opened with, what is held and what is reported.
#include "DiaryFiles.h"
#include "Entries.h"
#include "StoreTestSupport.h"

#include "core/Notices.h"
#include "core/NotificationCenter.h"
#include "diary/DiaryStore.h"
#include "diary/Utility.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/StoreOptions.h"
#include "store/UndoManager.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QUrl>

namespace quillet::test {
namespace {

ManagedObject* findByUuid(ManagedObjectContext* context, const QString& uuid) {
    for (ManagedObject* o : context->registeredObjects()) {
        if (o->uuid() == uuid) {
            return o;
        }
    }
    return nullptr;
}

TEST(StoreSetup, FirstLaunchCreatesTheFolderAndTheDiaryAndLogsItsURL) {
    ScopedDiaryHome home;
    LogCapture log;
    ASSERT_FALSE(QFileInfo::exists(home.storeFolder()));

    DiaryStore diary(&Utility::sharedUtility()->storeLocations(), nullptr);
    ManagedObjectContext* context = diary.managedObjectContext();
    ASSERT_TRUE(context);
    PersistentStoreCoordinator* coordinator = diary.persistentStoreCoordinator();
    ASSERT_TRUE(coordinator);
    EXPECT_EQ(context->persistentStoreCoordinator(), coordinator);
    ASSERT_EQ(coordinator->persistentStores().size(), 1u);
    PersistentStore* store = coordinator->persistentStores().front();
    EXPECT_EQ(store->path(), home.storePath());
    EXPECT_EQ(store->type(), NSSQLiteStoreType);
    EXPECT_TRUE(store->options().isEmpty());
    EXPECT_TRUE(QFileInfo(home.storeFolder()).isDir());
    EXPECT_TRUE(QFileInfo(home.storePath()).isFile());

    const QString line =
        QStringLiteral("Store URL: ") + QUrl::fromLocalFile(home.storePath()).toString();
    EXPECT_EQ(log.count(line), 1);
    // Held from now on: no second store, no second log line.
    EXPECT_EQ(diary.managedObjectContext(), context);
    EXPECT_EQ(diary.persistentStoreCoordinator(), coordinator);
    EXPECT_EQ(log.count(line), 1);
    EXPECT_TRUE(alerts().errors.empty());
}

TEST(StoreSetup, WithoutARecordModelOnlyTheLogSaysSo) {
    ScopedModelSearchPath noModels(makeTempDir());
    ScopedDiaryHome home;
    LogCapture log;
    const QString line =
        QStringLiteral("AppDelegate:persistentStoreCoordinator No model to generate a store from");

    DiaryStore diary(&Utility::sharedUtility()->storeLocations(), nullptr);
    EXPECT_FALSE(diary.persistentStoreCoordinator());
    EXPECT_EQ(log.count(line), 1);
    ManagedObjectContext* context = diary.managedObjectContext();
    ASSERT_TRUE(context);
    EXPECT_FALSE(context->persistentStoreCoordinator());
    EXPECT_EQ(log.count(line), 2);
    // Nothing held: the next request tries again.
    EXPECT_NE(diary.managedObjectContext(), context);
    EXPECT_EQ(log.count(line), 3);
    EXPECT_TRUE(diary.flushUnsavedChanges()); // an empty context has nothing to save
    EXPECT_TRUE(alerts().errors.empty());
    EXPECT_FALSE(QFileInfo::exists(home.storePath()));
}

TEST(StoreSetup, NoHomeToKeepTheDiaryInIsReportedAtEveryRequest) {
    ScopedDiaryHome home;
    ScopedEnv noHome("HOME", std::nullopt);
    ScopedEnv noData("XDG_DATA_HOME", std::nullopt);
    const int terminates = terminateCount();

    DiaryStore diary(&Utility::sharedUtility()->storeLocations(), nullptr);
    ManagedObjectContext* context = diary.managedObjectContext();
    ASSERT_TRUE(context);
    EXPECT_FALSE(context->persistentStoreCoordinator());
    ASSERT_EQ(alerts().errors.size(), 1u);
    EXPECT_EQ(alerts().errors[0].code, StoreOpenError);
    EXPECT_TRUE(alerts().errors[0].localizedDescription.contains(QStringLiteral("HOME")));
    diary.managedObjectContext();
    EXPECT_EQ(alerts().errors.size(), 2u);
    EXPECT_FALSE(diary.persistentStoreCoordinator());
    EXPECT_EQ(terminateCount(), terminates);
}

TEST(StoreSetup, ADiaryInAnUnreachableCloudGetsNoStoreAndEverySaveSaysSo) {
    ScopedICloudSupport on;
    ScopedDiaryHome home;
    ASSERT_TRUE(QDir().mkpath(home.storeFolder()));
    ASSERT_TRUE(writeBytes(home.storePath() + QStringLiteral(".bak"), "moved away"));
    LogCapture log;

    DiaryStore diary(&Utility::sharedUtility()->storeLocations(), nullptr);
    PersistentStoreCoordinator* first = diary.persistentStoreCoordinator();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->persistentStores().empty());

    ManagedObjectContext* context = diary.managedObjectContext();
    ASSERT_TRUE(context);
    ASSERT_TRUE(context->persistentStoreCoordinator());
    EXPECT_TRUE(context->persistentStoreCoordinator()->persistentStores().empty());
    EXPECT_EQ(diary.managedObjectContext(), context);

    addEntry(*context, QDateTime::fromSecsSinceEpoch(1325419200),
             QStringLiteral("written while the cloud is away"));
    EXPECT_FALSE(diary.flushUnsavedChanges());
    EXPECT_FALSE(diary.flushUnsavedChanges());
    EXPECT_EQ(alerts().errors.size(), 2u);
    EXPECT_TRUE(context->hasChanges());
    EXPECT_FALSE(QFileInfo::exists(home.storePath()));
    for (const QString& l : log.lines()) {
        EXPECT_FALSE(l.startsWith(QStringLiteral("Store URL: "))) << l.toStdString();
    }
}

// A diary opened in a fresh home, with a helper that adds entries of one moment.
class StoreSetupSaves : public ::testing::Test {
protected:
    StoreSetupSaves() { EXPECT_TRUE(context && context->persistentStoreCoordinator()); }
    ManagedObject* add(const QString& uuid, const QString& text, int colorTag = 0) {
        return addEntry(*context, stamp, text, colorTag, uuid);
    }
    PersistentStore* store() const { return context->persistentStoreCoordinator()->defaultStore(); }

    ScopedDiaryHome home;
    DiaryStore diary{&Utility::sharedUtility()->storeLocations(), nullptr};
    ManagedObjectContext* context = diary.managedObjectContext();
    const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1325419200);
};

// While typing, a long text is saved beside the window. Its failure is said
// as any automatic save's; what is typed while it runs is saved after it.
TEST_F(StoreSetupSaves, ALongTextIsSavedAsideAndWhatIsTypedMeanwhileAfterIt) {
    ManagedObject* entry = add(QStringLiteral("L"), QStringLiteral("short"));
    ASSERT_TRUE(diary.flushUnsavedChanges());
    QStringList notices;
    const int observer = NotificationCenter::defaultCenter().addObserver(
        QString(kNoticePosted), nullptr, [&](const Notification& note) {
            notices << note.userInfo.value(kNoticeMessageKey).toString();
        });
    const QString text(ManagedObjectContext::kSaveAsideBytes, QLatin1Char('a'));
    ASSERT_TRUE(rawExec(home.storePath(),
                        "CREATE TRIGGER refuse BEFORE UPDATE ON entry WHEN NEW.entryText "
                        "LIKE 'refused%' BEGIN SELECT RAISE(ABORT, 'refused'); END;"));
    entry->setValue(QStringLiteral("refused") + text, QStringLiteral("entryText"));
    EXPECT_TRUE(diary.autosave());
    EXPECT_TRUE(context->isSavingAside());
    ASSERT_TRUE(waitFor([&] { return !context->isSavingAside(); }));
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains(QStringLiteral("saved at the next pause")));
    EXPECT_TRUE(context->hasChanges());

    entry->setValue(text + QStringLiteral("1"), QStringLiteral("entryText"));
    EXPECT_TRUE(diary.autosave());
    entry->setValue(text + QStringLiteral("12"), QStringLiteral("entryText"));
    EXPECT_TRUE(diary.autosave());
    ASSERT_TRUE(waitFor([&] { return !context->hasChanges(); }));
    EXPECT_FALSE(context->isSavingAside());
    EXPECT_EQ(notices.size(), 2);
    EXPECT_TRUE(notices.back().isEmpty()) << "withdrawn";
    EXPECT_EQ(rawCount(home.storePath(), "entryText LIKE '%a12'"), 1);

    // A copy to a new file made while one runs holds what it saves.
    entry->setValue(text + QStringLiteral("123"), QStringLiteral("entryText"));
    EXPECT_TRUE(diary.autosave());
    const QString copy = home.storeFolder() + QStringLiteral("/copy.sqlite");
    Error error;
    ASSERT_TRUE(diary.saveToNewFile(copy, &error)) << error.localizedDescription.toStdString();
    EXPECT_FALSE(context->hasChanges());
    EXPECT_EQ(rawCount(copy, "entryText LIKE '%a123'"), 1);
    NotificationCenter::defaultCenter().removeObserver(observer);
}

TEST(StoreSetup, UndoneInsertsAndEditsAreWhatReachesTheFile) {
    ScopedDiaryHome home;
    const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1325419200);
    {
        DiaryStore diary(&Utility::sharedUtility()->storeLocations(), nullptr);
        ManagedObjectContext* context = diary.managedObjectContext();
        ASSERT_TRUE(context && context->persistentStoreCoordinator());
        UndoManager* undo = diary.undoManager();
        ASSERT_EQ(undo, context->undoManager());

        addEntry(*context, stamp, QStringLiteral("original"), 0, QStringLiteral("S"));
        context->processPendingChanges();
        ASSERT_TRUE(diary.flushUnsavedChanges());

        // Undoing in memory is the context's (ManagedObjectContextTest); a
        // saved insert undone is removed at the next save; redone, it comes
        // back, with the text the save had left in the file.
        ManagedObject* later =
            addEntry(*context, stamp, QStringLiteral("later"), 1, QStringLiteral("L"));
        context->processPendingChanges();
        ASSERT_TRUE(diary.flushUnsavedChanges());
        undo->undo();
        ASSERT_TRUE(diary.flushUnsavedChanges());
        EXPECT_EQ(rawCount(home.storePath(), "uuid = 'L'"), 0);
        undo->redo();
        EXPECT_TRUE(later->isLive());
        ASSERT_TRUE(diary.flushUnsavedChanges());
        EXPECT_EQ(rawCount(home.storePath(), "uuid = 'L'"), 1);
    }
    DiaryStore reopened(&Utility::sharedUtility()->storeLocations(), nullptr);
    ManagedObjectContext* context = reopened.managedObjectContext();
    ASSERT_TRUE(context);
    EXPECT_EQ(context->registeredObjects().size(), 2u);
    ASSERT_TRUE(findByUuid(context, QStringLiteral("S")));
    EXPECT_EQ(findByUuid(context, QStringLiteral("S"))->entryText(), QStringLiteral("original"));
    ASSERT_TRUE(findByUuid(context, QStringLiteral("L")));
    EXPECT_EQ(findByUuid(context, QStringLiteral("L"))->entryText(), QStringLiteral("later"));
}

TEST_F(StoreSetupSaves, ChangesSavedBehindTheContextAreMergedIn) {
    ManagedObject* edited = add(QStringLiteral("A"), QStringLiteral("mine"));
    ManagedObject* removed = add(QStringLiteral("B"), QStringLiteral("removed elsewhere"));
    ASSERT_TRUE(diary.flushUnsavedChanges());

    // Another machine's changes, written to the file as the cloud exchange would.
    const EntryValues arrived =
        entryValues(QStringLiteral("C"), QStringLiteral("from elsewhere"), 4, 201202, 1.33e9);
    const EntryValues theirs =
        entryValues(QStringLiteral("A"), QStringLiteral("theirs"), 5, 201201, 1325419200.0);
    PersistentStore::Changes changes;
    changes.inserted = {&arrived};
    changes.updated = {{edited->objectID().value, &theirs}};
    changes.deleted = {removed->objectID().value};
    std::vector<qint64> keys;
    Error error;
    ASSERT_TRUE(store()->save(changes, &keys, &error)) << error.localizedDescription.toStdString();

    // An unsaved local edit of the text wins over theirs; their color comes in.
    edited->setValue(QStringLiteral("mine, unsaved"), QStringLiteral("entryText"));
    ChangeSet incoming;
    incoming.inserted = {context->objectWithID(ManagedObjectID{keys[0]})};
    incoming.updated = {context->objectRegisteredForID(edited->objectID())};
    incoming.deleted = {context->objectWithID(removed->objectID())};
    std::vector<ChangeSet> announced;
    QObject::connect(context, &ManagedObjectContext::objectsDidChange,
                     [&](const ChangeSet& c) { announced.push_back(c); });
    context->mergeChangesFromContextDidSave(incoming);

    ASSERT_EQ(announced.size(), 1u);
    EXPECT_EQ(announced[0].inserted.size(), 1u);
    EXPECT_EQ(announced[0].updated.size(), 1u);
    EXPECT_EQ(announced[0].deleted.size(), 1u);
    ManagedObject* newcomer = findByUuid(context, QStringLiteral("C"));
    ASSERT_TRUE(newcomer);
    EXPECT_EQ(newcomer->entryText(), QStringLiteral("from elsewhere"));
    EXPECT_EQ(newcomer->colorTag(), 4);
    EXPECT_EQ(edited->entryText(), QStringLiteral("mine, unsaved"));
    EXPECT_EQ(edited->colorTag(), 5);
    EXPECT_FALSE(removed->isLive());
    EXPECT_FALSE(findByUuid(context, QStringLiteral("B")));

    // The merged state is what the next save keeps.
    ASSERT_TRUE(diary.flushUnsavedChanges());
    EXPECT_EQ(rawCount(home.storePath()), 2);
    EXPECT_EQ(
        rawCount(home.storePath(), "uuid = 'A' AND entryText = 'mine, unsaved' AND colorTag = 5"),
        1);
    EXPECT_EQ(rawCount(home.storePath(), "uuid = 'C' AND entryText = 'from elsewhere'"), 1);
}

// SQLite gives a new row the key of the last row when that row was just
// deleted, so one announcement may name the same key as deleted and as
// inserted: the old entry leaves and the new one comes in.
TEST_F(StoreSetupSaves, AnImportedEntryThatTakesTheKeyOfOneTrashedInTheSameRoundIsMergedIn) {
    add(QStringLiteral("A"), QStringLiteral("stays"));
    ManagedObject* last = add(QStringLiteral("B"), QStringLiteral("trashed elsewhere"));
    ASSERT_TRUE(diary.flushUnsavedChanges());
    const qint64 key = last->objectID().value;

    Error error;
    PersistentStore::Changes trash;
    trash.deleted = {key};
    ASSERT_TRUE(store()->save(trash, nullptr, &error)) << error.localizedDescription.toStdString();
    const EntryValues arrived =
        entryValues(QStringLiteral("C"), QStringLiteral("written elsewhere"), 2, 201202, 1.33e9);
    PersistentStore::Changes insert;
    insert.inserted = {&arrived};
    std::vector<qint64> keys;
    ASSERT_TRUE(store()->save(insert, &keys, &error)) << error.localizedDescription.toStdString();
    ASSERT_EQ(keys, std::vector<qint64>{key});

    diary.mergeiCloudChanges({{QStringLiteral("deleted"), QVariantList{key}},
                              {QStringLiteral("inserted"), QVariantList{key}}},
                             context);

    EXPECT_FALSE(findByUuid(context, QStringLiteral("B")));
    ManagedObject* newcomer = findByUuid(context, QStringLiteral("C"));
    ASSERT_TRUE(newcomer);
    EXPECT_EQ(newcomer->entryText(), QStringLiteral("written elsewhere"));
    EXPECT_EQ(context->registeredObjects().size(), 2u);
}

} // namespace
} // namespace quillet::test
