#include "diary/import/OldDiaryReader.h"

#include <QFile>
#include <sys/stat.h>

namespace quillet {

namespace {
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
    rows_ = std::make_unique<SqliteStatement>(db_.handle(),
                                              "SELECT uuid,entrytext,colortag,timestamp FROM entries WHERE trashed=0");
    if (!rows_->isValid()) {
        return fail(db_.lastMessage());
    }
    return true;
}

OldDiaryReader::Next OldDiaryReader::next(Row* row) {
    if (!rows_) {
        return Next::Error;
    }
    switch (rows_->advance()) {
    case SqliteStatement::Step::Done: rows_.reset(); return Next::End;
    case SqliteStatement::Step::Error: fail(db_.lastMessage()); return Next::Error;
    case SqliteStatement::Step::Row: break;
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
