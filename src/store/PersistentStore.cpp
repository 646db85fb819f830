#include "store/PersistentStore.h"

#include "core/FolderSync.h"
#include "store/SqliteStatement.h"
#include "store/StoreFileCheck.h"
#include "store/StoreOptions.h"
#include "store/cloud/CloudTables.h"

#include <QByteArrayList>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <fcntl.h>
#include <iterator>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <sqlite3.h>
#include <unistd.h>

namespace quillet {

namespace {

// A diary up to this size is checked page by page before it is opened for
// writing; a larger one while its rest is read beside the window.
constexpr qint64 kWholeCheckBeforeOpenBytes = 8 << 20;

// The application id and the format version live in the file's header. A
// new diary is made at version 1 and brought up to the current version by
// the same steps as an old one, so that every diary has been through them.
const char* const kCreateSchema = R"sql(
    PRAGMA journal_mode = WAL;
    PRAGMA application_id = %1;
    PRAGMA user_version = 1;
    CREATE TABLE entry (
        key INTEGER PRIMARY KEY,
        uuid TEXT,
        entryText TEXT,
        colorTag INTEGER NOT NULL DEFAULT 0,
        monthTag INTEGER NOT NULL DEFAULT 0,
        timeStamp REAL,
        foldedText TEXT NOT NULL DEFAULT ''
    );
)sql";

Error storeError(int code, const QString& text) {
    return Error{kStoreErrorDomain, code, text};
}

Error identifierIndexDamaged(const QString& path) {
    return storeError(
        StoreCorruptError,
        QStringLiteral("The diary file \u201c%1\u201d is damaged (its index of identifiers does not "
                       "match its entries) and can't be opened. It was left as it is.")
            .arg(path));
}

// Every column a record keeps in memory: all but the text as written, which
// stays in the file until it is read (textFaulted).
const char* const kRowColumns =
    "SELECT key, uuid, colorTag, monthTag, timeStamp, entryText IS NULL, foldedText FROM entry";

void readRow(const SqliteStatement& s, StoreRow* row) {
    row->key = s.columnInt64(0);
    EntryValues& v = row->values;
    v.uuid = s.columnText(1);
    v.colorTag = int(s.columnInt64(2));
    v.monthTag = int(s.columnInt64(3));
    v.hasTimeStamp = !s.isNull(4);
    v.timeStamp = s.columnDouble(4);
    v.textFaulted = s.columnInt64(5) == 0;
    const std::string_view folded = s.columnUtf8View(6);
    v.foldedText.assign(folded.data() ? folded.data() : "", folded.size());
}

// Reads every row of the statement; counts those with an identifier.
bool readRows(SqliteDatabase& db, SqliteStatement& s,
              const std::function<void(StoreRow&&)>& take, qint64* identified, Error* error) {
    if (!s.isValid()) {
        if (error) {
            *error = db.lastError(QStringLiteral("read"));
        }
        return false;
    }
    int rc;
    while ((rc = s.step()) == SQLITE_ROW) {
        StoreRow row;
        readRow(s, &row);
        if (!row.values.uuid.isNull()) {
            ++*identified;
        }
        take(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        if (error) {
            *error = db.lastError(QStringLiteral("read"));
            error->code = StoreCorruptError;
        }
        return false;
    }
    return true;
}

// The format steps: step i brings a diary of version i + 1 to version i + 2.
// They run inside the upgrade's one transaction. A new format is one more
// function at the end of the list (and one more test).
using UpgradeStep = bool (*)(SqliteDatabase& db, Error* error);

// 2: an identifier is found without reading the whole table.
bool addUuidIndex(SqliteDatabase& db, Error* error) {
    return db.exec("CREATE INDEX entry_uuid ON entry (uuid)", error);
}

// 3: a month's entries are found without reading the whole table, so that
// the first screen is read before the rest of the diary.
bool addMonthIndex(SqliteDatabase& db, Error* error) {
    return db.exec("CREATE INDEX entry_month ON entry (monthTag)", error);
}

// 4: the change-log exchange (store/cloud).
constexpr UpgradeStep kUpgradeSteps[] = {addUuidIndex, addMonthIndex, cloud::addCloudTables};
static_assert(std::size(kUpgradeSteps) + 1 == PersistentStore::kSchemaVersion,
              "one upgrade step for every format after the first");

// Brings the open diary from version `from` to the current one in one
// transaction: all of the steps or none of them.
bool runUpgradeSteps(SqliteDatabase& db, qint64 from, Error* error) {
    if (!db.exec("BEGIN IMMEDIATE", error)) {
        return false;
    }
    for (qint64 version = from; version < PersistentStore::kSchemaVersion; ++version) {
        if (!kUpgradeSteps[version - 1](db, error)) {
            db.exec("ROLLBACK", nullptr);
            return false;
        }
    }
    const QByteArray stamp =
        QByteArray("PRAGMA user_version = ") + QByteArray::number(PersistentStore::kSchemaVersion);
    if (!db.exec(stamp.constData(), error) || !db.exec("COMMIT", error)) {
        db.exec("ROLLBACK", nullptr);
        return false;
    }
    return true;
}

// The process named on the first line of a lock file; 0 when it names none.
qint64 lockHolder(int fd) {
    char text[64] = {};
    const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
    if (got <= 0) {
        return 0;
    }
    const QByteArray first = QByteArray(text, int(got)).split('\n').value(0);
    bool ok = false;
    const qint64 pid = first.trimmed().toLongLong(&ok);
    return ok ? pid : 0;
}


// Copies the open database `source` page by page (SQLite's backup, so the copy
// is consistent whatever else reads it) into a new owner-only file, renamed
// to `destination` once complete and on disk. A null answer on success,
// otherwise why not.
QString writeCopy(sqlite3* source, const QString& destination) {
    const QString temporary =
        destination + QStringLiteral(".new-%1").arg(QCoreApplication::applicationPid());
    const QByteArray native = QFile::encodeName(temporary);
    QFile::remove(temporary);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return QString::fromLocal8Bit(strerror(errno));
    }
    ::close(fd);
    QString reason;
    {
        SqliteDatabase copy;
        Error error;
        if (!copy.open(temporary, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, &error)) {
            reason = error.localizedDescription;
        } else {
            sqlite3_backup* backup = sqlite3_backup_init(copy.handle(), "main", source, "main");
            if (!backup) {
                reason = copy.lastMessage();
            } else {
                const int stepped = sqlite3_backup_step(backup, -1);
                sqlite3_backup_finish(backup);
                if (stepped != SQLITE_DONE) {
                    reason = QString::fromUtf8(sqlite3_errstr(stepped));
                } else if (!copy.exec("PRAGMA journal_mode = DELETE", &error)) {
                    // One self-contained file: read (or copied back) without a log beside it.
                    reason = error.localizedDescription;
                }
            }
        }
    }
    if (reason.isNull()) {
        const int written = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
        if (written < 0 || ::fsync(written) != 0 ||
            ::rename(native.constData(), QFile::encodeName(destination).constData()) != 0) {
            reason = QString::fromLocal8Bit(strerror(errno));
        }
        if (written >= 0) {
            ::close(written);
        }
    }
    if (!reason.isNull()) {
        for (const char* side : {"", "-journal", "-wal", "-shm"}) {
            QFile::remove(temporary + QLatin1String(side));
        }
        return reason;
    }
    syncFolder(QFileInfo(destination).absolutePath());
    return QString();
}

Error copyError(const QString& destination, const QString& reason) {
    return storeError(
        StoreSaveError,
        QStringLiteral("The diary could not be copied to “%1”: %2.").arg(destination, reason));
}

void bindValues(SqliteStatement& s, const EntryValues& v) {
    s.bindText(1, v.uuid);
    s.bindUtf8(2, v.entryText);
    s.bindInt64(3, v.colorTag);
    s.bindInt64(4, v.monthTag);
    if (v.hasTimeStamp) {
        s.bindDouble(5, v.timeStamp);
    } else {
        s.bindNull(5);
    }
    s.bindUtf8(6, std::string_view(v.foldedText));
}

// What an update writes of the changes it was given: a moment is its time
// stamp and its month tag, never one without the other.
unsigned columnsWritten(unsigned changedKeys) {
    const unsigned moment = entryKeyBit(EntryKey::MonthTag) | entryKeyBit(EntryKey::TimeStamp);
    return changedKeys & moment ? changedKeys | moment : changedKeys;
}

// The update of those columns. Each column keeps its parameter number of
// bindValues whichever others are written; the key is always ?7.
QByteArray updateStatement(unsigned columns) {
    QByteArrayList set;
    if (columns & entryKeyBit(EntryKey::Uuid))
        set << "uuid = ?1";
    if (columns & entryKeyBit(EntryKey::EntryText))
        set << "entryText = ?2"
            << "foldedText = ?6";
    if (columns & entryKeyBit(EntryKey::ColorTag))
        set << "colorTag = ?3";
    if (columns & entryKeyBit(EntryKey::MonthTag))
        set << "monthTag = ?4";
    if (columns & entryKeyBit(EntryKey::TimeStamp))
        set << "timeStamp = ?5";
    return "UPDATE entry SET " + set.join(", ") + " WHERE key = ?7";
}

void bindColumns(SqliteStatement& s, const EntryValues& v, unsigned columns) {
    if (columns == kAllEntryKeys) {
        bindValues(s, v);
        return;
    }
    if (columns & entryKeyBit(EntryKey::Uuid))
        s.bindText(1, v.uuid);
    if (columns & entryKeyBit(EntryKey::EntryText)) {
        s.bindUtf8(2, v.entryText);
        s.bindUtf8(6, std::string_view(v.foldedText));
    }
    if (columns & entryKeyBit(EntryKey::ColorTag))
        s.bindInt64(3, v.colorTag);
    if (columns & entryKeyBit(EntryKey::MonthTag))
        s.bindInt64(4, v.monthTag);
    if (columns & entryKeyBit(EntryKey::TimeStamp)) {
        v.hasTimeStamp ? s.bindDouble(5, v.timeStamp) : s.bindNull(5);
    }
}

void readValues(const SqliteStatement& s, int first, EntryValues* v) {
    v->uuid = s.columnText(first);
    v->entryText = s.columnUtf8(first + 1);
    v->colorTag = int(s.columnInt64(first + 2));
    v->monthTag = int(s.columnInt64(first + 3));
    v->hasTimeStamp = !s.isNull(first + 4);
    v->timeStamp = s.columnDouble(first + 4);
    const std::string_view folded = s.columnUtf8View(first + 5);
    v->foldedText.assign(folded.data() ? folded.data() : "", folded.size());
}

} // namespace

PersistentStore::~PersistentStore() {
    if (checkpointer_.joinable()) {
        checkpointer_.join();
    }
    db_.close();
    if (lockFd_ >= 0) {
        // Removed while still held, so that whoever opened the old file finds
        // it gone once they get the lock, and tries again on a new one.
        ::unlink(QFile::encodeName(path_ + QStringLiteral(".lock")).constData());
        ::close(lockFd_);
    }
}

QString PersistentStore::type() const {
    return NSSQLiteStoreType;
}

std::unique_ptr<PersistentStore> PersistentStore::open(const QString& path,
                                                       const QVariantMap& options, Error* error) {
    std::unique_ptr<PersistentStore> store(new PersistentStore);
    store->path_ = path;
    store->options_ = options;

    // Only a regular file can be a diary; reading a pipe or a device in its
    // place would hang the application or feed it endless bytes.
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
        if (error) {
            *error = storeError(StoreOpenError,
                                QStringLiteral("The diary file \u201c%1\u201d is %2, not a diary file. "
                                               "It was left as it is.")
                                    .arg(path, S_ISDIR(info.st_mode) ? QStringLiteral("a folder")
                                                                     : QStringLiteral("a special file")));
        }
        return nullptr;
    }
    if (!store->lock(error)) {
        return nullptr;
    }
    // Asked only now: with the lock held no other copy of the diary can be making the file.
    if (!QFileInfo::exists(path)) {
        if (!store->create(error)) {
            return nullptr;
        }
    } else if (!store->checkHeader(error) ||
               !StoreFileCheck::checkBeforeWriting(path, kApplicationId, kSchemaVersion, error) ||
               (info.st_size <= kWholeCheckBeforeOpenBytes && !StoreFileCheck::checkWholeFile(path, error))) {
        return nullptr;
    }
    // SQLite would open a file it may not write for reading (and write its index beside it).
    if (::access(QFile::encodeName(path).constData(), W_OK) != 0) {
        if (error) {
            *error = storeError(
                StoreOpenError,
                QStringLiteral("The diary file \u201c%1\u201d can't be written (no permission). "
                               "It was left as it is.")
                    .arg(path));
        }
        return nullptr;
    }
    // Never SQLITE_OPEN_CREATE here: an existing diary is opened as it is or not at all.
    if (!store->db_.open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, error)) {
        return nullptr;
    }
    // Until the store is handed out, a refusal closes without folding the log
    // into the file (or removing it).
    sqlite3_db_config(store->db_.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    // SQLite quietly falls back to reading when it may not write; every save
    // would then fail after the user has typed, so say it now.
    if (sqlite3_db_readonly(store->db_.handle(), "main") == 1) {
        if (error) {
            *error = storeError(StoreOpenError,
                                QStringLiteral("The diary file \u201c%1\u201d can't be written (no permission). "
                                               "It was left as it is.")
                                    .arg(path));
        }
        return nullptr;
    }
    struct stat opened {};
    if (::stat(QFile::encodeName(path).constData(), &opened) == 0) {
        store->device_ = quint64(opened.st_dev);
        store->inode_ = quint64(opened.st_ino);
    }
    if (!store->validate(error) || !store->checkRoots(error)) {
        return nullptr;
    }
    // A small diary is read whole now; a large one a month first and the
    // rest beside the window (readAllRows), which checks it as a whole.
    if (store->rowEstimate_ <= readWholeAtOpenLimit()) {
        if (!store->loadAll(&store->loadedRows_, error) || !store->checkIdentifierIndex(error)) {
            return nullptr;
        }
        store->loadedAll_ = true;
    }
    // The cloud exchange writes through a connection of its own.
    store->db_.setBusyTimeout(5000);
    if (store->loadedAll_ || info.st_size <= kWholeCheckBeforeOpenBytes) {
        store->settleFileIdentity();
    }
    sqlite3_db_config(store->db_.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
    // In place of SQLite's own checkpoint at the commit that fills the log.
    sqlite3_wal_hook(store->db_.handle(), &PersistentStore::logGrew, store.get());
    return store;
}

int PersistentStore::logGrew(void* store, sqlite3*, const char*, int frames) {
    // SQLite's own measure: a log of 1000 pages is copied back.
    if (frames >= 1000) {
        static_cast<PersistentStore*>(store)->checkpointAside();
    }
    return SQLITE_OK;
}

void PersistentStore::checkpointAside() {
    if (fileGone_ || checkpointing_.exchange(true)) {
        return; // the one under way takes this log too, or the next commit asks again
    }
    if (checkpointer_.joinable()) {
        checkpointer_.join();
    }
    checkpointer_ = std::thread([this, path = path_] {
        SqliteDatabase db;
        if (db.open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr)) {
            db.setBusyTimeout(1000);
            db.exec("PRAGMA synchronous = FULL; PRAGMA wal_checkpoint(PASSIVE);", nullptr);
        }
        checkpointing_.store(false);
    });
}

bool PersistentStore::lock(Error* error) {
    const QByteArray native = QFile::encodeName(path_ + QStringLiteral(".lock"));
    int reason = 0;
    // A few rounds: the holder may remove the file between our open and our lock.
    for (int attempt = 0; attempt < 8 && reason == 0; ++attempt) {
        const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            reason = errno;
            break;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            reason = errno;
            if (reason == EWOULDBLOCK) {
                const qint64 pid = lockHolder(fd);
                ::close(fd);
                if (error) {
                    *error = storeError(
                        StoreInUseError,
                        QStringLiteral("The diary \u201c%1\u201d is open in another window "
                                       "(process %2). Quit the other window and try again.")
                            .arg(path_)
                            .arg(pid));
                }
                return false;
            }
            ::close(fd);
            break;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::stat(native.constData(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            const QByteArray info = QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                                    QCoreApplication::applicationName().toUtf8() + '\n' +
                                    QSysInfo::machineHostName().toUtf8() + '\n';
            // The text only names the holder in a refusal; the lock holds without it.
            if (::ftruncate(fd, 0) == 0) {
                [[maybe_unused]] const ssize_t written =
                    ::pwrite(fd, info.constData(), size_t(info.size()), 0);
            }
            lockFd_ = fd;
            return true;
        }
        ::close(fd);
    }
    if (!error) {
        return false;
    }
    if (reason == EACCES || reason == EPERM || reason == ENOENT || reason == EROFS ||
        reason == ENOTDIR) {
        *error = storeError(StoreOpenError,
                            QStringLiteral("The diary \u201c%1\u201d can't be opened: its folder can't be "
                                           "written (no permission, or the folder is missing).")
                                .arg(path_));
    } else {
        *error =
            storeError(StoreOpenError,
                       QStringLiteral("The diary \u201c%1\u201d could not be locked for use%2.")
                           .arg(path_, reason != 0 ? QStringLiteral(" (%1)").arg(
                                                         QString::fromLocal8Bit(strerror(reason)))
                                                   : QString()));
    }
    return false;
}

bool PersistentStore::create(Error* error) {
    // Built under a temporary name and renamed into place, so that an
    // interrupted creation never leaves a half-made diary under the real name.
    const QString temporary = path_ + QStringLiteral(".new-%1").arg(QCoreApplication::applicationPid());
    QFile::remove(temporary);
    {
        const int fd = ::open(QFile::encodeName(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (error) {
                *error = storeError(StoreOpenError,
                                    QStringLiteral("The diary file \u201c%1\u201d could not be created: %2.")
                                        .arg(path_, QString::fromLocal8Bit(strerror(errno))));
            }
            return false;
        }
        ::close(fd);
    }
    SqliteDatabase db;
    const QByteArray schema = QString::fromLatin1(kCreateSchema).arg(kApplicationId).toLatin1();
    if (!db.open(temporary, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, error) ||
        !db.exec(schema.constData(), error) || !runUpgradeSteps(db, 1, error)) {
        db.close();
        QFile::remove(temporary);
        QFile::remove(temporary + QStringLiteral("-wal"));
        QFile::remove(temporary + QStringLiteral("-shm"));
        return false;
    }
    db.close(); // the last connection checkpoints and removes the WAL
    // A log left beside a diary that is gone belongs to no file; SQLite would
    // replay it into the new one.
    for (const char* side : {"-wal", "-shm", "-journal"}) {
        QFile::remove(path_ + QLatin1String(side));
    }
    if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path_).constData()) != 0) {
        if (error) {
            *error = storeError(StoreOpenError,
                                QStringLiteral("The diary file \u201c%1\u201d could not be created.").arg(path_));
        }
        QFile::remove(temporary);
        return false;
    }
    syncFolder(QFileInfo(path_).absolutePath());
    return true;
}

bool PersistentStore::checkHeader(Error* error) const {
    // Read with plain file calls: SQLite given a damaged or foreign file may
    // write to it (a journal, a WAL) before it finds out.
    auto fail = [&](int code, const QString& text) {
        if (error) {
            *error = storeError(code, text);
        }
        return false;
    };
    auto damaged = [&](const QString& why) {
        return fail(StoreCorruptError,
                    QStringLiteral("The diary file \u201c%1\u201d is damaged (%2) and can't be opened. "
                                   "It was left as it is.")
                        .arg(path_, why));
    };
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(StoreOpenError, QStringLiteral("The diary file \u201c%1\u201d can't be read: %2.")
                                        .arg(path_, file.errorString()));
    }
    const qint64 size = file.size();
    const QByteArray header = file.read(100);
    if (size == 0) {
        return damaged(QStringLiteral("it is empty"));
    }
    static const QByteArray magic("SQLite format 3\0", 16);
    if (header.size() < 100 || !header.startsWith(magic)) {
        return damaged(QStringLiteral("it is not a database"));
    }
    const auto* bytes = reinterpret_cast<const uchar*>(header.constData());
    const quint32 rawPageSize = qFromBigEndian<quint16>(bytes + 16);
    const qint64 pageSize = rawPageSize == 1 ? 65536 : rawPageSize;
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0) {
        return damaged(QStringLiteral("its page size is invalid"));
    }
    const qint64 version = qint32(qFromBigEndian<quint32>(bytes + 60));
    const qint64 applicationId = qint32(qFromBigEndian<quint32>(bytes + 68));
    if (applicationId != kApplicationId) {
        return fail(StoreIncompatibleVersionError,
                    QStringLiteral("The file \u201c%1\u201d is not a Quillet diary; it was left as it is.").arg(path_));
    }
    if (version > kSchemaVersion) {
        return fail(StoreIncompatibleVersionError,
                    QStringLiteral("The diary \u201c%1\u201d was written by a newer version of Quillet "
                                   "(format %2; this version reads format %3). It was left as it is.")
                        .arg(path_)
                        .arg(version)
                        .arg(kSchemaVersion));
    }
    if (version < 1) {
        return fail(StoreIncompatibleVersionError,
                    QStringLiteral("The diary \u201c%1\u201d has an unknown format (%2). It was left as it is.")
                        .arg(path_)
                        .arg(version));
    }
    // While a log holds committed pages the file itself may lag behind; SQLite
    // sorts that out. Without one, the file must hold every page it counts.
    if (QFileInfo(path_ + QStringLiteral("-wal")).size() > 0) {
        return true;
    }
    if (size % pageSize != 0) {
        return damaged(QStringLiteral("it ends in the middle of a page"));
    }
    const quint32 changeCounter = qFromBigEndian<quint32>(bytes + 24);
    const quint32 pageCount = qFromBigEndian<quint32>(bytes + 28);
    const quint32 validFor = qFromBigEndian<quint32>(bytes + 92);
    if (pageCount != 0 && changeCounter == validFor && size < qint64(pageCount) * pageSize) {
        return damaged(QStringLiteral("it is shorter than its own header says"));
    }
    return true;
}

bool PersistentStore::validate(Error* error) {
    qint64 applicationId = 0;
    qint64 version = 0;
    if (!db_.queryInteger("PRAGMA application_id", &applicationId, error) ||
        !db_.queryInteger("PRAGMA user_version", &version, error)) {
        return false;
    }
    if (applicationId != kApplicationId) {
        if (error) {
            *error = storeError(StoreIncompatibleVersionError,
                                QStringLiteral("The file \u201c%1\u201d is not a Quillet diary; it was left as it is.")
                                    .arg(path_));
        }
        return false;
    }
    if (version < 1 || version > kSchemaVersion) {
        if (error) {
            *error = storeError(
                StoreIncompatibleVersionError,
                QStringLiteral("The diary \u201c%1\u201d has a format this version of Quillet can't read "
                               "(format %2; this version reads format %3). It was left as it is.")
                    .arg(path_)
                    .arg(version)
                    .arg(kSchemaVersion));
        }
        return false;
    }
    // Already WAL in every file this program made, so this writes nothing.
    if (!db_.exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;", error)) {
        return false;
    }
    return version == kSchemaVersion || upgrade(version, error);
}

bool PersistentStore::upgrade(qint64 from, Error* error) {
    const QString copy = path_ + QStringLiteral(".v%1").arg(from);
    // Committed changes still in the log (the last session ended without
    // closing the diary) belong to the file as it was.
    const bool logBefore = QFileInfo(path_ + QStringLiteral("-wal")).size() > 0;
    Error why;
    if (!keepCopy(copy, &why) || !runUpgradeSteps(db_, from, &why)) {
        // Rolled back. Closing would fold a log left from before into the
        // file: it stays as it is then, and the file byte for byte as it was.
        if (logBefore) {
            sqlite3_db_config(db_.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        }
        if (error) {
            *error = storeError(
                StoreOpenError,
                QStringLiteral("The diary \u201c%1\u201d could not be brought up to the format of "
                               "this version of Quillet (%2 to %3): %4 It was left as it is.")
                    .arg(path_, QString::number(from), QString::number(kSchemaVersion),
                         why.localizedDescription));
        }
        return false;
    }
    return true;
}

bool PersistentStore::keepCopy(const QString& copy, Error* error) {
    // Written under a temporary name and renamed when complete, so that the
    // name only ever stands for a whole copy. The copy holds diary text: it
    // is private from the moment it exists.
    const QString temporary =
        copy + QStringLiteral(".new-%1").arg(QCoreApplication::applicationPid());
    const QByteArray native = QFile::encodeName(temporary);
    QFile::remove(temporary);
    QString reason;
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        reason = QString::fromLocal8Bit(strerror(errno));
    } else {
        ::close(fd);
        SqliteStatement vacuum(db_.handle(), "VACUUM INTO ?");
        if (!vacuum.isValid() || !vacuum.bindText(1, temporary) || vacuum.step() != SQLITE_DONE) {
            reason = db_.lastMessage();
        }
    }
    if (reason.isNull()) {
        const int written = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
        if (written < 0 || ::fsync(written) != 0 ||
            ::rename(native.constData(), QFile::encodeName(copy).constData()) != 0) {
            reason = QString::fromLocal8Bit(strerror(errno));
        }
        if (written >= 0) {
            ::close(written);
        }
    }
    if (!reason.isNull()) {
        QFile::remove(temporary);
        if (error) {
            *error = storeError(
                StoreOpenError,
                QStringLiteral(
                    "a copy of it as it was could not be written to \u201c%1\u201d (%2).")
                    .arg(copy, reason));
        }
        return false;
    }
    syncFolder(QFileInfo(path_).absolutePath());
    return true;
}

qint64& PersistentStore::readWholeAtOpenLimitStorage() {
    static qint64 limit = kReadWholeAtOpen;
    return limit;
}

bool PersistentStore::checkRoots(Error* error) {
    // The pages every read starts from: the table's and each index's root and
    // one path down, so that a file damaged there is refused before use.
    qint64 ignored = 0;
    if (!db_.queryInteger("SELECT IFNULL(MAX(key), 0) FROM entry", &rowEstimate_, error) ||
        !db_.queryInteger(
            "SELECT count(*) FROM (SELECT uuid FROM entry INDEXED BY entry_uuid LIMIT 1)", &ignored,
            error) ||
        !db_.queryInteger(
            "SELECT count(*) FROM (SELECT monthTag FROM entry INDEXED BY entry_month LIMIT 1)",
            &ignored, error)) {
        if (error) {
            error->code = StoreCorruptError;
            error->localizedDescription =
                QStringLiteral("The diary file \u201c%1\u201d is damaged (%2) and can't be opened. "
                               "It was left as it is.")
                    .arg(path_, error->localizedDescription);
        }
        return false;
    }
    return true;
}

bool PersistentStore::loadAll(std::vector<StoreRow>* rows, Error* error) {
    // The texts as written stay in the file until a record is read (loadText):
    // the list and the search need only the folded form, and a large diary
    // would otherwise hold every text twice.
    if (rowEstimate_ > 0) {
        rows->reserve(std::size_t(std::min<qint64>(rowEstimate_, 10'000'000)));
    }
    SqliteStatement s(db_.handle(), kRowColumns);
    identifiedRows_ = 0;
    return readRows(
        db_, s, [rows](StoreRow&& row) { rows->push_back(std::move(row)); }, &identifiedRows_,
        error);
}

std::vector<StoreRow> PersistentStore::takeLoadedRows(Error* error) {
    if (!loadedAll_) {
        loadedAll_ = true;
        loadedRows_.clear();
        if (!loadAll(&loadedRows_, error) || !checkIdentifierIndex(error)) {
            loadedRows_.clear();
        } else {
            settleFileIdentity();
        }
    }
    return std::move(loadedRows_);
}

bool PersistentStore::loadMonth(int monthTag, std::vector<StoreRow>* rows, Error* error) {
    const QByteArray query = QByteArray(kRowColumns) + " INDEXED BY entry_month WHERE monthTag = ?";
    SqliteStatement s(db_.handle(), query.constData());
    if (s.isValid()) {
        s.bindInt64(1, monthTag);
    }
    qint64 identified = 0;
    return readRows(
        db_, s, [rows](StoreRow&& row) { rows->push_back(std::move(row)); }, &identified, error);
}

bool PersistentStore::readAllRows(const QString& path,
                                  const std::function<void(StoreRow&&)>& take, Error* error) {
    SqliteDatabase db;
    if (!db.open(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, error)) {
        return false;
    }
    // One snapshot for the rows and the index they are checked against.
    if (!db.exec("BEGIN", error)) {
        return false;
    }
    SqliteStatement s(db.handle(), kRowColumns);
    qint64 identified = 0;
    qint64 indexed = 0;
    // A large diary's whole-file check, left out of the way to the first screen.
    if (!readRows(db, s, take, &identified, error) ||
        !db.queryInteger("SELECT count(uuid) FROM entry INDEXED BY entry_uuid", &indexed, error) ||
        !StoreFileCheck::checkWholeDatabase(db.handle(), path, error)) {
        if (error) {
            error->code = StoreCorruptError;
        }
        return false;
    }
    db.exec("COMMIT", nullptr);
    if (indexed != identified) {
        if (error) {
            *error = identifierIndexDamaged(path);
        }
        return false;
    }
    return true;
}

void PersistentStore::settleFileIdentity() {
    if (identityPending_ && refusal_.isNull()) {
        identityPending_ = false;
        cloud::adoptFileIdentity(db_, path_);
    }
}

void PersistentStore::refuseWrites(const Error& why) {
    refusal_ = why;
    // Closing would copy the log into a file found damaged.
    sqlite3_db_config(db_.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
}

bool PersistentStore::checkIdentifierIndex(Error* error) {
    // Read whole as well (it is small beside the texts), so that damage in it
    // is found now and not by the first save; and it must list every entry
    // that has an identifier.
    qint64 indexed = 0;
    if (!db_.queryInteger("SELECT count(uuid) FROM entry INDEXED BY entry_uuid", &indexed, error)) {
        return false;
    }
    if (indexed != identifiedRows_) {
        if (error) {
            *error = identifierIndexDamaged(path_);
        }
        return false;
    }
    return true;
}

bool PersistentStore::loadRow(qint64 key, EntryValues* values, Error* error) {
    SqliteStatement s(db_.handle(),
                      "SELECT uuid, entryText, colorTag, monthTag, timeStamp, foldedText FROM entry WHERE key = ?");
    if (!s.isValid()) {
        if (error) {
            *error = db_.lastError(QStringLiteral("read"));
        }
        return false;
    }
    s.bindInt64(1, key);
    const int rc = s.step();
    if (rc == SQLITE_ROW) {
        readValues(s, 0, values);
        return true;
    }
    if (rc != SQLITE_DONE && error) {
        *error = db_.lastError(QStringLiteral("read"));
    }
    return false;
}

bool PersistentStore::loadText(qint64 key, QByteArray* text, Error* error) {
    SqliteStatement s(db_.handle(), "SELECT entryText FROM entry WHERE key = ?");
    if (!s.isValid()) {
        if (error) {
            *error = db_.lastError(QStringLiteral("read"));
        }
        return false;
    }
    s.bindInt64(1, key);
    const int rc = s.step();
    if (rc == SQLITE_ROW) {
        *text = s.columnUtf8(0);
        return true;
    }
    if (rc != SQLITE_DONE && error) {
        *error = db_.lastError(QStringLiteral("read"));
    }
    return false;
}

bool PersistentStore::checkFileInPlace(Error* error) {
    if (!fileGone_) {
        struct stat now {};
        int moved = 0;
        const bool gone = ::stat(QFile::encodeName(path_).constData(), &now) != 0 ||
                          quint64(now.st_dev) != device_ || quint64(now.st_ino) != inode_ ||
                          (sqlite3_file_control(db_.handle(), "main", SQLITE_FCNTL_HAS_MOVED,
                                                &moved) == SQLITE_OK &&
                           moved != 0);
        if (!gone) {
            return true;
        }
        fileGone_ = true;
        letGoOfFile();
    }
    if (error) {
        *error = storeError(
            StoreFileMovedError,
            QStringLiteral("The diary file “%1” was moved, replaced or deleted while "
                           "Quillet had it open. Nothing was saved over it; your changes are "
                           "kept in this window until you save them to a new file.")
                .arg(path_));
    }
    return false;
}

void PersistentStore::letGoOfFile() {
    // The commits still in the log belong to the file that was opened,
    // wherever it is now: they are copied into it through the open handles
    // and the log is emptied, so that no one opening the name later replays
    // them into whatever file has it now. Closing then leaves every name alone.
    if (checkpointer_.joinable()) {
        checkpointer_.join();
    }
    // A reader of its own (a backup under way) may hold the log a moment.
    db_.setBusyTimeout(5000);
    db_.exec("PRAGMA wal_checkpoint(TRUNCATE)", nullptr);
    db_.setBusyTimeout(0);
    sqlite3_db_config(db_.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
}

bool PersistentStore::copyTo(const QString& destination, Error* error) const {
    const QString reason = writeCopy(db_.handle(), destination);
    if (!reason.isNull()) {
        if (error) {
            *error = copyError(destination, reason);
        }
        return false;
    }
    return true;
}

bool PersistentStore::copyFile(const QString& source, const QString& destination, Error* error) {
    SqliteDatabase db;
    if (!db.open(source, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, error)) {
        return false;
    }
    db.setBusyTimeout(5000);
    const QString reason = writeCopy(db.handle(), destination);
    if (!reason.isNull()) {
        if (error) {
            *error = copyError(destination, reason);
        }
        return false;
    }
    return true;
}

void PersistentStore::shrinkMemory() {
    db_.exec("PRAGMA shrink_memory", nullptr);
}

bool PersistentStore::sync(Error* error) {
    if (!refusal_.isNull()) {
        if (error) {
            *error = refusal_;
        }
        return false;
    }
    if (!checkFileInPlace(error)) {
        return false;
    }
    if (!unsynced_) {
        return true;
    }
    // Every commit since the last checkpoint is in the log (a checkpoint
    // syncs what it copies into the file): syncing the log is enough.
    const int fd =
        ::open(QFile::encodeName(path_ + QStringLiteral("-wal")).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        const bool synced = ::fsync(fd) == 0;
        const int reason = errno;
        ::close(fd);
        if (!synced) {
            if (error) {
                *error = storeError(
                    StoreSaveError,
                    QStringLiteral("The diary file \u201c%1\u201d could not be saved: %2.")
                        .arg(path_, QString::fromLocal8Bit(strerror(reason))));
            }
            return false;
        }
    }
    unsynced_ = false;
    return true;
}

bool PersistentStore::save(const Changes& changes, std::vector<qint64>* insertedKeys, Error* error,
                           bool waitForDisk) {
    if (!refusal_.isNull()) {
        if (error) {
            *error = refusal_;
        }
        return false;
    }
    if (!checkFileInPlace(error)) {
        return false;
    }
    settleFileIdentity();
    // In WAL mode NORMAL syncs only at checkpoints; FULL, the diary's way, at every commit.
    if (!waitForDisk) {
        db_.exec("PRAGMA synchronous = NORMAL", nullptr);
    }
    struct Restore {
        SqliteDatabase& db;
        bool active;
        ~Restore() {
            if (active) {
                db.exec("PRAGMA synchronous = FULL", nullptr);
            }
        }
    } restore{db_, !waitForDisk};
    auto fail = [&](const QString& action) {
        if (error) {
            *error = db_.lastError(action);
            error->code = StoreSaveError;
        }
        db_.exec("ROLLBACK", nullptr);
        return false;
    };
    if (!db_.exec("BEGIN IMMEDIATE", nullptr)) {
        if (error) {
            *error = db_.lastError(QStringLiteral("saved"));
            error->code = StoreSaveError;
        }
        return false;
    }
    // Stamped and queued for the change log in the same transaction.
    if (!cloud::recordSave(db_, changes, nullptr)) {
        return fail(QStringLiteral("saved"));
    }
    std::vector<qint64> keys;
    {
        SqliteStatement insert(db_.handle(),
                               "INSERT INTO entry (uuid, entryText, colorTag, monthTag, timeStamp, foldedText) "
                               "VALUES (?, ?, ?, ?, ?, ?)");
        // One update statement per set of columns written, made when first needed.
        std::map<unsigned, std::unique_ptr<SqliteStatement>> updates;
        SqliteStatement remove(db_.handle(), "DELETE FROM entry WHERE key = ?");
        if (!insert.isValid() || !remove.isValid()) {
            return fail(QStringLiteral("saved"));
        }
        for (const EntryValues* v : changes.inserted) {
            insert.reset();
            bindValues(insert, *v);
            if (insert.step() != SQLITE_DONE) {
                return fail(QStringLiteral("saved"));
            }
            keys.push_back(sqlite3_last_insert_rowid(db_.handle()));
        }
        for (const Update& u : changes.updated) {
            const unsigned columns = columnsWritten(u.changedKeys);
            if (columns == 0) {
                continue;
            }
            std::unique_ptr<SqliteStatement>& update = updates[columns];
            if (!update) {
                update = std::make_unique<SqliteStatement>(db_.handle(),
                                                           updateStatement(columns).constData());
                if (!update->isValid()) {
                    return fail(QStringLiteral("saved"));
                }
            } else {
                update->reset();
            }
            bindColumns(*update, *u.values, columns);
            update->bindInt64(7, u.key);
            if (update->step() != SQLITE_DONE) {
                return fail(QStringLiteral("saved"));
            }
            if (sqlite3_changes(db_.handle()) == 0) {
                // The row went meanwhile (removed elsewhere): the change has
                // nowhere to go, and saying it was saved would lose it unseen.
                db_.exec("ROLLBACK", nullptr);
                if (error) {
                    *error = storeError(StoreEntryGoneError,
                                        QStringLiteral("The diary could not be saved because an "
                                                       "entry being saved is no longer in the "
                                                       "diary file."));
                }
                return false;
            }
        }
        for (qint64 key : changes.deleted) {
            remove.reset();
            remove.bindInt64(1, key);
            if (remove.step() != SQLITE_DONE) {
                return fail(QStringLiteral("saved"));
            }
        }
    }
    if (!db_.exec("COMMIT", nullptr)) {
        return fail(QStringLiteral("saved"));
    }
    // A commit that waited for the disk took every earlier one with it: they share the log.
    unsynced_ = !waitForDisk;
    if (insertedKeys) {
        *insertedKeys = std::move(keys);
    }
    if (commitObserver_) {
        commitObserver_();
    }
    return true;
}

} // namespace quillet
