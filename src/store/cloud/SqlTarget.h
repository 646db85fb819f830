#pragma once

// The merge's view of one SQLite connection: entries read and written by
// uuid, their stamps, and which row keys a round changed.

#include "core/TextFolder.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"
#include "store/cloud/CloudTablesDetail.h"
#include "store/cloud/Merge.h"
#include "store/cloud/Settling.h"

#include <map>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace quillet::cloud::detail {

// The entries and stamps of one connection, seen as the merge sees them.
class SqlTarget : public MergeTarget {
public:
    // What happened to row keys, in order; told to the round's changes once
    // the log has committed.
    enum class RowEvent { Inserted, Updated, Deleted };
    using RowEvents = std::vector<std::pair<RowEvent, qint64>>;

    explicit SqlTarget(SqliteDatabase& db, RowEvents* events = nullptr)
        : db_(db), events_(events) {}
    bool failed = false;

    // Prepared once per target: a save or a log may touch thousands of entries.
    SqliteStatement& prepared(const char* sql) {
        std::unique_ptr<SqliteStatement>& s = statements_[sql];
        if (!s) {
            s = std::make_unique<SqliteStatement>(db_.handle(), sql);
        } else {
            s->reset();
        }
        return *s;
    }
    // Before a commit: no statement of ours is left in the middle of its rows.
    void finish() {
        for (auto& [sql, s] : statements_)
            s->reset();
    }
    bool enqueue(const QString& uuid) {
        SqliteStatement& s = prepared("INSERT OR IGNORE INTO outbox (uuid) VALUES (?)");
        s.bindText(1, uuid);
        return s.step() == SQLITE_DONE;
    }

    std::optional<qint64> keyOf(const QString& uuid) {
        SqliteStatement& s = prepared("SELECT key FROM entry WHERE uuid = ? ORDER BY key LIMIT 1");
        s.bindText(1, uuid);
        if (s.step() == SQLITE_ROW)
            return s.columnInt64(0);
        return std::nullopt;
    }

    std::optional<EntryState> load(const QString& uuid) override {
        std::optional<EntryState> state;
        {
            SqliteStatement& s = prepared("SELECT state FROM entryClock WHERE uuid = ?");
            s.bindText(1, uuid);
            EntryState e;
            if (s.step() == SQLITE_ROW &&
                decodeEntryState(QByteArray::fromBase64(s.columnUtf8(0)), &e)) {
                state = std::move(e);
            }
        }
        SqliteStatement& s = prepared("SELECT entryText, colorTag, monthTag, timeStamp, key "
                                      "FROM entry WHERE uuid = ? ORDER BY key LIMIT 1");
        s.bindText(1, uuid);
        loadedRow_.reset();
        if (s.step() == SQLITE_ROW) {
            loadedRow_ = s.columnInt64(4);
            // The row holds the values; the stamps (if any) come from entryClock.
            EntryState e = state.value_or(EntryState{});
            e.uuid = uuid;
            e.hasText = !s.isNull(0);
            e.entryText = s.columnUtf8(0);
            e.colorTag = s.columnInt(1);
            e.monthTag = s.columnInt(2);
            e.hasTimeStamp = !s.isNull(3);
            e.timeStamp = s.columnDouble(3);
            if (!state) {
                e.textTimeStamp = e.timeStamp;
                e.textMonthTag = e.monthTag;
                e.textColorTag = e.colorTag;
            }
            state = std::move(e);
        }
        return state;
    }

    // The row the last load read its values from (none: the entry has no row).
    std::optional<qint64> loadedRow() const { return loadedRow_; }

    // A row's values as they are now, by its key.
    std::optional<LocalValues> rowValues(qint64 key) {
        SqliteStatement& s =
            prepared("SELECT entryText, colorTag, monthTag, timeStamp FROM entry WHERE key = ?");
        s.bindInt64(1, key);
        if (s.step() != SQLITE_ROW)
            return std::nullopt;
        LocalValues l;
        l.hasText = !s.isNull(0);
        l.entryText = s.columnUtf8(0);
        l.colorTag = s.columnInt(1);
        l.monthTag = s.columnInt(2);
        l.hasTimeStamp = !s.isNull(3);
        l.timeStamp = l.hasTimeStamp ? s.columnDouble(3) : 0;
        return l;
    }

    // The stamps only; a visible entry's values live in its row.
    bool storeStamps(const EntryState& state, bool visible) {
        EntryState kept = state;
        if (visible) {
            kept.entryText.clear();
        }
        SqliteStatement& s =
            prepared("INSERT OR REPLACE INTO entryClock (uuid, state) VALUES (?, ?)");
        s.bindText(1, state.uuid);
        s.bindUtf8(2, encodeEntryState(kept).toBase64());
        return s.step() == SQLITE_DONE;
    }

    void store(const EntryState& state) override {
        const bool visible = isVisible(state);
        const std::optional<qint64> key = keyOf(state.uuid);
        if (visible) {
            const QByteArray text = state.hasText ? state.entryText : QByteArray();
            const std::string folded = TextFolder::fold(QString::fromUtf8(text));
            SqliteStatement s(
                db_.handle(),
                key ? "UPDATE entry SET entryText = ?, colorTag = ?, monthTag = ?, timeStamp = ?, "
                      "foldedText = ?, uuid = ? WHERE key = ?"
                    : "INSERT INTO entry (entryText, colorTag, monthTag, timeStamp, foldedText, "
                      "uuid) "
                      "VALUES (?, ?, ?, ?, ?, ?)");
            s.bindUtf8(1, state.hasText ? (text.isNull() ? QByteArray("") : text) : QByteArray());
            s.bindInt64(2, state.colorTag);
            s.bindInt64(3, state.monthTag);
            state.hasTimeStamp ? s.bindDouble(4, state.timeStamp) : s.bindNull(4);
            s.bindUtf8(5, std::string_view(folded));
            s.bindText(6, state.uuid);
            if (key)
                s.bindInt64(7, *key);
            failed |= s.step() != SQLITE_DONE;
            if (events_) {
                events_->emplace_back(key ? RowEvent::Updated : RowEvent::Inserted,
                                      key ? *key : sqlite3_last_insert_rowid(db_.handle()));
            }
        } else if (key) {
            dropRows(state.uuid);
        }
        failed |= !storeStamps(state, visible);
    }

    void dropRows(const QString& uuid) {
        SqliteStatement& keys = prepared("SELECT key FROM entry WHERE uuid = ?");
        keys.bindText(1, uuid);
        while (keys.step() == SQLITE_ROW) {
            if (events_)
                events_->emplace_back(RowEvent::Deleted, keys.columnInt64(0));
        }
        SqliteStatement& s = prepared("DELETE FROM entry WHERE uuid = ?");
        s.bindText(1, uuid);
        failed |= s.step() != SQLITE_DONE;
    }

    void remove(const QString& uuid) override {
        dropRows(uuid);
        SqliteStatement& s = prepared("DELETE FROM entryClock WHERE uuid = ?");
        s.bindText(1, uuid);
        failed |= s.step() != SQLITE_DONE;
    }

    bool isSuperseded(const QString& uuid, const Stamp& version) override {
        SqliteStatement s(
            db_.handle(),
            "SELECT 1 FROM textSuperseded WHERE uuid = ? AND clock = ? AND writer = ?");
        s.bindText(1, uuid);
        s.bindInt64(2, qint64(version.clock));
        s.bindText(3, writerText(version.writer));
        return s.step() == SQLITE_ROW;
    }

    bool isSettled(const Stamp& version) override {
        if (!settled_) {
            settled_ = settledClocks(db_);
        }
        const auto it = settled_->find(version.writer);
        return !version.isNull() && it != settled_->end() && version.clock <= it->second;
    }

    void addSuperseded(const QString& uuid, const Stamp& version) override {
        SqliteStatement s(
            db_.handle(),
            "INSERT OR IGNORE INTO textSuperseded (uuid, clock, writer) VALUES (?, ?, ?)");
        s.bindText(1, uuid);
        s.bindInt64(2, qint64(version.clock));
        s.bindText(3, writerText(version.writer));
        failed |= s.step() != SQLITE_DONE;
    }

private:
    SqliteDatabase& db_;
    RowEvents* events_;
    std::map<const char*, std::unique_ptr<SqliteStatement>> statements_;
    std::optional<qint64> loadedRow_;
    std::optional<std::map<QUuid, quint64>> settled_;
};

} // namespace quillet::cloud::detail
