// Saves that do not wait for the disk, and the log copied back into the
// diary file by a helper thread instead of by the save that filled it.
#include "OpenDiary.h"
#include "TestSupport.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace quillet::test {
namespace {

TEST(StoreSync, ASaveThatDoesNotWaitIsCommittedAndTheLogIsCopiedBackAside) {
    const QString path = makeTempDir() + QStringLiteral("/entries.sqlite");
    OpenDiary diary(path);
    ManagedObjectContext& context = diary.context;
    Error error;
    const qint64 emptySize = QFileInfo(path).size();

    // About 6 MB in saves that do not wait: more than a log of 1000 pages.
    for (int save = 0; save < 20; ++save) {
        for (int i = 0; i < 100; ++i) {
            EntryValues values =
                entryValues(QStringLiteral("S%1-%2").arg(save).arg(i),
                            QString(1500, QLatin1Char('a' + save % 26)), 0, 201203, 1.3e9);
            context.insertNewObject(QStringLiteral("Entry"), values);
        }
        ASSERT_TRUE(context.save(&error, false)) << error.localizedDescription.toStdString();
        EXPECT_EQ(rawCount(path), (save + 1) * 100) << "committed, for every other reader to see";
    }
    // Copied back while the diary stays open, without a save doing it.
    EXPECT_TRUE(waitFor([&] { return QFileInfo(path).size() > emptySize + 4 * 1024 * 1024; }));
    // A save that waits, with nothing of its own to write, waits for the earlier ones.
    EXPECT_TRUE(context.save(&error)) << error.localizedDescription.toStdString();
    EXPECT_FALSE(context.hasChanges());
}

} // namespace
} // namespace quillet::test
