// How an entry row is read from and bound to SQLite statements.
#include "store/EntryRows.h"

#include "store/EntryKey.h"

#include <QByteArrayList>
#include <sqlite3.h>

namespace quillet::detail {

const char* const kRowColumns =
    "SELECT key, uuid, colorTag, monthTag, timeStamp, entryText IS NULL, foldedText FROM entry";

namespace {

void readRow(const SqliteStatement& s, StoreRow* row, FoldedArena* arena) {
    row->key = s.columnInt64(0);
    EntryValues& v = row->values;
    v.uuid = s.columnText(1);
    v.colorTag = int(s.columnInt64(2));
    v.monthTag = int(s.columnInt64(3));
    v.hasTimeStamp = !s.isNull(4);
    v.timeStamp = s.columnDouble(4);
    v.textFaulted = s.columnInt64(5) == 0;
    const std::string_view folded = s.columnUtf8View(6);
    v.foldedText = arena ? arena->copy(folded) : FoldedText(folded);
}

} // namespace

bool readRows(SqliteDatabase& db, SqliteStatement& s, const std::function<void(StoreRow&&)>& take,
              qint64* identified, Error* error, FoldedArena* arena) {
    if (!s.isValid()) {
        if (error) {
            *error = db.lastError(QStringLiteral("read"));
        }
        return false;
    }
    int rc;
    while ((rc = s.step()) == SQLITE_ROW) {
        StoreRow row;
        readRow(s, &row, arena);
        if (!row.values.uuid.isNull()) {
            ++*identified;
        }
        take(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        if (error) {
            *error = db.lastError(QStringLiteral("read"));
            error->code = StoreCorruptError;
        }
        return false;
    }
    return true;
}

void bindValues(SqliteStatement& s, const EntryValues& v) {
    s.bindText(1, v.uuid);
    s.bindUtf8(2, v.entryText);
    s.bindInt64(3, v.colorTag);
    s.bindInt64(4, v.monthTag);
    if (v.hasTimeStamp) {
        s.bindDouble(5, v.timeStamp);
    } else {
        s.bindNull(5);
    }
    s.bindUtf8(6, v.foldedText.view());
}

unsigned columnsWritten(unsigned changedKeys) {
    const unsigned moment = entryKeyBit(EntryKey::MonthTag) | entryKeyBit(EntryKey::TimeStamp);
    return changedKeys & moment ? changedKeys | moment : changedKeys;
}

QByteArray updateStatement(unsigned columns) {
    QByteArrayList set;
    if (columns & entryKeyBit(EntryKey::Uuid))
        set << "uuid = ?1";
    if (columns & entryKeyBit(EntryKey::EntryText))
        set << "entryText = ?2"
            << "foldedText = ?6";
    if (columns & entryKeyBit(EntryKey::ColorTag))
        set << "colorTag = ?3";
    if (columns & entryKeyBit(EntryKey::MonthTag))
        set << "monthTag = ?4";
    if (columns & entryKeyBit(EntryKey::TimeStamp))
        set << "timeStamp = ?5";
    return "UPDATE entry SET " + set.join(", ") + " WHERE key = ?7";
}

void bindColumns(SqliteStatement& s, const EntryValues& v, unsigned columns) {
    if (columns == kAllEntryKeys) {
        bindValues(s, v);
        return;
    }
    if (columns & entryKeyBit(EntryKey::Uuid))
        s.bindText(1, v.uuid);
    if (columns & entryKeyBit(EntryKey::EntryText)) {
        s.bindUtf8(2, v.entryText);
        s.bindUtf8(6, v.foldedText.view());
    }
    if (columns & entryKeyBit(EntryKey::ColorTag))
        s.bindInt64(3, v.colorTag);
    if (columns & entryKeyBit(EntryKey::MonthTag))
        s.bindInt64(4, v.monthTag);
    if (columns & entryKeyBit(EntryKey::TimeStamp)) {
        v.hasTimeStamp ? s.bindDouble(5, v.timeStamp) : s.bindNull(5);
    }
}

void readValues(const SqliteStatement& s, int first, EntryValues* v) {
    v->uuid = s.columnText(first);
    v->entryText = s.columnUtf8(first + 1);
    v->colorTag = int(s.columnInt64(first + 2));
    v->monthTag = int(s.columnInt64(first + 3));
    v->hasTimeStamp = !s.isNull(first + 4);
    v->timeStamp = s.columnDouble(first + 4);
    const std::string_view folded = s.columnUtf8View(first + 5);
    v->foldedText.assign(folded);
}

} // namespace quillet::detail
