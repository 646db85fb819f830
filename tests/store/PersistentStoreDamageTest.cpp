// Files that are not a usable diary: each is refused with an error that says
// why, and left exactly as it was, with nothing added beside it.
#include "DiaryFiles.h"
#include "TestSupport.h"

#include "store/PersistentStore.h"
#include "store/StoreFileCheck.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <random>
#include <set>
#include <sys/stat.h>

namespace quillet::test {
namespace {

constexpr int kPageSize = 4096;

// A diary of many pages, with one entry long enough to need overflow pages.
QByteArray validDiary() {
    static const QByteArray bytes = [] {
        const QString path = makeTempDir() + QStringLiteral("/entries.sqlite");
        std::vector<EntryValues> entries = paddedEntries(120);
        entries.push_back(
            entryValues(QStringLiteral("LONG"), QString(20000, QLatin1Char('L')), 1, 201205, 2.0));
        if (!writeDiary(path, entries)) {
            return QByteArray();
        }
        return readBytes(path);
    }();
    return bytes;
}

QByteArray randomBytes(int size, unsigned seed) {
    std::mt19937 generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes) {
        c = char(generator() & 0xff);
    }
    return bytes;
}

// What a writer killed in the middle of its work leaves beside the valid
// diary: a log with a committed change (entry key 10 turned blue) and its
// index; and, for a diary in rollback-journal mode, a hot journal.
struct KilledWriterFiles {
    QByteArray log, logIndex, journal;
};

const KilledWriterFiles& killedWriterFiles() {
    static const KilledWriterFiles files = [] {
        KilledWriterFiles made;
        const QString folder = makeTempDir();
        // Runs sql on a copy of the valid diary and reads the files beside it
        // while the writer still has it open: as a kill leaves them.
        auto leftBeside = [&](const char* name, const char* sql, std::vector<const char*> sides) {
            const QString path = folder + QLatin1Char('/') + QLatin1String(name);
            writeBytes(path, validDiary());
            RawConnection c(path, SQLITE_OPEN_READWRITE);
            std::vector<QByteArray> left;
            if (c.opened && sqlite3_exec(c.db, sql, nullptr, nullptr, nullptr) == SQLITE_OK) {
                for (const char* side : sides)
                    left.push_back(readBytes(path + QLatin1String(side)));
            }
            left.resize(sides.size());
            return left;
        };
        const std::vector<QByteArray> logged = leftBeside(
            "logged.sqlite", "UPDATE entry SET colorTag = 5 WHERE key = 10", {"-wal", "-shm"});
        made.log = logged[0];
        made.logIndex = logged[1];
        // A cache of one page spills the change to the file in mid-transaction,
        // so the journal is hot.
        made.journal = leftBeside("journaled.sqlite",
                                  "PRAGMA journal_mode = DELETE; PRAGMA cache_size = 1; BEGIN;"
                                  "UPDATE entry SET colorTag = 5 WHERE key = 10;"
                                  "SELECT count(*) FROM entry WHERE entryText LIKE '%zz%';",
                                  {"-journal"})[0];
        return made;
    }();
    return files;
}

// The diary with the root page of a table or index overwritten by garbage of no valid page type.
QByteArray withRootScribbled(const char* name, unsigned seed) {
    QByteArray scribbled = validDiary();
    QByteArray garbage = randomBytes(kPageSize, seed);
    garbage[0] = 0x42;
    const int root = rootPage(scribbled, name);
    EXPECT_GT(root, 1) << name;
    scribbled.replace((root - 1) * kPageSize, kPageSize, garbage);
    return scribbled;
}

enum class Beside { Nothing, KilledWritersLog, RollbackJournal };

void placeBeside(const QString& path, Beside beside) {
    for (const char* side : {"-wal", "-shm", "-journal"}) {
        QFile::remove(path + QLatin1String(side));
    }
    if (beside == Beside::KilledWritersLog) {
        writeBytes(path + QStringLiteral("-wal"), killedWriterFiles().log);
        writeBytes(path + QStringLiteral("-shm"), killedWriterFiles().logIndex);
    } else if (beside == Beside::RollbackJournal) {
        writeBytes(path + QStringLiteral("-journal"), killedWriterFiles().journal);
    }
}

// Opens the file and expects a refusal with that code that changed nothing:
// with nothing beside it, beside a killed writer's log, and beside a hot
// rollback journal, every file of the folder keeps its name and every byte
// (no log folded in or removed, no index file, no lock, no temporary file).
void expectRefusedUntouched(const QString& path, int code, const char* what) {
    SCOPED_TRACE(what);
    const QString folder = QFileInfo(path).absolutePath();
    for (Beside beside : {Beside::Nothing, Beside::KilledWritersLog, Beside::RollbackJournal}) {
        SCOPED_TRACE(beside == Beside::Nothing            ? "nothing beside it"
                     : beside == Beside::KilledWritersLog ? "beside a killed writer's log"
                                                          : "beside a rollback journal");
        placeBeside(path, beside);
        const QMap<QString, QByteArray> before = folderContents(folder);
        for (int attempt = 0; attempt < 2; ++attempt) {
            Error error;
            std::unique_ptr<PersistentStore> store = PersistentStore::open(path, {}, &error);
            EXPECT_FALSE(store);
            EXPECT_EQ(error.domain, kStoreErrorDomain);
            EXPECT_EQ(error.code, code) << error.localizedDescription.toStdString();
            EXPECT_TRUE(error.localizedDescription.contains(path))
                << error.localizedDescription.toStdString();
        }
        const QMap<QString, QByteArray> after = folderContents(folder);
        EXPECT_EQ(after.keys(), before.keys());
        for (auto it = before.begin(); it != before.end(); ++it) {
            EXPECT_TRUE(after.value(it.key()) == it.value())
                << "changed: " << it.key().toStdString();
        }
    }
    placeBeside(path, Beside::Nothing);
}

TEST(PersistentStoreDamage, ASoundDiaryBesideAKilledWritersLogOpensWithTheLoggedChange) {
    // The forms below are only as good as these.
    ASSERT_GT(killedWriterFiles().log.size(), 32);
    ASSERT_GT(killedWriterFiles().logIndex.size(), 0);
    ASSERT_GT(killedWriterFiles().journal.size(), 512);
    // A killed writer's committed change is kept; a hot journal's half-made one rolled back.
    const QString path = makeTempDir() + QStringLiteral("/entries.sqlite");
    for (const auto& [beside, logged] :
         {std::pair{Beside::KilledWritersLog, 1}, std::pair{Beside::RollbackJournal, 0}}) {
        ASSERT_TRUE(writeBytes(path, validDiary()));
        placeBeside(path, beside);
        {
            Error error;
            std::unique_ptr<PersistentStore> store = PersistentStore::open(path, {}, &error);
            ASSERT_TRUE(store) << error.localizedDescription.toStdString();
            EXPECT_EQ(store->takeLoadedRows().size(), 121u);
        }
        EXPECT_EQ(rawCount(path, "key = 10 AND colorTag = 5"), logged);
        EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-journal")));
    }
}

TEST(PersistentStoreDamage, ATruncatedDiaryIsRefusedAtEveryLength) {
    const QByteArray diary = validDiary();
    ASSERT_FALSE(diary.isEmpty());
    ASSERT_EQ(diary.size() % kPageSize, 0);
    const int pages = int(diary.size() / kPageSize);
    ASSERT_GE(pages, 12);

    std::set<int> lengths;
    for (int page = 0; page < pages; ++page) {
        lengths.insert(page * kPageSize);
    }
    for (int odd : {1, 15, 16, 17, 99, 100, 101, 511, 512, 1000, kPageSize - 1, kPageSize + 1,
                    3 * kPageSize + 17, int(diary.size()) - kPageSize - 1, int(diary.size()) - 100,
                    int(diary.size()) - 1}) {
        lengths.insert(odd);
    }
    const QString path = makeTempDir() + QStringLiteral("/entries.sqlite");
    for (int length : lengths) {
        ASSERT_TRUE(writeBytes(path, diary.left(length)));
        expectRefusedUntouched(path, StoreCorruptError,
                               qPrintable(QStringLiteral("length %1").arg(length)));
    }
    // The whole file still opens, with every entry.
    ASSERT_TRUE(writeBytes(path, diary));
    Error error;
    std::unique_ptr<PersistentStore> store = PersistentStore::open(path, {}, &error);
    ASSERT_TRUE(store) << error.localizedDescription.toStdString();
    EXPECT_EQ(store->takeLoadedRows().size(), 121u);
}

TEST(PersistentStoreDamage, FilesThatAreNoDiaryAreRefusedUntouched) {
    const QString folder = makeTempDir();
    const QString path = folder + QStringLiteral("/entries.sqlite");

    // A page inside the entry table overwritten (its root, which the other
    // pages hang from) is found while every row is read; the identifier
    // index's root before the store is handed out, not by the first save.
    for (const auto& [bytes, what] : std::vector<std::pair<QByteArray, const char*>>{
             {QByteArray(), "zero length"},
             {randomBytes(3 * kPageSize, 7), "garbage"},
             {QByteArray("SQLite format 3\0", 16) + randomBytes(2 * kPageSize - 16, 8),
              "a database header followed by garbage"},
             {withRootScribbled("entry", 9), "a damaged page"},
             {withRootScribbled("entry_uuid", 9), "a damaged index page"}}) {
        ASSERT_TRUE(writeBytes(path, bytes));
        expectRefusedUntouched(path, StoreCorruptError, what);
    }

    // The same diary from a newer version of the program.
    ASSERT_TRUE(writeBytes(path, validDiary()));
    const QByteArray newer =
        "PRAGMA user_version = " + QByteArray::number(PersistentStore::kSchemaVersion + 1);
    ASSERT_TRUE(rawExec(path, newer.constData()));
    ASSERT_EQ(folderNames(folder), QStringList{QStringLiteral("entries.sqlite")});
    expectRefusedUntouched(path, StoreIncompatibleVersionError, "newer format");
    {
        Error error;
        PersistentStore::open(path, {}, &error);
        EXPECT_TRUE(error.localizedDescription.contains(QStringLiteral("newer version")));
    }

    // Another program's database, and the previous generation's plain file.
    QFile::remove(path);
    ASSERT_TRUE(
        rawExec(path, "PRAGMA application_id = 305419896; CREATE TABLE notes (body TEXT);"));
    expectRefusedUntouched(path, StoreIncompatibleVersionError, "foreign application id");
    QFile::remove(path);
    ASSERT_TRUE(rawExec(path, "CREATE TABLE entries (uuid TEXT, content TEXT, created REAL);"
                              "INSERT INTO entries VALUES ('A', 'old', 1.0);"));
    expectRefusedUntouched(path, StoreIncompatibleVersionError, "previous generation's file");
    QFile::remove(path);
}

TEST(PersistentStoreDamage, TheQuickCheckPassesADamagedPageTheWholeFileCheckFinds) {
    // Two steps, so that the one that reads every page may run later: the
    // first only looks at what a damaged table page does not touch.
    const QString folder = makeTempDir();
    const QString path = folder + QStringLiteral("/entries.sqlite");
    ASSERT_TRUE(writeBytes(path, withRootScribbled("entry", 11)));
    for (Beside beside : {Beside::Nothing, Beside::KilledWritersLog, Beside::RollbackJournal}) {
        placeBeside(path, beside);
        const QMap<QString, QByteArray> before = folderContents(folder);
        Error error;
        EXPECT_TRUE(StoreFileCheck::checkBeforeWriting(path, PersistentStore::kApplicationId,
                                                       PersistentStore::kSchemaVersion, &error))
            << error.localizedDescription.toStdString();
        EXPECT_FALSE(StoreFileCheck::checkWholeFile(path, &error));
        EXPECT_EQ(error.code, StoreCorruptError);
        EXPECT_TRUE(error.localizedDescription.contains(path));
        EXPECT_TRUE(folderContents(folder) == before);
        // A diary from a newer version fails the first step already.
        EXPECT_FALSE(StoreFileCheck::checkBeforeWriting(
            path, PersistentStore::kApplicationId, PersistentStore::kSchemaVersion - 1, &error));
        EXPECT_EQ(error.code, StoreIncompatibleVersionError);
        EXPECT_TRUE(folderContents(folder) == before);
    }
}

// A pipe is refused without waiting on it, a folder left alone with what it holds.
TEST(PersistentStoreDamage, APipeOrAFolderInPlaceOfTheDiaryIsRefusedUntouched) {
    for (const bool pipe : {true, false}) {
        SCOPED_TRACE(pipe ? "pipe" : "folder");
        const QString folder = makeTempDir();
        const QString path = folder + QStringLiteral("/entries.sqlite");
        ASSERT_TRUE(pipe ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                         : QDir().mkpath(path + QStringLiteral("/inside")));
        for (int attempt = 0; attempt < 2; ++attempt) {
            Error error;
            EXPECT_FALSE(PersistentStore::open(path, {}, &error));
            EXPECT_EQ(error.code, StoreOpenError);
            EXPECT_TRUE(error.localizedDescription.contains(path));
        }
        EXPECT_EQ(folderNames(folder), QStringList{QStringLiteral("entries.sqlite")});
        if (!pipe) {
            EXPECT_EQ(folderNames(path), QStringList{QStringLiteral("inside")});
        }
    }
}

TEST(PersistentStoreDamage, AFileWithoutPermissionIsRefusedUntouched) {
    QUILLET_SKIP_UNLESS_PERMISSIONS_BIND();
    const QString path = makeTempDir() + QStringLiteral("/entries.sqlite");
    ASSERT_TRUE(writeBytes(path, validDiary()));

    ASSERT_TRUE(QFile::setPermissions(path, QFile::Permissions()));
    {
        Error error;
        EXPECT_FALSE(PersistentStore::open(path, {}, &error));
        EXPECT_EQ(error.code, StoreOpenError);
    }
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner));
    expectRefusedUntouched(path, StoreOpenError, "read only");
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    EXPECT_EQ(readBytes(path), validDiary());
}

} // namespace
} // namespace quillet::test
