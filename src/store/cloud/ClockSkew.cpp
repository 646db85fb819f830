#include "store/cloud/ClockSkew.h"

#include "core/Log.h"
#include "store/SqliteStatement.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <sqlite3.h>

namespace quillet::cloud {

qint64 writerClockAhead(const ChangeLog& log, qint64 wallMilliseconds) {
    quint64 newest = 0;
    for (const EntryState& e : log.entries) {
        for (const Stamp& s : {e.text, e.color, e.moment, e.deletion}) {
            if (s.writer == log.writer)
                newest = std::max(newest, s.clock);
        }
    }
    const qint64 ahead = qint64(newest >> 16) - wallMilliseconds;
    return newest != 0 && ahead > kClockLeewayMilliseconds ? ahead : 0;
}

namespace {
QJsonObject storedAhead(SqliteDatabase& db) {
    SqliteStatement s(db.handle(), "SELECT value FROM cloudState WHERE name = 'clockAhead'");
    return s.step() == SQLITE_ROW ? QJsonDocument::fromJson(s.columnUtf8(0)).object()
                                  : QJsonObject();
}
} // namespace

std::map<QUuid, int> clocksAhead(SqliteDatabase& db) {
    std::map<QUuid, int> ahead;
    const QJsonObject stored = storedAhead(db);
    for (auto it = stored.begin(); it != stored.end(); ++it) {
        const QUuid writer = QUuid::fromString(it.key());
        if (!writer.isNull() && it.value().toInt() > 0)
            ahead[writer] = it.value().toInt();
    }
    return ahead;
}

bool noteWriterClock(SqliteDatabase& db, const QUuid& writer, qint64 aheadMilliseconds) {
    QJsonObject stored = storedAhead(db);
    const QString key = writer.toString(QUuid::WithoutBraces);
    const int minutes = int(std::min<qint64>(aheadMilliseconds / 60000, 1 << 30));
    if (aheadMilliseconds == 0) {
        if (!stored.contains(key))
            return true;
        stored.remove(key); // its clock is right again
    } else {
        if (!stored.contains(key)) {
            Log::write(QStringLiteral("Cloud exchange: the clock of the diary writing as %1 runs "
                                      "about %2 minutes ahead of this machine's; its changes do "
                                      "not move this machine's clock.")
                           .arg(key)
                           .arg(minutes));
        }
        stored.insert(key, std::max(minutes, 1));
    }
    SqliteStatement s(db.handle(),
                      "INSERT OR REPLACE INTO cloudState (name, value) VALUES ('clockAhead', ?)");
    s.bindUtf8(1, QJsonDocument(stored).toJson(QJsonDocument::Compact));
    return s.step() == SQLITE_DONE;
}

std::map<QString, quint64> liftedStamps(SqliteDatabase& db) {
    std::map<QString, quint64> lifted;
    SqliteStatement s(db.handle(), "SELECT value FROM cloudState WHERE name = 'lifted'");
    if (s.step() == SQLITE_ROW) {
        const QJsonObject stored = QJsonDocument::fromJson(s.columnUtf8(0)).object();
        for (auto it = stored.begin(); it != stored.end(); ++it)
            lifted[it.key()] = it.value().toString().toULongLong();
    }
    return lifted;
}

bool storeLiftedStamps(SqliteDatabase& db, const std::map<QString, quint64>& lifted) {
    QJsonObject stored;
    for (const auto& [uuid, clock] : lifted)
        stored.insert(uuid, QString::number(clock)); // 64 bits: a JSON number would round it
    SqliteStatement s(db.handle(),
                      "INSERT OR REPLACE INTO cloudState (name, value) VALUES ('lifted', ?)");
    s.bindUtf8(1, QJsonDocument(stored).toJson(QJsonDocument::Compact));
    return s.step() == SQLITE_DONE;
}

} // namespace quillet::cloud
