// A large diary opens with one month and takes the rest in from a helper
// thread: whatever the list was asked for meanwhile, once the rest is in it
// holds exactly what the predicate selects, in order, and edits made before
// then are neither lost nor doubled.
#include "OpenDiary.h"
#include "TestSupport.h"
#include "store/ArrayController.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <random>

namespace quillet::test {
namespace {

constexpr int kFirstMonth = 201306;

// Every diary here counts as large, so that a few hundred rows take the helper's way.
class ScopedReadWholeLimit {
public:
    explicit ScopedReadWholeLimit(qint64 rows) : old_(PersistentStore::readWholeAtOpenLimit()) {
        PersistentStore::setReadWholeAtOpenLimit(rows);
    }
    ~ScopedReadWholeLimit() { PersistentStore::setReadWholeAtOpenLimit(old_); }

private:
    qint64 old_;
};

// Two years of entries, several a day, the words spread at random.
QString writeLargeDiary() {
    const QString path = makeTempDir() + QStringLiteral("/entries.sqlite");
    const QStringList words = {QStringLiteral("morning"), QStringLiteral("caf\u00e9"),
                               QStringLiteral("river"), QStringLiteral("\u00e9t\u00e9"),
                               QStringLiteral("tea")};
    std::mt19937 random(11);
    std::vector<EntryValues> entries;
    for (int i = 0; i < 1500; ++i) {
        const QDateTime moment = QDateTime(QDate(2012, 7, 1), QTime(0, 0), Qt::UTC)
                                     .addSecs(qint64(random() % (730 * 86400)));
        QString text;
        for (int w = 0; w < 4; ++w) {
            text += words[int(random() % words.size())] + QLatin1Char(' ');
        }
        entries.push_back(entryValues(QStringLiteral("ID-%1").arg(i), text, int(random() % 6),
                                      moment.date().year() * 100 + moment.date().month(),
                                      double(moment.toSecsSinceEpoch())));
    }
    EXPECT_TRUE(writeDiary(path, entries));
    return path;
}

// The rest arrives through the event loop, so it is heard though connected after the open.
struct LargeDiary : OpenDiary {
    explicit LargeDiary(const QString& file) : OpenDiary(file, kFirstMonth) {
        QObject::connect(&context, &ManagedObjectContext::restArrived, [this] { arrived = true; });
        // Listed as soon as the records are in, while the file's check may still run.
        QObject::connect(&context, &ManagedObjectContext::rowsArrived, [this] {
            controller.processPendingChanges();
            listedWithTheRows = controller.arrangedObjects();
            rowsBeforeRest = !arrived && context.hasAllRecords();
        });
        controller.setSortDescriptors({SortDescriptor(QStringLiteral("timeStamp"), false)});
        controller.setFilterPredicate(
            Predicate::parse(QStringLiteral("monthTag = %1").arg(kFirstMonth)));
        controller.setManagedObjectContext(&context);
    }
    ~LargeDiary() { controller.setManagedObjectContext(nullptr); }

    void waitForTheRest() {
        QElapsedTimer waited;
        waited.start();
        while (!arrived && waited.elapsed() < 30000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        ASSERT_TRUE(arrived);
        QCoreApplication::processEvents();
        controller.processPendingChanges();
    }

    // What the list must hold: the whole diary's selection in the list's order.
    std::vector<ManagedObject*> selection() {
        FetchRequest request;
        request.predicate = controller.filterPredicate();
        request.sortDescriptors = controller.sortDescriptors();
        return context.executeFetchRequest(request, nullptr)
            .value_or(std::vector<ManagedObject*>{});
    }

    ArrayController controller;
    bool arrived = false;
    bool rowsBeforeRest = false;
    std::vector<ManagedObject*> listedWithTheRows;
};

TEST(RestLoad, ASearchOrAMonthAskedForBeforeTheRestArrivesListsTheWholeSelectionOnceItHas) {
    const ScopedReadWholeLimit large(0);
    const QString path = writeLargeDiary();
    for (const QString& format :
         {QStringLiteral("entryText contains[cd] \"ETE\""),
          QStringLiteral("entryText contains[cd] \"river\" AND colorTag = 2"),
          QStringLiteral("monthTag = 201401"),
          QStringLiteral("monthTag = 201401 AND colorTag = 3")}) {
        SCOPED_TRACE(format.toStdString());
        LargeDiary diary(path);
        // The first screen is there at once, and only it.
        ASSERT_FALSE(diary.context.hasEverything());
        ASSERT_FALSE(diary.controller.arrangedObjects().empty());
        for (ManagedObject* o : diary.controller.arrangedObjects()) {
            EXPECT_EQ(o->monthTag(), kFirstMonth);
        }
        diary.controller.setFilterPredicate(Predicate::parse(format));
        ASSERT_FALSE(diary.context.hasEverything());
        diary.waitForTheRest();
        const std::vector<ManagedObject*> expected = diary.selection();
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(diary.controller.arrangedObjects(), expected);
        EXPECT_TRUE(diary.rowsBeforeRest);
        EXPECT_EQ(diary.listedWithTheRows, expected);
        EXPECT_EQ(diary.context.registeredObjects().size(), 1500u);
    }
}

TEST(RestLoad, EditsMadeBeforeTheRestArrivesAreKeptOnceEachAndAFetchWaitsForTheRest) {
    const ScopedReadWholeLimit large(0);
    const QString path = writeLargeDiary();
    QString removedUuid;
    {
        LargeDiary diary(path);
        ASSERT_FALSE(diary.context.hasEverything());
        // A first-screen entry removed and a new one made, both saved before the rest is in.
        ManagedObject* removed = diary.controller.objectAtIndex(0);
        ASSERT_TRUE(removed);
        removedUuid = removed->uuid();
        diary.context.deleteObject(removed);
        ManagedObject* made = diary.context.insertNewObject(QStringLiteral("Entry"));
        made->setValue(EntryKey::Uuid, QStringLiteral("NEW"));
        made->setValue(EntryKey::MonthTag, kFirstMonth);
        made->setValue(EntryKey::TimeStamp, QDateTime(QDate(2013, 6, 30), QTime(23, 0), Qt::UTC));
        made->setValue(EntryKey::EntryText, QStringLiteral("river"));
        ASSERT_TRUE(diary.save());
        diary.waitForTheRest();
        EXPECT_EQ(diary.context.objectsWithUuid(removedUuid).size(), 0u);
        EXPECT_EQ(diary.context.objectsWithUuid(QStringLiteral("NEW")).size(), 1u);
        EXPECT_EQ(diary.context.registeredObjects().size(), 1500u);
        EXPECT_EQ(diary.controller.arrangedObjects(), diary.selection());
    }
    {
        // A fetch made before the rest is in waits for it: nothing is missing from its answer.
        LargeDiary diary(path);
        ASSERT_FALSE(diary.context.hasEverything());
        FetchRequest request;
        request.predicate = Predicate::parse(QStringLiteral("entryText contains[cd] \"river\""));
        const auto found = diary.context.executeFetchRequest(request, nullptr);
        ASSERT_TRUE(found);
        EXPECT_TRUE(diary.context.hasEverything());
        EXPECT_EQ(found->size(), std::size_t(rawCount(path, "foldedText LIKE '%river%'")));
        EXPECT_EQ(diary.context.objectsWithUuid(removedUuid).size(), 0u);
        // The records keep the store's order, as a diary read whole would.
        const std::vector<ManagedObject*> all = diary.context.registeredObjects();
        EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), [](ManagedObject* a, ManagedObject* b) {
            return a->objectID().value < b->objectID().value;
        }));
    }
}

} // namespace
} // namespace quillet::test
