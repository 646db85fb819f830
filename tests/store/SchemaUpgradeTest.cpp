// A diary of an older format is brought up to the current one when it is
// opened: a copy of it as it was is kept beside it first, the change is one
// transaction, and a failure leaves the file as it was and says why.
// fixtures/entries-v1.sqlite was written by the build before version 2.
#include "DiaryFiles.h"
#include "TestSupport.h"

#include "store/PersistentStore.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

namespace quillet::test {
namespace {

QString fixturePath() {
    return QStringLiteral(QT_TESTCASE_SOURCEDIR "/store/fixtures/entries-v1.sqlite");
}

// A working copy of the version-1 diary, in a folder of its own.
QString copyOfVersionOne() {
    const QString path = makeTempDir() + QStringLiteral("/entries.sqlite");
    EXPECT_TRUE(QFile::copy(fixturePath(), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

// Every row of a query on the file, one line each.
QString rawQuery(const QString& path, const char* sql) {
    return rawRows(path, sql).join(QLatin1Char('\n'));
}

// Opens the diary, which must open, and answers the number of its entries.
std::size_t openedRows(const QString& path) {
    Error error;
    std::unique_ptr<PersistentStore> store = PersistentStore::open(path, {}, &error);
    EXPECT_TRUE(store) << error.localizedDescription.toStdString();
    return store ? store->takeLoadedRows().size() : 0;
}

const char* const kEveryRow = "SELECT key, uuid, entryText, colorTag, monthTag, timeStamp, "
                              "foldedText FROM entry ORDER BY key";

TEST(SchemaUpgrade, AVersionOneDiaryIsBroughtUpInPlaceWithACopyOfItAsItWas) {
    ASSERT_TRUE(QFileInfo::exists(fixturePath()));
    const QByteArray fixtureBytes = readBytes(fixturePath());
    const QString path = copyOfVersionOne();
    const QString folder = QFileInfo(path).absolutePath();
    ASSERT_EQ(rawQuery(path, "PRAGMA user_version"), "1");
    const QString before = rawQuery(path, kEveryRow);
    ASSERT_EQ(before.count(QLatin1Char('\n')), 4) << "five entries in the fixture";

    EXPECT_EQ(openedRows(path), 5u);
    EXPECT_EQ(rawQuery(path, "PRAGMA user_version"),
              QString::number(PersistentStore::kSchemaVersion));
    EXPECT_EQ(
        rawQuery(path,
                 "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'entry'"),
        "entry_uuid\nentry_month");
    EXPECT_EQ(rawQuery(path, kEveryRow), before) << "every value as it was";
    // The same schema as a new diary.
    const QString fresh = makeTempDir() + QStringLiteral("/entries.sqlite");
    ASSERT_TRUE(writeDiary(fresh, paddedEntries(3)));
    const char* schema = "SELECT type, name, sql FROM sqlite_master ORDER BY name";
    EXPECT_EQ(rawQuery(fresh, schema), rawQuery(path, schema));
    // A look-up by identifier, and a month's entries, go through their indexes.
    EXPECT_TRUE(rawQuery(path, "EXPLAIN QUERY PLAN SELECT key FROM entry WHERE uuid = 'x'")
                    .contains("entry_uuid"));
    EXPECT_TRUE(
        rawQuery(path, "EXPLAIN QUERY PLAN SELECT entryText FROM entry WHERE monthTag = 201203")
            .contains("entry_month"));

    // The copy beside it is the diary as it was, whole, private, and still opens as version 1.
    const QString copy = path + QStringLiteral(".v1");
    ASSERT_TRUE(QFileInfo::exists(copy));
    EXPECT_EQ(QFileInfo(copy).permissions() & (QFile::ReadGroup | QFile::ReadOther),
              QFile::Permissions());
    EXPECT_EQ(rawQuery(copy, "PRAGMA user_version"), "1");
    EXPECT_EQ(rawQuery(copy, kEveryRow), before);
    EXPECT_EQ(readBytes(fixturePath()), fixtureBytes) << "the fixture itself is never opened";

    // Opened again: nothing more to do, and no second copy.
    const QStringList names = folderNames(folder);
    const QByteArray copyBytes = readBytes(copy);
    EXPECT_EQ(openedRows(path), 5u);
    EXPECT_EQ(folderNames(folder), names);
    EXPECT_EQ(readBytes(copy), copyBytes);
}

TEST(SchemaUpgrade, VersionFourGivesEveryDiaryItsOwnWriterIdAndQueuesWhatItHeldForTheFirstLog) {
    // A version-3 diary as that build left it: the fixture plus its two indexes.
    const QString path = copyOfVersionOne();
    ASSERT_TRUE(rawExec(path,
                        "CREATE INDEX entry_uuid ON entry (uuid); "
                        "CREATE INDEX entry_month ON entry (monthTag); PRAGMA user_version = 3"));
    const QString before = rawQuery(path, kEveryRow);
    EXPECT_EQ(openedRows(path), 5u);
    EXPECT_EQ(rawQuery(path, "PRAGMA user_version"), "4");
    EXPECT_EQ(rawQuery(path, kEveryRow), before);
    EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral(".v3")));
    EXPECT_EQ(rawQuery(path, "SELECT count(*) FROM outbox"),
              rawQuery(path, "SELECT count(DISTINCT uuid) FROM entry WHERE uuid IS NOT NULL"));
    EXPECT_NE(rawQuery(path, "SELECT count(*) FROM outbox"), "0");
    const QString id = rawQuery(path, "SELECT value FROM cloudState WHERE name = 'storeId'");
    EXPECT_FALSE(QUuid::fromString(id).isNull()) << id.toStdString();
}

TEST(SchemaUpgrade, AFailedUpgradeLeavesTheDiaryAsItWasAndSaysWhy) {
    // A step that cannot be taken: the name the index needs is taken.
    const QString path = copyOfVersionOne();
    ASSERT_TRUE(rawExec(path, "CREATE TABLE entry_uuid (x)"));
    const QByteArray bytes = readBytes(path);
    for (int attempt = 0; attempt < 2; ++attempt) {
        Error error;
        EXPECT_FALSE(PersistentStore::open(path, {}, &error));
        EXPECT_EQ(error.domain, kStoreErrorDomain);
        EXPECT_EQ(error.code, StoreOpenError);
        EXPECT_TRUE(error.localizedDescription.contains(path))
            << error.localizedDescription.toStdString();
        EXPECT_TRUE(error.localizedDescription.contains(QStringLiteral("entry_uuid")))
            << error.localizedDescription.toStdString();
        EXPECT_EQ(readBytes(path), bytes);
        EXPECT_EQ(rawQuery(path, "PRAGMA user_version"), "1");
        EXPECT_EQ(
            folderNames(QFileInfo(path).absolutePath()),
            (QStringList{QStringLiteral("entries.sqlite"), QStringLiteral("entries.sqlite.v1")}));
    }
    // Once the way is clear, the same file comes up.
    ASSERT_TRUE(rawExec(path, "DROP TABLE entry_uuid"));
    EXPECT_EQ(openedRows(path), 5u);

    // No copy, no change: a folder in the copy's place stops the upgrade
    // before anything is written to the diary.
    const QString second = copyOfVersionOne();
    ASSERT_TRUE(QDir().mkpath(second + QStringLiteral(".v1/taken")));
    const QByteArray secondBytes = readBytes(second);
    Error copyError;
    EXPECT_FALSE(PersistentStore::open(second, {}, &copyError));
    EXPECT_EQ(copyError.code, StoreOpenError);
    EXPECT_TRUE(copyError.localizedDescription.contains(QStringLiteral(".v1")))
        << copyError.localizedDescription.toStdString();
    EXPECT_EQ(readBytes(second), secondBytes);
    EXPECT_EQ(rawQuery(second, "PRAGMA user_version"), "1");
    EXPECT_EQ(folderNames(QFileInfo(second).absolutePath()),
              (QStringList{QStringLiteral("entries.sqlite"), QStringLiteral("entries.sqlite.v1")}))
        << "no temporary copy is left behind";
}

} // namespace
} // namespace quillet::test
