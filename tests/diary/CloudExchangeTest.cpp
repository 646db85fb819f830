// Two open diaries whose store files take part in the exchange through one
// shared container folder (as a sync engine keeps it on two machines): an
// entry saved in one arrives in the other's context through the imported
// changes announcement, with "RefreshAllViews" after the merge.
#include "DiaryFiles.h"
#include "Entries.h"
#include "StoreTestSupport.h"

#include "core/NotificationCenter.h"
#include "diary/DiaryStore.h"
#include "diary/StoreLocations.h"
#include "diary/Utility.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/cloud/Merge.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>
#include <map>
#include <optional>

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
    std::optional<DiaryStore> laptop, desktop;
    ManagedObjectContext* onLaptop() { return laptop->managedObjectContext(); }
    ManagedObjectContext* onDesktop() { return desktop->managedObjectContext(); }
    void openLaptop() { laptop.emplace(&laptopPlaces, &laptopWindow); }
    void openDesktop() { desktop.emplace(&desktopPlaces, &desktopWindow); }
    ManagedObject* saveOnLaptop(const QString& uuid, const QString& text, int colorTag = 0) {
        ManagedObject* e =
            addEntry(*onLaptop(), QDateTime::fromSecsSinceEpoch(1330956429), text, colorTag, uuid);
        Error error;
        EXPECT_TRUE(onLaptop()->save(&error)) << error.localizedDescription.toStdString();
        return e;
    }
};

TEST(CloudExchange, ChangesAppliedWhileTheDiaryOpensAreNotLostToItsWindow) {
    // A machine joining late: the other's log is already in the container
    // when its diary opens. Whatever the exchange applies between reading the
    // store and listening for its announcements must still reach the context.
    TwoMachines m;
    m.openLaptop();
    const QString uuid = QStringLiteral("5D1E0A4C-2222-4B7A-8C3D-000000000002");
    m.saveOnLaptop(uuid, QStringLiteral("written before the desktop opened"));
    ASSERT_TRUE(waitFor([&] {
        return !QDir(m.container + QStringLiteral("/TransactionLogs"))
                    .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                    .isEmpty();
    }));

    m.openDesktop();
    ASSERT_TRUE(m.desktop->persistentStoreCoordinator());
    // Time for an exchange started with the store to apply the laptop's log
    // before the window's context exists.
    QDeadlineTimer settle(1500);
    while (!settle.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    ManagedObjectContext* onDesktop = m.onDesktop();
    EXPECT_TRUE(waitFor([&] { return findByUuid(onDesktop, uuid) != nullptr; }));
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

// The merge and save steps are SaveByProperty's; here the diary's part: its
// merge policy and its exchange thread keep an unsaved edit in the window.
TEST(CloudExchange, AnEntryTypedOnBothMachinesWhileTheOthersTextArrivesKeepsBothTexts) {
    TwoMachines m;
    m.openLaptop();
    m.openDesktop();
    ManagedObjectContext* onLaptop = m.onLaptop();
    ManagedObjectContext* onDesktop = m.onDesktop();
    const QString uuid = QStringLiteral("5D1E0A4C-2222-4B7A-8C3D-000000000004");
    ManagedObject* onLaptopEntry = m.saveOnLaptop(uuid, QStringLiteral("begun on the laptop"));
    ASSERT_TRUE(waitFor([&] { return findByUuid(onDesktop, uuid) != nullptr; }));
    ManagedObject* onDesktopEntry = findByUuid(onDesktop, uuid);
    Error error;

    int refreshes = 0;
    NotificationCenter& center = NotificationCenter::defaultCenter();
    const int refreshed = center.addObserver(QStringLiteral("RefreshAllViews"), &m.desktopWindow,
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
