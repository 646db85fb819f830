// The entry list of a large diary: a search spread over threads, the order
// kept by moving one record instead of sorting again, and rows found among
// records that sort alike must all give what a plain one-by-one filter and
// a stable sort would give.
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace quillet {
namespace {

class ListArrangementTest : public ::testing::Test {
protected:
    ListArrangementTest() {
        context.undoManager();
        controller.setSortDescriptors({SortDescriptor(QStringLiteral("timeStamp"), false)});
        controller.setManagedObjectContext(&context);
    }

    ManagedObject* add(qint64 second, const QString& text, int color) {
        ManagedObject* e = context.insertNewObject(QStringLiteral("Entry"));
        e->setValue(EntryKey::TimeStamp, QDateTime::fromSecsSinceEpoch(second, Qt::UTC));
        e->setValue(EntryKey::MonthTag, 201200 + int(second % 12) + 1);
        e->setValue(EntryKey::ColorTag, color);
        e->setValue(EntryKey::EntryText, text);
        made.push_back(e);
        return e;
    }

    // What the list must hold: every record that passes, newest first, records
    // of the same moment in the order they were made.
    std::vector<ManagedObject*> expected(const QString& format) {
        const std::optional<Predicate> predicate = Predicate::parse(format);
        std::vector<ManagedObject*> all = made;
        std::stable_sort(all.begin(), all.end(), [](ManagedObject* a, ManagedObject* b) {
            return a->timeStampSeconds() > b->timeStampSeconds();
        });
        std::vector<ManagedObject*> passing;
        std::copy_if(all.begin(), all.end(), std::back_inserter(passing),
                     [&](ManagedObject* o) { return o->isLive() && predicate->evaluate(*o); });
        return passing;
    }

    void filter(const QString& format) { controller.setFilterPredicate(Predicate::parse(format)); }

    ManagedObjectContext context;
    ArrayController controller;
    std::vector<ManagedObject*> made;
};

TEST_F(ListArrangementTest, ANewDateMovesTheRecordToItsPlace) {
    for (int i = 0; i < 50; ++i) {
        add(1000 + i * 10, QStringLiteral("entry %1").arg(i), 0);
    }
    controller.processPendingChanges();
    const QString all = QStringLiteral("entryText contains[cd] \"entry\"");
    filter(all);
    ManagedObject* oldest = made.front();
    ManagedObject* middle = made[25];
    oldest->setValue(EntryKey::TimeStamp, QDateTime::fromSecsSinceEpoch(99999, Qt::UTC));
    middle->setValue(EntryKey::TimeStamp,
                     QDateTime::fromSecsSinceEpoch(1000 + 40 * 10 + 5, Qt::UTC));
    // Not moved in the list on its own, but found where it stands.
    EXPECT_EQ(controller.indexOfObject(oldest), 49u);
    filter(all);
    EXPECT_EQ(controller.arrangedObjects(), expected(all));
    EXPECT_EQ(controller.objectAtIndex(0), oldest);
    EXPECT_EQ(controller.indexOfObject(middle), 10u); // after the newest and #49 to #41
}

TEST_F(ListArrangementTest, ASearchTypedFurtherListsWhatASearchOfEverythingWould) {
    std::mt19937 random(3);
    const QStringList words = {QStringLiteral("Morgen"), QStringLiteral("m\u00f6rser"),
                               QStringLiteral("mor"), QStringLiteral("MORNING"),
                               QStringLiteral("more")};
    for (int i = 0; i < 20000; ++i) {
        add(2'000'000 + qint64(random() % 9000),
            words[int(random() % words.size())] + QStringLiteral(" day"), int(random() % 3));
    }
    controller.processPendingChanges();
    const auto search = [](const QString& text, const QString& tail = QString()) {
        return QStringLiteral("entryText contains[cd] \"%1\"").arg(text) + tail;
    };
    // Letter by letter, and back, with and without a color: each list is the
    // whole diary's selection.
    for (const QString& typed :
         {QStringLiteral("m"), QStringLiteral("mo"), QStringLiteral("mor"), QStringLiteral("morn"),
          QStringLiteral("mor"), QStringLiteral("MORS"), QStringLiteral("mo")}) {
        SCOPED_TRACE(typed.toStdString());
        filter(search(typed));
        EXPECT_EQ(controller.arrangedObjects(), expected(search(typed)));
        filter(search(typed, QStringLiteral(" AND colorTag = 2")));
        EXPECT_EQ(controller.arrangedObjects(),
                  expected(search(typed, QStringLiteral(" AND colorTag = 2"))));
    }
    // A record edited to match after the last search is found by the next, narrower one.
    filter(search(QStringLiteral("morn")));
    ManagedObject* edited = nullptr;
    for (ManagedObject* o : made) {
        if (!o->entryText().contains(QStringLiteral("morn"), Qt::CaseInsensitive)) {
            edited = o;
            break;
        }
    }
    ASSERT_TRUE(edited);
    edited->setValue(EntryKey::EntryText, QStringLiteral("mornings"));
    filter(search(QStringLiteral("mornin")));
    EXPECT_EQ(controller.arrangedObjects(), expected(search(QStringLiteral("mornin"))));
    EXPECT_NE(controller.indexOfObject(edited), IndexSet::NotFound);

    const auto narrows = [](const QString& narrow, const QString& wide) {
        return Predicate::parse(narrow)->narrows(*Predicate::parse(wide));
    };
    EXPECT_TRUE(narrows(search(QStringLiteral("Caf\u00e9s")), search(QStringLiteral("cafe"))));
    EXPECT_TRUE(narrows(search(QStringLiteral("xcafe")), search(QStringLiteral("caf"))));
    EXPECT_FALSE(narrows(search(QStringLiteral("caf")), search(QStringLiteral("cafe"))));
    EXPECT_FALSE(narrows(search(QStringLiteral("cafe"), QStringLiteral(" AND colorTag = 1")),
                         search(QStringLiteral("caf"))));
    EXPECT_FALSE(narrows(search(QStringLiteral("cafe"), QStringLiteral(" AND colorTag = 1")),
                         search(QStringLiteral("caf"), QStringLiteral(" AND colorTag = 2"))));
    EXPECT_FALSE(narrows(QStringLiteral("entryText contains \"Cafe\""),
                         QStringLiteral("entryText contains \"caf\"")));
    EXPECT_FALSE(narrows(QStringLiteral("monthTag = 201201"), QStringLiteral("monthTag = 201202")));
}

TEST_F(ListArrangementTest, RowsAreFoundAmongRecordsOfTheSameMoment) {
    for (int i = 0; i < 200; ++i) {
        add(5000 + (i / 40), QStringLiteral("same %1").arg(i), i % 6);
    }
    controller.processPendingChanges();
    ASSERT_EQ(controller.count(), 200u);
    for (std::size_t row = 0; row < controller.count(); ++row) {
        ASSERT_EQ(controller.indexOfObject(controller.objectAtIndex(row)), row);
    }
    filter(QStringLiteral("colorTag = 4"));
    EXPECT_EQ(controller.arrangedObjects(), expected(QStringLiteral("colorTag = 4")));
    // The rows as the list view reads them.
    EXPECT_EQ(controller.rowCount(), int(controller.count()));
    EXPECT_EQ(
        controller.data(controller.index(0), ArrayController::ObjectRole).value<ManagedObject*>(),
        controller.objectAtIndex(0));
    EXPECT_EQ(controller.indexOfObject(made[0]), IndexSet::NotFound);
    const std::vector<ManagedObject*> fours = expected(QStringLiteral("colorTag = 4"));
    EXPECT_EQ(controller.indexOfObject(made[4]),
              std::size_t(std::find(fours.begin(), fours.end(), made[4]) - fours.begin()));
    ManagedObjectContext other;
    EXPECT_EQ(controller.indexOfObject(other.insertNewObject(QStringLiteral("Entry"))),
              IndexSet::NotFound);
    EXPECT_EQ(controller.indexOfObject(nullptr), IndexSet::NotFound);
}

} // namespace
} // namespace quillet
