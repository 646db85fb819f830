#include "store/StoreFileCheck.h"

#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>
#include <sqlite3.h>

namespace quillet {

namespace {

Error damagedError(const QString& path, const QString& why) {
    return Error{
        kStoreErrorDomain, StoreCorruptError,
        QStringLiteral("The diary file \u201c%1\u201d is damaged (%2) and can't be opened. "
                       "It was left as it is.")
            .arg(path, why)};
}

// A connection that reads the diary as SQLite would, and cannot write to it
// or beside it:
// - nothing beside the file: opened as immutable (no locks, no log, no index file);
// - a log and its index left by a killed writer: read-only, the index only
//   read (SQLite rebuilds it in memory when it is stale);
// - a log without its index, or a rollback journal: SQLite would make the
//   index or roll the journal back, so the check reads a private copy.
class ReadOnlyView {
public:
    bool open(const QString& path, Error* error) {
        path_ = path;
        const bool log = QFileInfo(path + QStringLiteral("-wal")).size() > 0;
        const bool journal = QFileInfo(path + QStringLiteral("-journal")).size() > 0;
        const bool index = QFileInfo(path + QStringLiteral("-shm")).isFile();
        if (!journal && !log) {
            return openUri(path, "immutable=1", error);
        }
        if (!journal && index) {
            return openUri(path, "mode=ro&readonly_shm=1", error);
        }
        return openCopy(path, error);
    }

    SqliteDatabase& db() { return db_; }

    // The failure of the last statement, told about the diary's own path.
    Error lastError() const {
        const int code = sqlite3_extended_errcode(db_.handle()) & 0xff;
        const QString message = db_.lastMessage();
        if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB) {
            return damagedError(path_, message);
        }
        return Error{
            kStoreErrorDomain, code == SQLITE_BUSY ? StoreInUseError : StoreOpenError,
            QStringLiteral(
                "The diary file \u201c%1\u201d could not be read: %2. It was left as it is.")
                .arg(path_, message)};
    }

private:
    bool openUri(const QString& path, const char* parameters, Error* error) {
        const QByteArray uri =
            QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() + '?' + parameters;
        if (!db_.open(QString::fromLatin1(uri),
                      SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr)) {
            if (error) {
                *error =
                    Error{kStoreErrorDomain, StoreOpenError,
                          QStringLiteral(
                              "The diary file \u201c%1\u201d can't be read. It was left as it is.")
                              .arg(path)};
            }
            return false;
        }
        return true;
    }

    bool openCopy(const QString& path, Error* error) {
        auto fail = [&](const QString& why) {
            if (error) {
                *error =
                    Error{kStoreErrorDomain, StoreOpenError,
                          QStringLiteral("The diary file \u201c%1\u201d could not be checked (%2). "
                                         "It was left as it is.")
                              .arg(path, why)};
            }
            return false;
        };
        // Owner-only: the copy holds diary text.
        folder_ = std::make_unique<QTemporaryDir>();
        if (!folder_->isValid()) {
            return fail(folder_->errorString());
        }
        const QString copy = folder_->filePath(QStringLiteral("check.sqlite"));
        for (const char* side : {"", "-wal", "-journal"}) {
            const QString from = path + QLatin1String(side);
            if (!QFileInfo::exists(from)) {
                continue;
            }
            const QString to = copy + QLatin1String(side);
            if (!QFile::copy(from, to) ||
                !QFile::setPermissions(to, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
                return fail(QStringLiteral("no room for a copy to check"));
            }
        }
        // Read-write, so that SQLite rolls a journal back here, in the copy.
        return db_.open(copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, error) ||
               fail(QStringLiteral("its copy can't be opened"));
    }

    QString path_;
    std::unique_ptr<QTemporaryDir> folder_;
    SqliteDatabase db_; // closed before its folder goes
};

} // namespace

bool StoreFileCheck::checkBeforeWriting(const QString& path, qint64 applicationId,
                                        qint64 newestVersion, Error* error) {
    ReadOnlyView view;
    if (!view.open(path, error)) {
        return false;
    }
    qint64 id = 0;
    qint64 version = 0;
    qint64 tables = 0;
    // The schema is parsed by the first statement: a damaged first page fails here.
    if (!view.db().queryInteger("SELECT count(*) FROM sqlite_master", &tables, nullptr) ||
        !view.db().queryInteger("PRAGMA application_id", &id, nullptr) ||
        !view.db().queryInteger("PRAGMA user_version", &version, nullptr)) {
        if (error) {
            *error = view.lastError();
        }
        return false;
    }
    if (id != applicationId) {
        if (error) {
            *error =
                Error{kStoreErrorDomain, StoreIncompatibleVersionError,
                      QStringLiteral(
                          "The file \u201c%1\u201d is not a Quillet diary; it was left as it is.")
                          .arg(path)};
        }
        return false;
    }
    if (version < 1 || version > newestVersion) {
        if (error) {
            *error =
                Error{kStoreErrorDomain, StoreIncompatibleVersionError,
                      QStringLiteral(
                          "The diary \u201c%1\u201d has a format this version of Quillet can't "
                          "read (format %2; this version reads format %3). It was left as it is.")
                          .arg(path)
                          .arg(version)
                          .arg(newestVersion)};
        }
        return false;
    }
    return true;
}

bool StoreFileCheck::checkWholeFile(const QString& path, Error* error) {
    ReadOnlyView view;
    if (!view.open(path, error)) {
        return false;
    }
    return checkWholeDatabase(view.db().handle(), path, error);
}

bool StoreFileCheck::checkWholeDatabase(sqlite3* db, const QString& path, Error* error) {
    SqliteStatement check(db, "PRAGMA quick_check(1)");
    if (!check.isValid() || check.step() != SQLITE_ROW) {
        if (error) {
            *error = damagedError(path, QString::fromUtf8(sqlite3_errmsg(db)));
        }
        return false;
    }
    const QString verdict = check.columnText(0);
    if (verdict != QLatin1String("ok")) {
        if (error) {
            *error = damagedError(path, verdict);
        }
        return false;
    }
    return true;
}

} // namespace quillet
