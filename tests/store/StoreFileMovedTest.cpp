// A diary file moved, replaced or deleted while it is open: nothing is saved
// over whatever has its name now, the edits stay in the context, and they
// can be saved to a new file.
#include "OpenDiary.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace quillet::test {
namespace {

QString withTwentyEntries(const QString& path) {
    EXPECT_TRUE(writeDiary(path, paddedEntries(20)));
    return path;
}

// A diary of 20 entries open in a context, with one edit already saved (so
// that the log holds a commit when the file goes).
struct MovingDiary : OpenDiary {
    explicit MovingDiary(const QString& file) : OpenDiary(withTwentyEntries(file)) {
        records = context.registeredObjects();
        EXPECT_EQ(records.size(), 20u);
        records.at(0)->setValue(QStringLiteral("saved before"), QStringLiteral("entryText"));
        save();
    }

    // Changes a text, removes an entry and adds one; the save must fail as
    // for a lost file, twice, and keep all three.
    void editAndExpectRefusedSave() {
        records.at(1)->setValue(QStringLiteral("typed after"), QStringLiteral("entryText"));
        context.deleteObject(records.at(2));
        ManagedObject* added = context.insertNewObject(QStringLiteral("Entry"));
        added->setValue(QStringLiteral("ADDED"), QStringLiteral("uuid"));
        added->setValue(QStringLiteral("added after"), QStringLiteral("entryText"));
        for (int attempt = 0; attempt < 2; ++attempt) {
            Error error;
            EXPECT_FALSE(context.save(&error));
            EXPECT_EQ(error.code, StoreFileMovedError) << error.localizedDescription.toStdString();
            EXPECT_TRUE(error.localizedDescription.contains(path));
        }
        EXPECT_TRUE(context.hasChanges());
        EXPECT_EQ(records.at(1)->entryText(), QStringLiteral("typed after"));
    }

    // Saves everything to a new file and checks it holds every edit.
    void saveToNewFileAndCheck(const QString& copy) {
        Error error;
        ASSERT_TRUE(coordinator.migratePersistentStore(coordinator.defaultStore(), copy, &error))
            << error.localizedDescription.toStdString();
        ASSERT_TRUE(context.save(&error)) << error.localizedDescription.toStdString();
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(copy).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        // And the next save goes there too.
        records.at(3)->setValue(QStringLiteral("typed in the copy"), QStringLiteral("entryText"));
        ASSERT_TRUE(context.save(&error)) << error.localizedDescription.toStdString();
        EXPECT_EQ(rawCount(copy), 20);
        EXPECT_EQ(rawCount(copy, "entryText = 'saved before'"), 1);
        EXPECT_EQ(rawCount(copy, "entryText = 'typed after'"), 1);
        EXPECT_EQ(rawCount(copy, "uuid = 'ADDED' AND entryText = 'added after'"), 1);
        EXPECT_EQ(rawCount(copy, "entryText = 'typed in the copy'"), 1);
        EXPECT_EQ(rawCount(copy, "uuid = '00000000-0000-0000-0000-000000000002'"), 0);
        // The other entries kept their texts, which were still in the lost file.
        EXPECT_EQ(rawCount(copy, "entryText LIKE 'entry 19 x%'"), 1);
    }

    std::vector<ManagedObject*> records;
};

TEST(StoreFileMoved, AMovedDiaryKeepsWhatWasSavedAndTheEditsGoToANewFile) {
    const QString folder = makeTempDir();
    const QString path = folder + QStringLiteral("/entries.sqlite");
    const QString moved = makeTempDir() + QStringLiteral("/moved.sqlite");
    MovingDiary diary(path);
    ASSERT_TRUE(QFile::rename(path, moved));

    diary.editAndExpectRefusedSave();
    EXPECT_FALSE(QFileInfo::exists(path));
    // The save made before the move went with the file; nothing after it did.
    EXPECT_EQ(rawCount(moved, "entryText = 'saved before'"), 1);
    EXPECT_EQ(rawCount(moved, "entryText = 'typed after'"), 0);
    EXPECT_EQ(rawCount(moved), 20);

    // Not over the name it was opened from.
    Error error;
    EXPECT_FALSE(
        diary.coordinator.migratePersistentStore(diary.coordinator.defaultStore(), path, &error));
    EXPECT_FALSE(QFileInfo::exists(path));
    diary.saveToNewFileAndCheck(folder + QStringLiteral("/entries (recovered).sqlite"));
    EXPECT_EQ(rawCount(moved, "entryText = 'typed after'"), 0);
}

TEST(StoreFileMoved, AnotherDiaryMovedIntoPlaceKeepsItsRows) {
    const QString path = makeTempDir() + QStringLiteral("/entries.sqlite");
    const QString other = makeTempDir() + QStringLiteral("/other.sqlite");
    ASSERT_TRUE(writeDiary(other, paddedEntries(300)));
    {
        MovingDiary diary(path);
        ASSERT_EQ(
            ::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()), 0);
        diary.editAndExpectRefusedSave();
        diary.saveToNewFileAndCheck(makeTempDir() + QStringLiteral("/copy.sqlite"));
    }
    // Closed: no log of the old file is left under the name to be replayed into this one.
    EXPECT_EQ(rawCount(path), 300);
    Error error;
    std::unique_ptr<PersistentStore> store = PersistentStore::open(path, {}, &error);
    ASSERT_TRUE(store) << error.localizedDescription.toStdString();
    EXPECT_EQ(store->takeLoadedRows().size(), 300u);
    EXPECT_EQ(rawCount(path, "entryText = 'saved before'"), 0);
}

TEST(StoreFileMoved, ADeletedDiaryIsNotMadeAgainAndItsEditsGoToANewFile) {
    const QString folder = makeTempDir();
    const QString path = folder + QStringLiteral("/entries.sqlite");
    MovingDiary diary(path);
    ASSERT_TRUE(QFile::remove(path));
    diary.editAndExpectRefusedSave();
    EXPECT_FALSE(QFileInfo::exists(path));
    Error error;
    EXPECT_FALSE(diary.coordinator.defaultStore()->sync(&error));
    EXPECT_EQ(error.code, StoreFileMovedError);
    diary.saveToNewFileAndCheck(folder + QStringLiteral("/entries (recovered).sqlite"));
    EXPECT_FALSE(QFileInfo::exists(path));
}

} // namespace
} // namespace quillet::test
