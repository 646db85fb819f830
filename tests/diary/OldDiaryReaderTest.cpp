// Reading the previous generation's file: the live rows with SQLite's own
// conversions, and never a change to the file, whatever it holds.
#include "DiaryFiles.h"
#include "OldDiaryFiles.h"
#include "TestSupport.h"

#include "diary/import/OldDiaryReader.h"

#include <gtest/gtest.h>

#include <QDir>
#include <cmath>
#include <map>
#include <sys/stat.h>
#include <sys/types.h>

namespace quillet::test {
namespace {

// Opens the file, counts its live rows and reads every row to the end, as the
// import does; the reading must succeed and end cleanly.
std::vector<OldDiaryReader::Row> readAll(OldDiaryReader& reader, const QString& path,
                                         int* total = nullptr) {
    std::vector<OldDiaryReader::Row> rows;
    int counted = -1;
    EXPECT_TRUE(reader.open(path) && reader.countLiveRows(&counted) && reader.prepareRows())
        << reader.errorMessage().toStdString();
    if (total) {
        *total = counted;
    }
    OldDiaryReader::Row row;
    OldDiaryReader::Next next;
    while ((next = reader.next(&row)) == OldDiaryReader::Next::Row) {
        rows.push_back(row);
    }
    EXPECT_EQ(next, OldDiaryReader::Next::End);
    return rows;
}

TEST(OldDiaryReader, ReadsTheLiveRowsWithSQLitesOwnConversions) {
    const QString path = makeTempDir() + QStringLiteral("/Quillet.sqlite");
    std::vector<OldRow> rows = {
        oldRow(QStringLiteral("A"), QStringLiteral("plain"), 3, 1330956429.5),
        oldRow(QStringLiteral("TRASHED"), QStringLiteral("in the bin"), 1, 2.0, 1),
        OldRow{QStringLiteral("NULLS"), QStringLiteral("no tag, no time"), QVariant(), QVariant(),
               0},
        OldRow{QStringLiteral("INTEGER TIME"), QStringLiteral("whole seconds"), 9,
               qlonglong(1330956429), 0},
        OldRow{QVariant(), QStringLiteral("no identifier"), 0, 1.0, 0},
        OldRow{QStringLiteral("NO TEXT"), QVariant(), 0, 1.0, 0},
        OldRow{QStringLiteral("EMPTY"), QString(QLatin1String("")), -3, 1.0, 0},
        OldRow{QStringLiteral("WIDE TAG"), QStringLiteral("tag beyond 32 bits"),
               (qlonglong(1) << 32) + 7, 1.0, 0},
    };
    ASSERT_TRUE(writeOldDiary(path, rows));
    const QByteArray bytes = readBytes(path);

    OldDiaryReader reader;
    int total = -1;
    const std::vector<OldDiaryReader::Row> read = readAll(reader, path, &total);
    EXPECT_EQ(total, 6)
        << "live rows with an identifier; the trashed one and the NULL identifier do not count";
    ASSERT_EQ(read.size(), 7u) << "every live row is stepped, complete or not";
    std::map<QString, OldDiaryReader::Row> byUuid;
    for (const OldDiaryReader::Row& row : read) {
        byUuid[row.uuid] = row;
    }
    EXPECT_TRUE(read.front().uuid.isNull()) << "ordered by identifier, no identifier first";
    EXPECT_FALSE(read.front().isComplete());

    EXPECT_EQ(byUuid["A"].text, "plain");
    EXPECT_EQ(byUuid["A"].colorTag, 3);
    EXPECT_DOUBLE_EQ(byUuid["A"].timeStamp, 1330956429.5);
    EXPECT_EQ(byUuid["NULLS"].colorTag, 0);
    EXPECT_EQ(byUuid["NULLS"].timeStamp, 0.0);
    EXPECT_EQ(byUuid["INTEGER TIME"].timeStamp, 1330956429.0);
    EXPECT_EQ(byUuid["INTEGER TIME"].colorTag, 9);
    EXPECT_TRUE(byUuid["NO TEXT"].text.isNull());
    EXPECT_FALSE(byUuid["NO TEXT"].isComplete());
    EXPECT_TRUE(byUuid["EMPTY"].isComplete()) << "an empty text is a text";
    EXPECT_TRUE(byUuid["EMPTY"].text.isEmpty());
    EXPECT_EQ(byUuid["EMPTY"].colorTag, -3);
    EXPECT_EQ(byUuid["WIDE TAG"].colorTag, 7) << "read as a 32-bit integer, as SQLite reads one";
    EXPECT_FALSE(byUuid.count("TRASHED"));
    reader.close();
    EXPECT_EQ(readBytes(path), bytes);
    EXPECT_EQ(folderNames(QFileInfo(path).absolutePath()),
              QStringList{QStringLiteral("Quillet.sqlite")});

    // Numbers and blobs where the identifier should be are read as text.
    ASSERT_TRUE(writeOldDiary(
        path,
        {OldRow{qlonglong(12345), 678, 1, 1.0, 0},
         OldRow{QByteArray("B\xffLOB", 5), QByteArray("text\0with nul", 13), 1, 1.0, 0}},
        kUntypedTable));
    const std::vector<OldDiaryReader::Row> odd = readAll(reader, path);
    ASSERT_EQ(odd.size(), 2u);
    EXPECT_EQ(odd[0].uuid, "12345");
    EXPECT_EQ(odd[0].text, "678");
    EXPECT_TRUE(odd[1].isComplete());
    EXPECT_EQ(odd[1].text.size(), 13);

    // A table without row numbers is read all the same.
    QFile::remove(path);
    ASSERT_TRUE(rawExec(
        path, "CREATE TABLE entries (uuid TEXT PRIMARY KEY, entrytext TEXT, colortag INTEGER, "
              "timestamp REAL, trashed INTEGER) WITHOUT ROWID;"
              "INSERT INTO entries VALUES ('B', 'b', 1, 2.0, 0), ('A', 'a', 2, 1.0, 0)"));
    EXPECT_EQ(readAll(reader, path).size(), 2u);
}

// Tries every step of a read and expects one of them to fail; the file and
// its folder are left exactly as they were.
void expectUnreadableUntouched(const QString& path, const char* what) {
    SCOPED_TRACE(what);
    const QString folder = QFileInfo(path).absolutePath();
    const QStringList names = folderNames(folder);
    const QByteArray bytes = readBytes(path);
    OldDiaryReader reader;
    int total = 0;
    const bool read = reader.open(path) && reader.countLiveRows(&total) && reader.prepareRows();
    EXPECT_FALSE(read);
    EXPECT_FALSE(reader.errorMessage().isEmpty());
    reader.close();
    EXPECT_EQ(readBytes(path), bytes);
    EXPECT_EQ(folderNames(folder), names);
}

TEST(OldDiaryReader, FilesItCannotReadAreRefusedUntouched) {
    const QString folder = makeTempDir();
    const QString path = folder + QStringLiteral("/Quillet.sqlite");
    expectUnreadableUntouched(path, "no file");

    ASSERT_TRUE(QDir().mkpath(path));
    expectUnreadableUntouched(path, "a folder in its place");
    ASSERT_TRUE(QDir().rmdir(path));

    // A pipe must not be waited on (nor read here: that would wait too).
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    {
        OldDiaryReader reader;
        EXPECT_FALSE(reader.open(path));
        EXPECT_FALSE(reader.errorMessage().isEmpty());
    }
    QFile::remove(path);

    ASSERT_TRUE(writeBytes(path, QByteArray()));
    expectUnreadableUntouched(path, "empty");
    ASSERT_TRUE(writeBytes(path, QByteArray(8192, 'x')));
    expectUnreadableUntouched(path, "no database");

    ASSERT_TRUE(writeOldDiary(path, {oldRow(QStringLiteral("A"), QStringLiteral("a"))}));
    const QByteArray whole = readBytes(path);
    ASSERT_TRUE(writeBytes(path, whole.left(whole.size() / 2)));
    expectUnreadableUntouched(path, "cut short");

    for (const char* schema :
         {"CREATE TABLE notes (body TEXT)", // another program's database
          "CREATE TABLE entries (uuid TEXT, entrytext TEXT, colortag INTEGER, timestamp REAL)",
          "CREATE TABLE entries (uuid TEXT, body TEXT, colortag INTEGER, timestamp REAL, "
          "trashed INTEGER)"}) {
        QFile::remove(path);
        ASSERT_TRUE(rawExec(path, schema));
        expectUnreadableUntouched(path, schema);
    }

    // Held by another program that is writing it.
    ASSERT_TRUE(writeOldDiary(path, {oldRow(QStringLiteral("A"), QStringLiteral("a"))}));
    RawConnection writer(path, SQLITE_OPEN_READWRITE);
    ASSERT_EQ(sqlite3_exec(writer.db, "BEGIN EXCLUSIVE; UPDATE entries SET entrytext = 'b'",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    const QByteArray bytes = readBytes(path);
    OldDiaryReader reader;
    int total = 0;
    EXPECT_FALSE(reader.open(path) && reader.countLiveRows(&total));
    EXPECT_EQ(readBytes(path), bytes);
}

} // namespace
} // namespace quillet::test
