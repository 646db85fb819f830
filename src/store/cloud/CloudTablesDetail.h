#pragma once

// What the files of the exchange's tables share: the values kept in the
// cloudState table, the writer's text form, and claiming the outbox.

#include "core/Error.h"
#include "store/SqliteDatabase.h"

#include <QString>
#include <QUuid>

namespace quillet::cloud::detail {

Error cloudError(SqliteDatabase& db, const QString& action);
QString stateValue(SqliteDatabase& db, const char* name);
bool setStateValue(SqliteDatabase& db, const char* name, const QString& value);
QString writerText(const QUuid& writer);
// Puts one entry in the outbox.
bool enqueue(SqliteDatabase& db, const QString& uuid);

// Inside a transaction: the outbox becomes this writer's next log, kept in the store until written.
// At most `limit` entries per log (0: all), so that a large diary's first
// log does not hold the store for long.
bool claimPendingLog(SqliteDatabase& db, Error* error, int limit = 0);

} // namespace quillet::cloud::detail
