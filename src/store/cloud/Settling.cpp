#include "store/cloud/Settling.h"

#include "store/SqliteStatement.h"
#include "store/cloud/ChangeLog.h"
#include "store/cloud/CloudTables.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <algorithm>
#include <limits>
#include <sqlite3.h>
#include <vector>

namespace quillet::cloud {

namespace {

QString idText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces);
}

// Clocks travel as decimal text: a JSON number would round them.
quint64 clockOf(const QJsonValue& value) {
    return value.toString().toULongLong();
}

QJsonObject stateObject(SqliteDatabase& db, const char* name) {
    SqliteStatement s(db.handle(), "SELECT value FROM cloudState WHERE name = ?");
    s.bindText(1, QString::fromLatin1(name));
    return s.step() == SQLITE_ROW ? QJsonDocument::fromJson(s.columnUtf8(0)).object()
                                  : QJsonObject();
}

bool setStateObject(SqliteDatabase& db, const char* name, const QJsonObject& value) {
    SqliteStatement s(db.handle(), "INSERT OR REPLACE INTO cloudState (name, value) VALUES (?, ?)");
    s.bindText(1, QString::fromLatin1(name));
    s.bindUtf8(2, QJsonDocument(value).toJson(QJsonDocument::Compact));
    return s.step() == SQLITE_DONE;
}

quint64 stateClock(SqliteDatabase& db, const char* name) {
    SqliteStatement s(db.handle(), "SELECT value FROM cloudState WHERE name = ?");
    s.bindText(1, QString::fromLatin1(name));
    return s.step() == SQLITE_ROW ? s.columnText(0).toULongLong() : 0;
}

bool retired(const std::optional<QJsonObject>& state) {
    return state && state->value(QStringLiteral("retired")).toBool();
}

} // namespace

KnownStates readKnownStates(const QString& logsFolder, const QString& stateFolder,
                            const QUuid& self) {
    QStringList names = QDir(logsFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : QDir(stateFolder).entryList({QStringLiteral("*.json")}, QDir::Files))
        names << name.chopped(5);
    KnownStates known;
    for (const QString& name : std::as_const(names)) {
        const QUuid writer = QUuid::fromString(name);
        if (writer.isNull() || idText(writer) != name || writer == self || known.count(writer)) {
            continue;
        }
        QFile file(stateFolder + QLatin1Char('/') + name + QStringLiteral(".json"));
        std::optional<QJsonObject> state;
        if (file.open(QIODevice::ReadOnly)) {
            const QJsonObject object = QJsonDocument::fromJson(file.read(1 << 20)).object();
            if (object.value(QStringLiteral("format")).toInt() == 1 &&
                object.value(QStringLiteral("writer")).toString() == name) {
                state = object;
            }
        }
        known.emplace(writer, std::move(state));
    }
    return known;
}

QJsonObject settleMembers(SqliteDatabase& db, const KnownStates& others) {
    // Per other writer, up to where its stamps are applied here: its
    // published clock once its newest claimed log is applied; what was found
    // before until then.
    QJsonObject through = stateObject(db, "throughOf");
    QJsonObject now;
    for (const auto& [writer, state] : others) {
        const QString id = idText(writer);
        quint64 clock = clockOf(through.value(id));
        if (state && state->contains(QStringLiteral("claimed")) &&
            appliedSequence(db, writer) >=
                quint64(state->value(QStringLiteral("claimed")).toInteger())) {
            clock = std::max(clock, clockOf(state->value(QStringLiteral("publishedClock"))));
        }
        now.insert(id, QString::number(clock));
    }
    if (now != through) {
        setStateObject(db, "throughOf", now);
    }
    return QJsonObject{
        {QStringLiteral("claimed"), qint64(stateClock(db, "nextSequence")) - 1},
        {QStringLiteral("publishedClock"), QString::number(stateClock(db, "publishedClock"))},
        {QStringLiteral("through"), now}};
}

std::map<QUuid, quint64> settledClocks(SqliteDatabase& db) {
    std::map<QUuid, quint64> clocks;
    const QJsonObject stored = stateObject(db, "settled");
    for (auto it = stored.begin(); it != stored.end(); ++it) {
        const QUuid writer = QUuid::fromString(it.key());
        if (!writer.isNull())
            clocks[writer] = clockOf(it.value());
    }
    return clocks;
}

bool raiseSettledClocks(SqliteDatabase& db, const std::map<QUuid, quint64>& clocks) {
    std::map<QUuid, quint64> settled = settledClocks(db);
    bool raised = false;
    for (const auto& [writer, clock] : clocks) {
        if (!writer.isNull() && clock > settled[writer]) {
            settled[writer] = clock;
            raised = true;
        }
    }
    if (!raised) {
        return true;
    }
    QJsonObject stored;
    for (const auto& [writer, clock] : settled)
        stored.insert(idText(writer), QString::number(clock));
    return setStateObject(db, "settled", stored);
}

bool settle(SqliteDatabase& db, const QUuid& self, const KnownStates& others,
            const QJsonObject& own) {
    // Settled for a writer: the lowest clock up to which every other diary
    // that still applies logs has applied its stamps.
    std::map<QUuid, quint64> frontier;
    auto lower = [&](const QUuid& writer, quint64 clock) {
        const auto [it, added] = frontier.emplace(writer, clock);
        if (!added)
            it->second = std::min(it->second, clock);
    };
    const QJsonObject ownThrough = own.value(QStringLiteral("through")).toObject();
    for (const auto& [writer, state] : others) {
        lower(writer, clockOf(ownThrough.value(idText(writer))));
    }
    bool anyOther = false;
    for (const auto& [reader, state] : others) {
        if (retired(state)) {
            continue; // it applies nothing any more
        }
        anyOther = true;
        const QJsonObject through =
            state ? state->value(QStringLiteral("through")).toObject() : QJsonObject();
        lower(self, clockOf(through.value(idText(self))));
        for (const auto& [writer, ignored] : others) {
            if (writer != reader)
                lower(writer, clockOf(through.value(idText(writer))));
        }
    }
    if (!anyOther) {
        // Alone: every version of its own is in its logs, and a diary that
        // joins later starts from what the snapshot shows.
        lower(self, clockOf(own.value(QStringLiteral("publishedClock"))));
    }
    // Nothing newer settled: the markers were looked at when it last was.
    const std::map<QUuid, quint64> before = settledClocks(db);
    if (std::all_of(frontier.begin(), frontier.end(), [&](const auto& f) {
            const auto it = before.find(f.first);
            return it != before.end() ? f.second <= it->second : f.second == 0;
        })) {
        return true;
    }
    if (!db.exec("BEGIN IMMEDIATE", nullptr)) {
        return false;
    }
    bool ok = raiseSettledClocks(db, frontier);
    const std::map<QUuid, quint64> settled = settledClocks(db);
    std::vector<std::tuple<QString, qint64, QString>> gone;
    {
        SqliteStatement markers(db.handle(), "SELECT uuid, clock, writer FROM textSuperseded");
        SqliteStatement entry(db.handle(), "SELECT state FROM entryClock WHERE uuid = ?");
        while (ok && markers.step() == SQLITE_ROW) {
            const Stamp version{quint64(markers.columnInt64(1)),
                                QUuid::fromString(markers.columnText(2))};
            const auto it = settled.find(version.writer);
            if (it == settled.end() || version.clock > it->second) {
                continue;
            }
            const QString uuid = markers.columnText(0);
            entry.reset();
            entry.bindText(1, uuid);
            EntryState state;
            if (entry.step() == SQLITE_ROW &&
                decodeEntryState(QByteArray::fromBase64(entry.columnUtf8(0)), &state) &&
                (state.text == version || state.deletionSeen == version)) {
                continue; // still what the entry shows or what its trash saw
            }
            gone.emplace_back(uuid, markers.columnInt64(1), markers.columnText(2));
        }
    }
    SqliteStatement drop(db.handle(),
                         "DELETE FROM textSuperseded WHERE uuid = ? AND clock = ? AND writer = ?");
    for (const auto& [uuid, clock, writer] : gone) {
        drop.reset();
        drop.bindText(1, uuid);
        drop.bindInt64(2, clock);
        drop.bindText(3, writer);
        ok = ok && drop.step() == SQLITE_DONE;
    }
    if (!ok || !db.exec("COMMIT", nullptr)) {
        db.exec("ROLLBACK", nullptr);
        return false;
    }
    return true;
}

} // namespace quillet::cloud
