#pragma once

#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"

#include <QString>
#include <memory>

namespace quillet {

// Reads the previous generation's diary file: its table `entries`, the rows
// not in its trash, five columns, with SQLite's own type conversions (a NULL
// color tag reads as 0, a NULL time stamp as 0.0, numbers and blobs in a
// text column as their text). The file is opened read-only and nothing is
// ever written to it or beside it; anything but a regular file in its place
// is not opened at all, so that a pipe cannot hang the reader.
class OldDiaryReader {
public:
    struct Row {
        QString uuid; // null for NULL
        QString text; // null for NULL
        int colorTag = 0;
        double timeStamp = 0; // seconds since 1970-01-01 00:00:00 UTC
        // A row without an identifier or a text is not an entry to import.
        bool isComplete() const { return !uuid.isNull() && !text.isNull(); }
    };
    enum class Next { Row, End, Error };

    bool open(const QString& path);
    // The live rows that have an identifier: the denominator of the import's percentages.
    bool countLiveRows(int* total);
    // Starts the walk over the live rows: ordered by identifier, the rows of
    // one identifier in the table's own order (in the table's order alone
    // when it cannot be sorted).
    bool prepareRows();
    Next next(Row* row);
    void close();

    // Why the last step failed, for the log.
    QString errorMessage() const { return error_; }

private:
    bool fail(const QString& why);

    SqliteDatabase db_;
    std::unique_ptr<SqliteStatement> rows_;
    bool sorted_ = false;
    bool started_ = false;
    QString error_;
};

} // namespace quillet
