#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include "store/ChangeSet.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

namespace quillet {
namespace {

class ArrayControllerTest : public ::testing::Test {
protected:
    ArrayControllerTest() {
        controller.setManagedObjectContext(&context);
        controller.setSortDescriptors({SortDescriptor(QStringLiteral("timeStamp"), false)});
    }

    ManagedObject* add(int day, int month, const QString& text, int color = 0) {
        ManagedObject* e = context.insertNewObject(QStringLiteral("Entry"));
        e->setValue(QDateTime(QDate(2012, month, day), QTime(12, 0), Qt::UTC),
                    QStringLiteral("timeStamp"));
        e->setValue(201200 + month, QStringLiteral("monthTag"));
        e->setValue(color, QStringLiteral("colorTag"));
        e->setValue(text, QStringLiteral("entryText"));
        return e;
    }

    void filter(const QString& format) { controller.setFilterPredicate(Predicate::parse(format)); }

    ManagedObjectContext context;
    ArrayController controller;
};

TEST_F(ArrayControllerTest, FollowsInsertsAndDeletesMadeInTheContext) {
    filter(QStringLiteral("monthTag = 201203"));
    ManagedObject* a = add(5, 3, QStringLiteral("a"));
    ManagedObject* other = add(5, 4, QStringLiteral("other month"));
    // Taken in at the next turn of the event loop, once their values are set.
    EXPECT_EQ(controller.count(), 0u);
    QCoreApplication::processEvents();
    EXPECT_EQ(controller.arrangedObjects(), std::vector<ManagedObject*>{a});

    ManagedObject* b = add(9, 3, QStringLiteral("b"));
    QCoreApplication::processEvents();
    EXPECT_EQ(controller.arrangedObjects(), (std::vector<ManagedObject*>{b, a}));

    context.deleteObject(b);
    EXPECT_EQ(controller.arrangedObjects(), std::vector<ManagedObject*>{a});
    // Deleted before it was ever taken in: never listed.
    ManagedObject* gone = add(10, 3, QStringLiteral("gone"));
    context.deleteObject(gone);
    QCoreApplication::processEvents();
    EXPECT_EQ(controller.arrangedObjects(), std::vector<ManagedObject*>{a});
    // A change of month made here is not refiltered on its own, but the next arrangement sees it.
    other->setValue(201203, QStringLiteral("monthTag"));
    EXPECT_EQ(controller.count(), 1u);
    controller.rearrangeObjects();
    EXPECT_EQ(controller.arrangedObjects(), (std::vector<ManagedObject*>{other, a}));
}

TEST_F(ArrayControllerTest,
       ChangesMergedFromElsewhereLeaveOrJoinTheListInOrderAndKeepTheSelection) {
    QAbstractItemModelTester tester(&controller,
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    ManagedObject* a = add(5, 3, QStringLiteral("alpha"), 2);
    ManagedObject* b = add(9, 3, QStringLiteral("beta"), 2);
    ManagedObject* c = add(20, 3, QStringLiteral("gamma"), 2);
    ManagedObject* d = add(12, 4, QStringLiteral("delta"), 2);
    controller.processPendingChanges();
    const auto redate = [](ManagedObject* e, int day, int month) {
        e->setValue(QDateTime(QDate(2012, month, day), QTime(12, 0), Qt::UTC),
                    QStringLiteral("timeStamp"));
        e->setValue(201200 + month, QStringLiteral("monthTag"));
    };
    using Change = std::function<void()>;
    struct Case {
        const char* filter;
        Change change;
        std::vector<ManagedObject*> listed;
    };
    const std::vector<Case> cases{
        {"monthTag = 201203", [&] { redate(a, 5, 7); }, {c, b}},
        {"monthTag = 201203", [&] { redate(d, 12, 3); }, {c, d, b, a}},
        {"monthTag = 201203",
         [&] {
             redate(b, 25, 3);
             redate(c, 1, 3);
         },
         {b, a, c}},
        {"monthTag = 201203 AND colorTag = 2",
         [&] { a->setValue(4, QStringLiteral("colorTag")); },
         {c, b}},
        {"entryText contains[cd] \"ph\"",
         [&] { c->setValue(QStringLiteral("photo"), QStringLiteral("entryText")); },
         {c, a}},
        {"entryText contains[cd] \"ph\"",
         [&] { a->setValue(QStringLiteral("gone"), QStringLiteral("entryText")); },
         {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.filter);
        redate(a, 5, 3), redate(b, 9, 3), redate(c, 20, 3), redate(d, 12, 4);
        a->setValue(2, QStringLiteral("colorTag"));
        a->setValue(QStringLiteral("alpha"), QStringLiteral("entryText"));
        c->setValue(QStringLiteral("gamma"), QStringLiteral("entryText"));
        filter(QString::fromUtf8(test.filter));
        controller.setSelectionIndex(controller.indexOfObject(b));
        test.change();
        // As another machine's changes arrive: merged into the context.
        ChangeSet merged;
        merged.updated = {a, b, c, d};
        context.mergeChangesFromContextDidSave(merged);
        EXPECT_EQ(controller.arrangedObjects(), test.listed);
        const bool bListed = std::count(test.listed.begin(), test.listed.end(), b) > 0;
        EXPECT_EQ(controller.selectedObject() == b, bListed);
    }
}

TEST_F(ArrayControllerTest, SelectionFollowsItsObjectAndHasADistinctEmptyValue) {
    ManagedObject* a = add(5, 3, QStringLiteral("a"));
    ManagedObject* b = add(6, 3, QStringLiteral("b"));
    ManagedObject* c = add(7, 3, QStringLiteral("c"));
    controller.processPendingChanges();
    EXPECT_EQ(controller.selectionIndex(), IndexSet::NotFound);
    EXPECT_EQ(controller.selectedObject(), nullptr);
    EXPECT_FALSE(controller.setSelectionIndex(3));
    ASSERT_TRUE(controller.setSelectionIndex(2)); // a, the oldest
    EXPECT_EQ(controller.selectedObject(), a);

    filter(QStringLiteral("entryText contains[cd] \"a\""));
    EXPECT_EQ(controller.selectionIndex(), 0u);
    EXPECT_EQ(controller.selectedObject(), a);
    filter(QStringLiteral("entryText contains[cd] \"b\""));
    EXPECT_EQ(controller.selectionIndex(), IndexSet::NotFound);

    controller.setFilterPredicate(std::nullopt);
    controller.setSelectionIndex(1); // b
    controller.removeObjectAtArrangedObjectIndex(1);
    EXPECT_FALSE(b->isLive());
    EXPECT_TRUE(context.hasChanges());
    EXPECT_EQ(controller.arrangedObjects(), (std::vector<ManagedObject*>{c, a}));
    // The row that took the removed one's place.
    EXPECT_EQ(controller.selectedObject(), a);
    controller.removeObjectAtArrangedObjectIndex(1);
    EXPECT_EQ(controller.selectedObject(), c);
    controller.removeObjectAtArrangedObjectIndex(0);
    EXPECT_EQ(controller.selectionIndex(), IndexSet::NotFound);
}

TEST_F(ArrayControllerTest, NewAndAddedObjectsAreListedOnlyWhenTheyPassTheFilter) {
    filter(QStringLiteral("entryText contains[cd] \"x\""));
    ManagedObject* made = controller.newObject();
    ASSERT_NE(made, nullptr);
    made->setValue(QString(QLatin1String("")), QStringLiteral("entryText"));
    made->setValue(QDateTime::currentDateTimeUtc(), QStringLiteral("timeStamp"));
    controller.addObject(made);
    EXPECT_EQ(controller.count(), 0u);
    controller.setFilterPredicate(std::nullopt);
    EXPECT_EQ(controller.indexOfObject(made), 0u);

    ManagedObject* listed = controller.newObject();
    listed->setValue(QStringLiteral("xx"), QStringLiteral("entryText"));
    QSignalSpy inserted(&controller, &QAbstractItemModel::rowsInserted);
    controller.addObject(listed);
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(controller.selectedObject(), listed);
    EXPECT_EQ(controller.count(), 2u);
}

} // namespace
} // namespace quillet
