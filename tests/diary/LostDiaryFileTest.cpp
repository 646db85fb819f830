// The diary file going away under the open diary: told once however often
// the diary is saved after, the edits kept, and saved to a new file on request.
#include "DiaryFiles.h"
#include "Entries.h"
#include "StoreTestSupport.h"

#include "diary/DiaryStore.h"
#include "diary/Utility.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

namespace quillet::test {
namespace {

ManagedObject* addText(ManagedObjectContext* context, const QString& uuid, const QString& text) {
    return addEntry(*context, QDateTime::fromSecsSinceEpoch(1325419200), text, 0, uuid);
}

TEST(LostDiaryFile, ToldOnceTheEditsKeptAndSavedToANewFile) {
    ScopedDiaryHome home;
    alerts().clear();
    DiaryStore diary(&Utility::sharedUtility()->storeLocations(), nullptr);
    ManagedObjectContext* context = diary.managedObjectContext();
    ASSERT_TRUE(diary.hasStore());
    addText(context, QStringLiteral("FIRST"), QStringLiteral("saved"));
    ASSERT_TRUE(diary.flushUnsavedChanges());
    const QString moved = home.storeFolder() + QStringLiteral("/moved.sqlite");
    ASSERT_TRUE(QFile::rename(home.storePath(), moved));

    // Without a handler: one alert for the first failed save, none after.
    addText(context, QStringLiteral("SECOND"), QStringLiteral("typed after the move"));
    EXPECT_FALSE(diary.flushUnsavedChanges());
    ManagedObject* first = context->registeredObjects().front();
    first->setValue(QStringLiteral("changed after the move"), QStringLiteral("entryText"));
    EXPECT_FALSE(diary.flushUnsavedChanges());
    EXPECT_FALSE(diary.flushUnsavedChanges());
    ASSERT_EQ(alerts().errors.size(), 1u);
    EXPECT_EQ(alerts().errors.front().code, StoreFileMovedError);
    EXPECT_TRUE(diary.isFileLost());
    EXPECT_EQ(diary.fileLostError().code, StoreFileMovedError);
    EXPECT_TRUE(context->hasChanges());
    EXPECT_FALSE(QFileInfo::exists(home.storePath()));

    const QString copy = home.storeFolder() + QStringLiteral("/entries (recovered).sqlite");
    Error error;
    ASSERT_TRUE(diary.saveToNewFile(copy, &error)) << error.localizedDescription.toStdString();
    EXPECT_FALSE(diary.isFileLost());
    EXPECT_FALSE(context->hasChanges());
    EXPECT_EQ(rawCount(copy), 2);
    EXPECT_EQ(rawCount(copy, "uuid = 'FIRST' AND entryText = 'changed after the move'"), 1);
    EXPECT_EQ(rawCount(copy, "uuid = 'SECOND' AND entryText = 'typed after the move'"), 1);
    EXPECT_EQ(rawCount(moved, "entryText = 'saved'"), 1);

    // The new file lost in turn is told again, to the handler when there is one.
    std::vector<Error> told;
    diary.setFileLostHandler([&told](const Error& e) { told.push_back(e); });
    ASSERT_TRUE(QFile::remove(copy));
    addText(context, QStringLiteral("THIRD"), QStringLiteral("typed after the removal"));
    EXPECT_FALSE(diary.flushUnsavedChanges());
    EXPECT_FALSE(diary.flushUnsavedChanges());
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told.front().code, StoreFileMovedError);
    EXPECT_TRUE(told.front().localizedDescription.contains(copy));
    EXPECT_EQ(alerts().errors.size(), 1u);
}

} // namespace
} // namespace quillet::test
