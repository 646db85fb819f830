// Two open diaries whose store files take part in the exchange through one
// shared container folder (as a sync engine keeps it on two machines): an
// entry saved in one arrives in the other's context through the imported
// changes announcement, with "RefreshAllViews" after the merge.
#include "DiaryFiles.h"
#include "StoreTestSupport.h"

#include "core/NotificationCenter.h"
#include "diary/DiaryStore.h"
#include "diary/StoreLocations.h"
#include "diary/Utility.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"
#include "store/cloud/Merge.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>
#include <map>
#include <sqlite3.h>
#include <tuple>

namespace quillet::test {
namespace {

ManagedObject* findByUuid(ManagedObjectContext* context, const QString& uuid) {
    for (ManagedObject* o : context->registeredObjects()) {
        if (o->isLive() && o->uuid() == uuid) {
            return o;
        }
    }
    return nullptr;
}

// Two machines, each with a diary folder of its own, whose containers are
// one shared folder. The cloud copy's presence is what opens a store with
// the cloud options.
struct TwoMachines {
    TwoMachines() {
        QDir().mkpath(container + QStringLiteral("/.nosync"));
        writeBytes(container + QStringLiteral("/.nosync/entries.sqlite"), "the cloud copy");
    }
    ScopedDiaryHome home;
    const QString container = signIn(home);
    const QString laptopHome = makeTempDir(), desktopHome = makeTempDir();
    StoreLocations laptopPlaces{Utility::sharedUtility()->edition(), [this] { return laptopHome; },
                                [this](const QString&) { return container; }};
    StoreLocations desktopPlaces{Utility::sharedUtility()->edition(),
                                 [this] { return desktopHome; },
                                 [this](const QString&) { return container; }};
    QObject laptopWindow, desktopWindow;
};

TEST(CloudExchange, AnEntrySavedInOneOpenDiaryAppearsInTheOther) {
    TwoMachines m;
    auto [laptopPlaces, desktopPlaces, laptopWindow, desktopWindow] =
        std::tie(m.laptopPlaces, m.desktopPlaces, m.laptopWindow, m.desktopWindow);
    DiaryStore laptop(&laptopPlaces, &laptopWindow), desktop(&desktopPlaces, &desktopWindow);
    ManagedObjectContext* onLaptop = laptop.managedObjectContext();
    ManagedObjectContext* onDesktop = desktop.managedObjectContext();
    ASSERT_TRUE(onLaptop->persistentStoreCoordinator() && onDesktop->persistentStoreCoordinator());
    ASSERT_NE(laptop.persistentStoreCoordinator()->defaultStore()->path(),
              desktop.persistentStoreCoordinator()->defaultStore()->path());

    std::vector<QVariantMap> announced;
    int refreshes = 0;
    NotificationCenter& center = NotificationCenter::defaultCenter();
    const int announcements = center.addObserver(
        QStringLiteral("NSPersistentStoreDidImportUbiquitousContentChangesNotification"),
        desktop.persistentStoreCoordinator(),
        [&](const Notification& note) { announced.push_back(note.userInfo); });
    const int refreshed = center.addObserver(QStringLiteral("RefreshAllViews"), &desktopWindow,
                                             [&](const Notification&) { ++refreshes; });

    const QString uuid = QStringLiteral("5D1E0A4C-2222-4B7A-8C3D-000000000001");
    ManagedObject* entry = onLaptop->insertNewObject(QStringLiteral("Entry"));
    entry->setValue(uuid, QStringLiteral("uuid"));
    entry->setValue(QStringLiteral("written on the laptop"), QStringLiteral("entryText"));
    entry->setValue(3, QStringLiteral("colorTag"));
    entry->setValue(201203, QStringLiteral("monthTag"));
    entry->setValue(QDateTime::fromSecsSinceEpoch(1330956429), QStringLiteral("timeStamp"));
    Error error;
    ASSERT_TRUE(onLaptop->save(&error)) << error.localizedDescription.toStdString();

    ASSERT_TRUE(waitFor([&] { return findByUuid(onDesktop, uuid) && refreshes > 0; }));
    ManagedObject* arrived = findByUuid(onDesktop, uuid);
    EXPECT_EQ(arrived->valueForKey(QStringLiteral("entryText")).toString(),
              QStringLiteral("written on the laptop"));
    EXPECT_EQ(arrived->valueForKey(QStringLiteral("colorTag")).toInt(), 3);
    ASSERT_FALSE(announced.empty());
    EXPECT_EQ(announced[0].value(QStringLiteral("inserted")).toList().size(), 1);

    // And back: an edit on the desktop reaches the record the laptop holds.
    arrived->setValue(QStringLiteral("finished on the desktop"), QStringLiteral("entryText"));
    ASSERT_TRUE(onDesktop->save(&error)) << error.localizedDescription.toStdString();
    EXPECT_TRUE(waitFor([&] {
        return entry->valueForKey(QStringLiteral("entryText")).toString() ==
               QStringLiteral("finished on the desktop");
    }));

    center.removeObserver(announcements);
    center.removeObserver(refreshed);
}

TEST(CloudExchange, ChangesAppliedWhileTheDiaryOpensAreNotLostToItsWindow) {
    // A machine joining late: the other's log is already in the container
    // when its diary opens. Whatever the exchange applies between reading the
    // store and listening for its announcements must still reach the context.
    TwoMachines m;
    auto [laptopPlaces, desktopPlaces, laptopWindow, desktopWindow] =
        std::tie(m.laptopPlaces, m.desktopPlaces, m.laptopWindow, m.desktopWindow);
    DiaryStore laptop(&laptopPlaces, &laptopWindow);
    ManagedObjectContext* onLaptop = laptop.managedObjectContext();
    const QString uuid = QStringLiteral("5D1E0A4C-2222-4B7A-8C3D-000000000002");
    ManagedObject* entry = onLaptop->insertNewObject(QStringLiteral("Entry"));
    entry->setValue(uuid, QStringLiteral("uuid"));
    entry->setValue(QStringLiteral("written before the desktop opened"),
                    QStringLiteral("entryText"));
    entry->setValue(201203, QStringLiteral("monthTag"));
    entry->setValue(QDateTime::fromSecsSinceEpoch(1330956429), QStringLiteral("timeStamp"));
    Error error;
    ASSERT_TRUE(onLaptop->save(&error)) << error.localizedDescription.toStdString();
    ASSERT_TRUE(waitFor([&] {
        return !QDir(m.container + QStringLiteral("/TransactionLogs"))
                    .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                    .isEmpty();
    }));

    DiaryStore desktop(&desktopPlaces, &desktopWindow);
    ASSERT_TRUE(desktop.persistentStoreCoordinator());
    // Time for an exchange started with the store to apply the laptop's log
    // before the window's context exists.
    QDeadlineTimer settle(1500);
    while (!settle.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    ManagedObjectContext* onDesktop = desktop.managedObjectContext();
    EXPECT_TRUE(waitFor([&] { return findByUuid(onDesktop, uuid) != nullptr; }));
}

// The color tag of the entry in the diary file, as another connection reads it.
int storedColor(const QString& storePath, const QString& uuid) {
    SqliteDatabase db;
    if (!db.open(storePath, SQLITE_OPEN_READONLY, nullptr)) {
        return -1;
    }
    SqliteStatement s(db.handle(), "SELECT colorTag FROM entry WHERE uuid = ?");
    s.bindText(1, uuid);
    return s.step() == SQLITE_ROW ? s.columnInt(0) : -1;
}

// An entry begun on the laptop and saved there, as it is once it has
// arrived in the desktop's window (null there if it never did).
std::pair<ManagedObject*, ManagedObject*> begunOnTheLaptop(ManagedObjectContext* onLaptop,
                                                           ManagedObjectContext* onDesktop,
                                                           const QString& uuid, int colorTag) {
    ManagedObject* onLaptopEntry = onLaptop->insertNewObject(QStringLiteral("Entry"));
    onLaptopEntry->setValue(uuid, QStringLiteral("uuid"));
    onLaptopEntry->setValue(QStringLiteral("begun on the laptop"), QStringLiteral("entryText"));
    onLaptopEntry->setValue(colorTag, QStringLiteral("colorTag"));
    onLaptopEntry->setValue(201203, QStringLiteral("monthTag"));
    onLaptopEntry->setValue(QDateTime::fromSecsSinceEpoch(1330956429), QStringLiteral("timeStamp"));
    Error error;
    EXPECT_TRUE(onLaptop->save(&error)) << error.localizedDescription.toStdString();
    EXPECT_TRUE(waitFor([&] { return findByUuid(onDesktop, uuid) != nullptr; }));
    return {onLaptopEntry, findByUuid(onDesktop, uuid)};
}

TEST(CloudExchange, AReTagFromTheOtherMachineSurvivesALocalTextEditSavedBeforeItsMerge) {
    TwoMachines m;
    auto [laptopPlaces, desktopPlaces, laptopWindow, desktopWindow] =
        std::tie(m.laptopPlaces, m.desktopPlaces, m.laptopWindow, m.desktopWindow);
    DiaryStore laptop(&laptopPlaces, &laptopWindow), desktop(&desktopPlaces, &desktopWindow);
    ManagedObjectContext* onLaptop = laptop.managedObjectContext();
    ManagedObjectContext* onDesktop = desktop.managedObjectContext();
    const QString uuid = QStringLiteral("5D1E0A4C-2222-4B7A-8C3D-000000000003");
    auto [onLaptopEntry, onDesktopEntry] = begunOnTheLaptop(onLaptop, onDesktop, uuid, 2);
    ASSERT_TRUE(onDesktopEntry);
    Error error;

    // The desktop's text edit is not saved yet when the laptop re-tags.
    onDesktopEntry->setValue(QStringLiteral("finished on the desktop"),
                             QStringLiteral("entryText"));
    onLaptopEntry->setValue(5, QStringLiteral("colorTag"));
    ASSERT_TRUE(onLaptop->save(&error)) << error.localizedDescription.toStdString();

    // The desktop's exchange applies the re-tag on its own thread; the merge
    // into the window waits for the main thread, which saves first.
    const QString desktopPath = desktop.persistentStoreCoordinator()->defaultStore()->path();
    QDeadlineTimer deadline(10000);
    while (storedColor(desktopPath, uuid) != 5 && !deadline.hasExpired()) {
        QThread::msleep(10);
    }
    ASSERT_EQ(storedColor(desktopPath, uuid), 5);
    ASSERT_EQ(onDesktopEntry->colorTag(), 2) << "merged before the save: nothing to show";
    ASSERT_TRUE(onDesktop->save(&error)) << error.localizedDescription.toStdString();

    // Once both have merged and exchanged: the laptop's color, the desktop's text, everywhere.
    const auto both = [&](ManagedObject* e) {
        return e->colorTag() == 5 && e->entryText() == QStringLiteral("finished on the desktop");
    };
    EXPECT_TRUE(waitFor([&] { return both(onLaptopEntry) && both(onDesktopEntry); }))
        << "laptop " << onLaptopEntry->colorTag() << " " << onLaptopEntry->entryText().toStdString()
        << ", desktop " << onDesktopEntry->colorTag() << " "
        << onDesktopEntry->entryText().toStdString();
    EXPECT_EQ(storedColor(laptop.persistentStoreCoordinator()->defaultStore()->path(), uuid), 5);
    EXPECT_EQ(storedColor(desktopPath, uuid), 5);
    EXPECT_EQ(onLaptop->registeredObjects().size(), 1u);
    EXPECT_EQ(onDesktop->registeredObjects().size(), 1u);
    EXPECT_FALSE(onLaptop->hasChanges() || onDesktop->hasChanges());
}

// Every live entry's text by identifier, as a context shows them.
std::map<QString, QString> textsIn(ManagedObjectContext* context) {
    std::map<QString, QString> texts;
    for (ManagedObject* o : context->registeredObjects()) {
        if (o->isLive())
            texts[o->uuid()] = o->entryText();
    }
    return texts;
}

TEST(CloudExchange, AnEntryTypedOnBothMachinesWhileTheOthersTextArrivesKeepsBothTexts) {
    TwoMachines m;
    auto [laptopPlaces, desktopPlaces, laptopWindow, desktopWindow] =
        std::tie(m.laptopPlaces, m.desktopPlaces, m.laptopWindow, m.desktopWindow);
    DiaryStore laptop(&laptopPlaces, &laptopWindow), desktop(&desktopPlaces, &desktopWindow);
    ManagedObjectContext* onLaptop = laptop.managedObjectContext();
    ManagedObjectContext* onDesktop = desktop.managedObjectContext();
    const QString uuid = QStringLiteral("5D1E0A4C-2222-4B7A-8C3D-000000000004");
    auto [onLaptopEntry, onDesktopEntry] = begunOnTheLaptop(onLaptop, onDesktop, uuid, 0);
    ASSERT_TRUE(onDesktopEntry);
    Error error;

    int refreshes = 0;
    NotificationCenter& center = NotificationCenter::defaultCenter();
    const int refreshed = center.addObserver(QStringLiteral("RefreshAllViews"), &desktopWindow,
                                             [&](const Notification&) { ++refreshes; });
    // Typed on the desktop, not saved yet, while the laptop's new text
    // arrives and is merged into the desktop's window.
    const QString mine = QStringLiteral("typed on the desktop");
    const QString theirs = QStringLiteral("typed on the laptop");
    onDesktopEntry->setValue(mine, QStringLiteral("entryText"));
    onLaptopEntry->setValue(theirs, QStringLiteral("entryText"));
    ASSERT_TRUE(onLaptop->save(&error)) << error.localizedDescription.toStdString();
    ASSERT_TRUE(waitFor([&] { return refreshes > 0; }));
    ASSERT_EQ(onDesktopEntry->entryText(), mine) << "the unsaved edit stays in the window";
    ASSERT_TRUE(onDesktop->save(&error)) << error.localizedDescription.toStdString();

    // Once both have exchanged: the same two entries on both, nothing typed lost.
    const auto bothTexts = [&](ManagedObjectContext* context) {
        const std::map<QString, QString> texts = textsIn(context);
        return texts.size() == 2 && texts.count(uuid) &&
               std::any_of(texts.begin(), texts.end(), [&](const auto& t) {
                   return t.second == QString::fromUtf8(cloud::kConflictCopyHeading) + theirs;
               });
    };
    EXPECT_TRUE(waitFor([&] { return bothTexts(onLaptop) && bothTexts(onDesktop); }));
    const std::map<QString, QString> laptopTexts = textsIn(onLaptop);
    EXPECT_EQ(laptopTexts, textsIn(onDesktop));
    EXPECT_EQ(laptopTexts.at(uuid), mine);
    EXPECT_FALSE(onLaptop->hasChanges() || onDesktop->hasChanges());
    center.removeObserver(refreshed);
}

} // namespace
} // namespace quillet::test
