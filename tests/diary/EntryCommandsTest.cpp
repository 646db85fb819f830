#include "diary/journal/EntryCommands.h"
#include "Entries.h"
#include "TestSupport.h"
#include "core/Clock.h"
#include "diary/Utility.h"
#include "diary/journal/JournalFilter.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace quillet {
namespace {

QDateTime at(int year, int month, int day, int hour, int minute) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute));
}

int monthTag(const QDateTime& date) {
    return Utility::sharedUtility()->monthTagForDate(date);
}

// The commands on a diary in memory, 15 March 2012 in Berlin, March listed.
class EntryCommandsTest : public ::testing::Test {
protected:
    EntryCommandsTest()
        : tz("Europe/Berlin"), filter(&list, monthTag, [] { return QString(); }),
          commands(&list, &filter,
                   {monthTag, [this] { return QStringLiteral("UUID-%1").arg(++made); }}) {
        list.setManagedObjectContext(&context);
        list.setSortDescriptors(filter.currSortDescriptors());
        filter.reloadData();
    }

    ManagedObject* add(const QDateTime& when, int tag, const QString& uuid) {
        return test::addEntry(context, when, uuid, tag, uuid);
    }
    void settle() {
        QCoreApplication::processEvents();
        filter.reloadData();
    }

    test::ScopedTimeZone tz;
    test::ScopedNow now{at(2012, 3, 15, 12, 0)};
    int made = 0;
    ManagedObjectContext context;
    ArrayController list;
    JournalFilter filter;
    EntryCommands commands;
};

TEST_F(EntryCommandsTest, ANewEntryIsOfThisMomentTaggedWithTheColorFilterAndListed) {
    filter.setColorFilter(3);
    ManagedObject* entry = commands.newEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->timeStamp(), at(2012, 3, 15, 12, 0));
    EXPECT_EQ(entry->monthTag(), 201203);
    EXPECT_EQ(entry->colorTag(), 3);
    EXPECT_EQ(entry->entryText(), QString(QLatin1String("")));
    EXPECT_FALSE(entry->entryText().isNull()) << "an empty text, not none";
    EXPECT_EQ(entry->uuid(), QStringLiteral("UUID-1"));
    EXPECT_NE(list.indexOfObject(entry), IndexSet::NotFound);

    // Without a context there is nothing to make an entry in.
    ArrayController orphan;
    JournalFilter orphanFilter(&orphan, monthTag, [] { return QString(); });
    EntryCommands none(&orphan, &orphanFilter, {monthTag, [] { return QStringLiteral("X"); }});
    EXPECT_EQ(none.newEntry(), nullptr);
}

TEST_F(EntryCommandsTest, RemovalTakesOnlyTheSelectedEntry) {
    add(at(2012, 3, 9, 9, 0), 0, QStringLiteral("A"));
    ManagedObject* b = add(at(2012, 3, 8, 9, 0), 0, QStringLiteral("B"));
    settle();
    list.setSelectionIndex(IndexSet::NotFound);
    EXPECT_FALSE(commands.removeSelectedEntry());
    EXPECT_EQ(list.count(), 2u);
    list.setSelectionIndex(list.indexOfObject(b));
    EXPECT_TRUE(commands.removeSelectedEntry());
    settle();
    ASSERT_EQ(list.count(), 1u);
    EXPECT_EQ(list.objectAtIndex(0)->uuid(), QStringLiteral("A"));
}

TEST_F(EntryCommandsTest, RetaggingRefusesUnknownTagsAndTheColorFilterFollowsTheEntry) {
    ManagedObject* orange = add(at(2012, 3, 11, 9, 0), 2, QStringLiteral("orange"));
    add(at(2012, 3, 10, 9, 0), 2, QStringLiteral("other orange"));
    add(at(2012, 3, 9, 9, 0), 4, QStringLiteral("green"));
    settle();
    list.setSelectionIndex(list.indexOfObject(orange));
    for (int tag : {-1, 6, 100}) {
        EXPECT_FALSE(commands.setColorTagOfSelection(tag)) << tag;
        EXPECT_EQ(orange->colorTag(), 2) << tag;
    }

    filter.setColorTagSelectionIndexs(IndexSet{2});
    list.setSelectionIndex(list.indexOfObject(orange));
    ASSERT_TRUE(commands.setColorTagOfSelection(4));
    EXPECT_EQ(orange->colorTag(), 4);
    EXPECT_EQ(filter.colorFilter(), std::optional<int>(4)) << "the filter follows the entry";
    EXPECT_EQ(list.count(), 2u);
    EXPECT_EQ(list.selectedObject(), orange);

    filter.setColorTagSelectionIndexs(IndexSet{0});
    ASSERT_TRUE(commands.setColorTagOfSelection(1));
    EXPECT_EQ(filter.colorFilter(), std::optional<int>(0)) << "no filter stays no filter";
    EXPECT_EQ(list.selectedObject(), orange);
}

TEST_F(EntryCommandsTest, RedatingMovesTheMonthTagAndTheSelectionWithTheEntry) {
    ManagedObject* march = add(at(2012, 3, 5, 14, 7), 0, QStringLiteral("march"));
    add(at(2010, 7, 20, 8, 0), 0, QStringLiteral("july"));
    settle();
    list.setSelectionIndex(list.indexOfObject(march));
    EXPECT_FALSE(commands.setDateOfSelection(QDateTime()));
    EXPECT_EQ(march->monthTag(), 201203);

    ASSERT_TRUE(commands.setDateOfSelection(at(2010, 7, 5, 10, 30)));
    EXPECT_EQ(march->monthTag(), 201007);
    EXPECT_EQ(filter.currentMonth(), (DateComponents{2010, 7}));
    QCoreApplication::processEvents();
    EXPECT_EQ(list.count(), 2u);
    EXPECT_EQ(list.selectedObject(), march);

    // The month tag is written again from the moment on request.
    march->setValue(190001, QStringLiteral("monthTag"));
    commands.updateDateValue_workaround();
    EXPECT_EQ(march->monthTag(), 201007);

    // 1985 is before the year list: the month follows, the year stays.
    ASSERT_TRUE(commands.setDateOfSelection(at(1985, 6, 14, 8, 0)));
    EXPECT_EQ(march->monthTag(), 198506);
    EXPECT_EQ(filter.currentMonth(), (DateComponents{2010, 6}));
}

TEST_F(EntryCommandsTest, SelectingByIdentifierTakesTheLastMatchInListOrder) {
    const QString shared = QStringLiteral("0B4E5D7C-1111-4A2B-9C3D-5E6F70819203");
    add(at(2012, 3, 9, 9, 0), 0, shared);
    add(at(2012, 3, 8, 9, 0), 0, QStringLiteral("between"));
    ManagedObject* later = add(at(2012, 3, 7, 9, 0), 0, shared);
    settle();
    ASSERT_EQ(list.count(), 3u);

    commands.selectObjectAsUuid(shared);
    EXPECT_EQ(list.selectedObject(), later);
    list.setSelectionIndex(1);
    commands.selectObjectAsUuid(QStringLiteral("NO-SUCH-ENTRY"));
    EXPECT_EQ(list.selectionIndex(), 1u);
    commands.selectObjectAsUuid(QString());
    EXPECT_EQ(list.selectionIndex(), 1u);
}

} // namespace
} // namespace quillet
