// Reading rows: the whole table at open, one month for the first screen, the
// rest beside the window, and one row or text on demand.
#include "store/PersistentStore.h"

#include "store/EntryRows.h"
#include "store/PersistentStoreErrors.h"
#include "store/StoreFileCheck.h"

#include <algorithm>
#include <sqlite3.h>

namespace quillet {

using namespace detail;

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

bool PersistentStore::readAllRows(const QString& path, const std::function<void(StoreRow&&)>& take,
                                  Error* error, const std::function<void()>& rowsRead,
                                  FoldedArena* arena) {
    SqliteDatabase db;
    if (!db.open(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, error)) {
        return false;
    }
    // Every page is read once, in order: a page cache of the usual 2 MB would
    // only raise the window's memory while the rest is read.
    db.exec("PRAGMA cache_size = -256", nullptr);
    // One snapshot for the rows and the index they are checked against.
    if (!db.exec("BEGIN", error)) {
        return false;
    }
    SqliteStatement s(db.handle(), kRowColumns);
    qint64 identified = 0;
    qint64 indexed = 0;
    // A large diary's whole-file check, left out of the way to the first screen.
    const bool read = readRows(db, s, take, &identified, error, arena);
    if (read && rowsRead) {
        rowsRead();
    }
    if (!read ||
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

namespace {
// Steps `sql` for the row of `key` and hands it to `read`. False when there
// is no such row, or on an error (then in `error`). The statement is made
// once and kept: texts are read one by one, thousands in a row when an
// import compares what it brings with what is there. It is reset at once,
// so that no read stays open across the next save or checkpoint.
template <typename Read>
bool readRowByKey(SqliteDatabase& db, std::unique_ptr<SqliteStatement>* cached, const char* sql,
                  qint64 key, Error* error, Read read) {
    if (!*cached || !(*cached)->isValid()) {
        *cached = std::make_unique<SqliteStatement>(db.handle(), sql);
    }
    SqliteStatement& s = **cached;
    int rc = SQLITE_ERROR;
    if (s.isValid()) {
        s.bindInt64(1, key);
        rc = s.step();
        if (rc == SQLITE_ROW) {
            read(s);
        }
        s.reset();
        if (rc == SQLITE_ROW) {
            return true;
        }
    }
    if (rc != SQLITE_DONE && error) {
        *error = db.lastError(QStringLiteral("read"));
    }
    return false;
}
} // namespace

bool PersistentStore::loadRow(qint64 key, EntryValues* values, Error* error) {
    return readRowByKey(db_, &rowByKey_,
                        "SELECT uuid, entryText, colorTag, monthTag, timeStamp, "
                        "foldedText FROM entry WHERE key = ?",
                        key, error, [values](SqliteStatement& s) { readValues(s, 0, values); });
}

bool PersistentStore::loadText(qint64 key, QByteArray* text, Error* error) {
    return readRowByKey(db_, &textByKey_, "SELECT entryText FROM entry WHERE key = ?", key, error,
                        [text](SqliteStatement& s) { *text = s.columnUtf8(0); });
}

} // namespace quillet
