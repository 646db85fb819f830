#pragma once

#include "store/SqliteDatabase.h"

#include <QJsonObject>
#include <QString>
#include <QUuid>
#include <map>
#include <optional>

namespace quillet::cloud {

// Markers of texts written over would grow with every save for ever: a
// marker goes once every diary that knows the container has applied the
// version it names (the version is "settled"), as that version then never
// arrives anywhere for the first time again. Each writer publishes, in its
// state, the clock of its newest claimed log ("claimed", "publishedClock")
// and, per other writer, the clock up to which it has applied that writer's
// stamps ("through"); the lowest of these per writer is where its versions
// are settled.

// The other writers known to the container, by id, with their published
// state (none: no state of a format this version reads).
using KnownStates = std::map<QUuid, std::optional<QJsonObject>>;
KnownStates readKnownStates(const QString& logsFolder, const QString& stateFolder,
                            const QUuid& self);

// What this writer publishes for the others to settle by.
QJsonObject settleMembers(SqliteDatabase& db, const KnownStates& others);
// Raises the settled clocks from what everybody published and drops the
// markers of settled versions (never the entry's own text or the text its
// tombstone saw).
bool settle(SqliteDatabase& db, const QUuid& self, const KnownStates& others,
            const QJsonObject& own);

// The settled clocks this store holds ("settled" in cloudState).
std::map<QUuid, quint64> settledClocks(SqliteDatabase& db);
bool raiseSettledClocks(SqliteDatabase& db, const std::map<QUuid, quint64>& clocks);

} // namespace quillet::cloud
