#pragma once

#include "store/SqliteDatabase.h"
#include "store/cloud/ChangeLog.h"

#include <QDateTime>
#include <QUuid>
#include <map>

namespace quillet::cloud {

// Machines' clocks disagree. A stamp from further ahead of this machine's
// wall clock than this is taken as a clock that is off: it still orders its
// entry's change as everywhere else, but this machine's clock does not jump
// ahead with it, so one wrong clock does not carry every other machine's
// later changes ahead of their time.
inline constexpr qint64 kClockLeewayMilliseconds = 5 * 60 * 1000;

// The clock after seeing `seen`: moved forward to it, at most to the leeway
// past `wallMilliseconds`.
inline quint64 adoptClock(quint64 clock, quint64 seen,
                          qint64 wallMilliseconds = QDateTime::currentMSecsSinceEpoch()) {
    const quint64 bound = quint64(std::max<qint64>(0, wallMilliseconds + kClockLeewayMilliseconds))
                          << 16;
    return std::max(clock, std::min(seen, bound));
}

// The newest clock among an entry's stamps: a change made here to the entry
// is stamped after it, whatever this machine's clock says, so that it
// replaces what it was made over on every machine.
inline quint64 latestClock(const EntryState& s) {
    return std::max({s.text.clock, s.color.clock, s.moment.clock, s.deletion.clock});
}

// How far ahead of `wallMilliseconds` the log writer's own newest stamp in
// `log` is, in milliseconds; 0 when within the leeway or without one.
qint64 writerClockAhead(const ChangeLog& log,
                        qint64 wallMilliseconds = QDateTime::currentMSecsSinceEpoch());

// The writers whose clocks were last found ahead here, with minutes ahead,
// as kept in the store (cloudState "clockAhead"). Within the store's own
// transaction: records the writer's state after one of its logs and tells
// the log once when a writer is first found ahead.
std::map<QUuid, int> clocksAhead(SqliteDatabase& db);
bool noteWriterClock(SqliteDatabase& db, const QUuid& writer, qint64 aheadMilliseconds);

// Own stamps made after an entry's stamp from a clock that runs ahead are
// "lifted" past it without moving this writer's clock; until a log takes
// the entry they are the only ones not yet published that lie above the
// clock. Kept in cloudState ("lifted": entry identifier -> the first such
// stamp since the entry was last claimed; every later one is greater).
std::map<QString, quint64> liftedStamps(SqliteDatabase& db);
bool storeLiftedStamps(SqliteDatabase& db, const std::map<QString, quint64>& lifted);

// Whether `version` is one of this writer's texts that no log holds yet:
// stamped since the last log was claimed (`publishedClock`, at most the
// writer's `clock` since), or lifted and not claimed since.
inline bool isOwnUnpublished(const Stamp& version, const QUuid& self, quint64 publishedClock,
                             quint64 clock, const std::map<QString, quint64>& lifted,
                             const QString& uuid) {
    if (version.writer != self || version.isNull()) {
        return false;
    }
    if (version.clock > publishedClock && version.clock <= clock) {
        return true;
    }
    const auto it = lifted.find(uuid);
    return it != lifted.end() && version.clock >= it->second;
}

} // namespace quillet::cloud
