#include "store/ManagedObjectContext.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/UndoManager.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace quillet {
namespace {

std::vector<ManagedObject*> fetch(ManagedObjectContext& context) {
    Error error;
    auto result = context.executeFetchRequest(FetchRequest(), &error);
    EXPECT_TRUE(result.has_value());
    return result.value_or(std::vector<ManagedObject*>{});
}

TEST(ManagedObjectContext, AnUnknownEntityIsNeitherMadeNorFetched) {
    ManagedObjectContext context;
    EXPECT_EQ(context.insertNewObject(QStringLiteral("Nope")), nullptr);

    FetchRequest wrong;
    wrong.entityName = QStringLiteral("Nope");
    Error error;
    EXPECT_FALSE(context.executeFetchRequest(wrong, &error).has_value());
    EXPECT_FALSE(error.localizedDescription.isEmpty());
}

TEST(ManagedObjectContext, SaveWithoutAStoreFailsAndKeepsTheChangesPending) {
    ManagedObjectContext context;
    ManagedObject* a = context.insertNewObject(QStringLiteral("Entry"));
    a->setValue(QStringLiteral("kept"), QStringLiteral("entryText"));
    Error error;
    EXPECT_FALSE(context.save(&error));
    EXPECT_EQ(error.code, StoreSaveError);
    EXPECT_TRUE(context.hasChanges());
    EXPECT_TRUE(a->isInserted());
    EXPECT_EQ(a->entryText(), QStringLiteral("kept"));
}

TEST(ManagedObjectContext, UndoAndRedoOfAnInsertAnEditAndADelete) {
    ManagedObjectContext context;
    UndoManager* undo = context.undoManager();
    ManagedObject* e = context.insertNewObject(QStringLiteral("Entry"));
    e->setValue(QStringLiteral("first"), QStringLiteral("entryText"));
    context.processPendingChanges(); // ends the group the way the end of an event does
    e->setValue(QStringLiteral("second"), QStringLiteral("entryText"));
    e->setValue(4, QStringLiteral("colorTag"));
    context.processPendingChanges();

    ASSERT_TRUE(undo->canUndo());
    undo->undo();
    EXPECT_EQ(e->entryText(), QStringLiteral("first"));
    EXPECT_EQ(e->colorTag(), 0);
    EXPECT_TRUE(undo->canRedo());
    undo->redo();
    EXPECT_EQ(e->entryText(), QStringLiteral("second"));
    EXPECT_EQ(e->colorTag(), 4);

    undo->undo();
    undo->undo(); // the insertion itself
    EXPECT_FALSE(e->isLive());
    EXPECT_TRUE(fetch(context).empty());
    EXPECT_FALSE(context.hasChanges());
    undo->redo();
    EXPECT_TRUE(e->isLive());
    EXPECT_EQ(e->entryText(), QStringLiteral("first"));
    EXPECT_EQ(fetch(context).size(), 1u);

    context.deleteObject(e);
    context.processPendingChanges();
    EXPECT_TRUE(fetch(context).empty());
    undo->undo();
    EXPECT_EQ(fetch(context), std::vector<ManagedObject*>{e});

    // A new change after an undo clears what could be redone.
    e->setValue(QStringLiteral("third"), QStringLiteral("entryText"));
    context.processPendingChanges();
    EXPECT_FALSE(undo->canRedo());
}

TEST(ManagedObjectContext, WritingTheSameValueIsNoChange) {
    ManagedObjectContext context;
    ManagedObject* e = context.insertNewObject(QStringLiteral("Entry"));
    e->setValue(QStringLiteral("same"), QStringLiteral("entryText"));
    context.processPendingChanges();
    QSignalSpy changes(&context, &ManagedObjectContext::objectsDidChange);
    e->setValue(QStringLiteral("same"), QStringLiteral("entryText"));
    e->setValue(QVariant(), QStringLiteral("unknownKey"));
    EXPECT_EQ(changes.count(), 0);
}

TEST(ManagedObjectContext, PerformBlockAndWaitFromAnotherThreadRunsOnTheContextThread) {
    ManagedObjectContext context;
    QThread* ran = nullptr;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        context.performBlockAndWait([&] {
            ran = QThread::currentThread();
            context.insertNewObject(QStringLiteral("Entry"));
        });
        done = true;
    });
    while (!done) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    worker.join();
    EXPECT_EQ(ran, context.thread());
    EXPECT_EQ(fetch(context).size(), 1u);

    bool queued = false;
    context.performBlock([&] { queued = true; });
    EXPECT_FALSE(queued);
    QCoreApplication::processEvents();
    EXPECT_TRUE(queued);
}

} // namespace
} // namespace quillet
