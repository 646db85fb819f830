#include "diary/import/OldDiaryReader.h"

#include <QFile>
#include <sys/stat.h>

namespace quillet {

namespace {
const char* const kRows = "SELECT uuid,entrytext,colortag,timestamp FROM entries WHERE trashed=0";
const char* const kSortedRows =
    "SELECT uuid,entrytext,colortag,timestamp FROM entries WHERE trashed=0 ORDER BY uuid, rowid";
// A moment's lock held by whoever else has the file open is waited out; a
// longer one fails the import, which can be started again.
constexpr int kBusyTimeoutMs = 500;
} // namespace

bool OldDiaryReader::fail(const QString& why) {
    error_ = why;
    rows_.reset();
    return false;
}

bool OldDiaryReader::open(const QString& path) {
    close();
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return fail(QStringLiteral("%1: no such file").arg(path));
    }
    if (!S_ISREG(info.st_mode)) {
        return fail(QStringLiteral("%1: not a regular file").arg(path));
    }
    Error error;
    if (!db_.openReadOnly(path, &error)) {
        return fail(error.localizedDescription);
    }
    db_.setBusyTimeout(kBusyTimeoutMs);
    return true;
}

bool OldDiaryReader::countLiveRows(int* total) {
    SqliteStatement count(db_.handle(), "SELECT COUNT(uuid) FROM entries WHERE trashed=0");
    if (!count.isValid()) {
        return fail(db_.lastMessage());
    }
    if (count.advance() != SqliteStatement::Step::Row) {
        return fail(db_.lastMessage());
    }
    *total = count.columnInt(0);
    return true;
}

bool OldDiaryReader::prepareRows() {
    // By identifier, and rows of one identifier in the table's own order, so
    // the first one met is the same as unsorted. The diary's index of
    // identifiers is then written a stretch at a time instead of all over,
    // which makes a large import several times faster. A table without row
    // numbers is read in its own order.
    rows_ = std::make_unique<SqliteStatement>(db_.handle(), kSortedRows);
    sorted_ = rows_->isValid();
    started_ = false;
    if (!sorted_) {
        rows_ = std::make_unique<SqliteStatement>(db_.handle(), kRows);
    }
    if (!rows_->isValid()) {
        return fail(db_.lastMessage());
    }
    return true;
}

OldDiaryReader::Next OldDiaryReader::next(Row* row) {
    if (!rows_) {
        return Next::Error;
    }
    SqliteStatement::Step step = rows_->advance();
    if (step == SqliteStatement::Step::Error && sorted_ && !started_) {
        // The sort reads every row before the first comes out, so damage
        // anywhere stops it; read in the table's own order instead, as far
        // as the file goes.
        sorted_ = false;
        rows_ = std::make_unique<SqliteStatement>(db_.handle(), kRows);
        step = rows_->isValid() ? rows_->advance() : SqliteStatement::Step::Error;
    }
    started_ = true;
    switch (step) {
    case SqliteStatement::Step::Done:
        rows_.reset();
        return Next::End;
    case SqliteStatement::Step::Error:
        fail(db_.lastMessage());
        return Next::Error;
    case SqliteStatement::Step::Row:
        break;
    }
    row->uuid = rows_->columnText(0);
    row->text = rows_->columnText(1);
    row->colorTag = rows_->columnInt(2);
    row->timeStamp = rows_->columnDouble(3);
    return Next::Row;
}

void OldDiaryReader::close() {
    rows_.reset();
    db_.close();
}

} // namespace quillet
