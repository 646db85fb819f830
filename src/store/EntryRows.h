#pragma once

// How an entry row is read from and bound to SQLite statements: the column
// order lives here once, for the store's reads and its save alike.

#include "store/EntryValues.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"
#include "store/StoreRow.h"

#include <QByteArray>
#include <functional>

namespace quillet::detail {

// Every column a record keeps in memory: all but the text as written, which
// stays in the file until it is read (textFaulted).
extern const char* const kRowColumns;

// Reads every row of the statement; counts those with an identifier. The
// folded texts go into `arena` when one is given.
bool readRows(SqliteDatabase& db, SqliteStatement& s, const std::function<void(StoreRow&&)>& take,
              qint64* identified, Error* error, FoldedArena* arena = nullptr);
void bindValues(SqliteStatement& s, const EntryValues& v);
// What an update writes of the changes it was given: a moment is its time
// stamp and its month tag, never one without the other.
unsigned columnsWritten(unsigned changedKeys);
// The update of those columns. Each column keeps its parameter number of
// bindValues whichever others are written; the key is always ?7.
QByteArray updateStatement(unsigned columns);
void bindColumns(SqliteStatement& s, const EntryValues& v, unsigned columns);
void readValues(const SqliteStatement& s, int first, EntryValues* v);

} // namespace quillet::detail
