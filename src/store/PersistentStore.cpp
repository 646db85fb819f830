#include "store/PersistentStore.h"

#include "store/SqliteStatement.h"
#include "store/StoreOptions.h"
#include "store/cloud/CloudTables.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <sys/stat.h>
#include <sqlite3.h>
#include <unistd.h>

namespace quillet {

namespace {

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

// The format steps: step i brings a diary of version i + 1 to version i + 2.
// They run inside the upgrade's one transaction. A new format is one more
// function at the end of the list (and one more test).
using UpgradeStep = bool (*)(SqliteDatabase& db, Error* error);

// 2: an identifier is found without reading the whole table.
bool addUuidIndex(SqliteDatabase& db, Error* error) {
    return db.exec("CREATE INDEX entry_uuid ON entry (uuid)", error);
}

// 3: the change-log exchange (store/cloud).
constexpr UpgradeStep kUpgradeSteps[] = {addUuidIndex, cloud::addCloudTables};
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

void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
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
    if (lock_) {
        lock_->unlock();
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
    } else if (!store->checkHeader(error)) {
        return nullptr;
    }
    // Never SQLITE_OPEN_CREATE here: an existing diary is opened as it is or not at all.
    if (!store->db_.open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, error)) {
        return nullptr;
    }
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
    if (!store->validate(error) || !store->loadAll(&store->loadedRows_, error) ||
        !store->checkIdentifierIndex(error)) {
        return nullptr;
    }
    // The cloud exchange writes through a connection of its own.
    store->db_.setBusyTimeout(5000);
    cloud::adoptFileIdentity(store->db_, path);
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
    if (checkpointing_.exchange(true)) {
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
    lock_ = std::make_unique<QLockFile>(path_ + QStringLiteral(".lock"));
    // Stale only when its process is gone (Qt also holds a kernel lock on the
    // file, which dies with the process however it ends), never by age: a
    // diary may stay open for weeks.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        return true;
    }
    const QLockFile::LockError reason = lock_->error();
    qint64 pid = 0;
    QString host, app;
    lock_->getLockInfo(&pid, &host, &app);
    lock_.reset();
    if (!error) {
        return false;
    }
    switch (reason) {
    case QLockFile::LockFailedError:
        *error = storeError(StoreInUseError,
                            QStringLiteral("The diary \u201c%1\u201d is open in another window (process %2). "
                                           "Quit the other window and try again.")
                                .arg(path_)
                                .arg(pid));
        break;
    case QLockFile::PermissionError:
        *error = storeError(StoreOpenError,
                            QStringLiteral("The diary \u201c%1\u201d can't be opened: its folder can't be "
                                           "written (no permission, or the folder is missing).")
                                .arg(path_));
        break;
    default:
        *error = storeError(StoreOpenError,
                            QStringLiteral("The diary \u201c%1\u201d could not be locked for use.").arg(path_));
        break;
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

bool PersistentStore::loadAll(std::vector<StoreRow>* rows, Error* error) {
    // The texts as written stay in the file until a record is read (loadText):
    // searching needs only the folded form, and a large diary would otherwise
    // hold every text twice. The folded forms are left to readFoldedTexts,
    // which may run on another thread once the diary is on screen.
    qint64 lastKey = 0;
    if (db_.queryInteger("SELECT IFNULL(MAX(key), 0) FROM entry", &lastKey, nullptr) && lastKey > 0) {
        rows->reserve(std::size_t(std::min<qint64>(lastKey, 10'000'000)));
    }
    // Every page is read once: mapped, instead of a system call per page. Only
    // for this pass, so that the store never reads through a mapping later.
    db_.exec("PRAGMA mmap_size = 1073741824", nullptr);
    struct Unmap {
        SqliteDatabase& db;
        ~Unmap() { db.exec("PRAGMA mmap_size = 0", nullptr); }
    } unmap{db_};
    SqliteStatement s(db_.handle(),
                      "SELECT key, uuid, colorTag, monthTag, timeStamp, entryText IS NULL FROM entry");
    if (!s.isValid()) {
        if (error) {
            *error = db_.lastError(QStringLiteral("read"));
        }
        return false;
    }
    int rc;
    while ((rc = s.step()) == SQLITE_ROW) {
        StoreRow row;
        row.key = s.columnInt64(0);
        EntryValues& v = row.values;
        v.uuid = s.columnText(1);
        v.colorTag = int(s.columnInt64(2));
        v.monthTag = int(s.columnInt64(3));
        v.hasTimeStamp = !s.isNull(4);
        v.timeStamp = s.columnDouble(4);
        v.textFaulted = s.columnInt64(5) == 0;
        v.foldedFaulted = true;
        rows->push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        if (error) {
            *error = db_.lastError(QStringLiteral("read"));
        }
        return false;
    }
    return true;
}

bool PersistentStore::checkIdentifierIndex(Error* error) {
    // Read whole as well (it is small beside the texts), so that damage in it
    // is found now and not by the first save; and it must list every entry
    // that has an identifier.
    qint64 indexed = 0;
    if (!db_.queryInteger("SELECT count(uuid) FROM entry INDEXED BY entry_uuid", &indexed, error)) {
        return false;
    }
    const auto identified =
        std::count_if(loadedRows_.begin(), loadedRows_.end(),
                      [](const StoreRow& row) { return !row.values.uuid.isNull(); });
    if (indexed != qint64(identified)) {
        if (error) {
            *error = storeError(
                StoreCorruptError,
                QStringLiteral(
                    "The diary file \u201c%1\u201d is damaged (its index of identifiers "
                    "does not match its entries) and can't be opened. It was left as it is.")
                    .arg(path_));
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

bool PersistentStore::readFoldedTexts(const QString& path, std::vector<std::pair<qint64, std::string>>* texts,
                                      Error* error) {
    SqliteDatabase db;
    if (!db.open(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, error)) {
        return false;
    }
    db.exec("PRAGMA mmap_size = 1073741824", nullptr); // one pass over every page
    SqliteStatement s(db.handle(), "SELECT key, foldedText FROM entry");
    if (!s.isValid()) {
        if (error) {
            *error = db.lastError(QStringLiteral("read"));
        }
        return false;
    }
    int rc;
    while ((rc = s.step()) == SQLITE_ROW) {
        const std::string_view folded = s.columnUtf8View(1);
        texts->emplace_back(s.columnInt64(0), std::string(folded.data() ? folded.data() : "", folded.size()));
    }
    if (rc != SQLITE_DONE) {
        if (error) {
            *error = db.lastError(QStringLiteral("read"));
        }
        return false;
    }
    return true;
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

bool PersistentStore::sync(Error* error) {
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
        SqliteStatement update(db_.handle(),
                               "UPDATE entry SET uuid = ?, entryText = ?, colorTag = ?, monthTag = ?, "
                               "timeStamp = ?, foldedText = ? WHERE key = ?");
        SqliteStatement remove(db_.handle(), "DELETE FROM entry WHERE key = ?");
        if (!insert.isValid() || !update.isValid() || !remove.isValid()) {
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
        for (const auto& [key, v] : changes.updated) {
            update.reset();
            bindValues(update, *v);
            update.bindInt64(7, key);
            if (update.step() != SQLITE_DONE) {
                return fail(QStringLiteral("saved"));
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
