#include "store/SqliteStatement.h"

#include <sqlite3.h>

namespace quillet {

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(stmt_);
}

bool SqliteStatement::bindText(int index, const QString& text) {
    if (text.isNull()) {
        return bindNull(index);
    }
    return bindUtf8(index, text.toUtf8());
}

bool SqliteStatement::bindUtf8(int index, const QByteArray& utf8) {
    if (utf8.isNull()) {
        return bindNull(index);
    }
    return bindUtf8(index, std::string_view(utf8.constData(), size_t(utf8.size())));
}

bool SqliteStatement::bindUtf8(int index, std::string_view utf8) {
    // SQLite binds NULL when the data pointer is null, even with size 0: an
    // empty text must still arrive as ''.
    static const char empty[] = "";
    const char* data = utf8.data() ? utf8.data() : empty;
    return sqlite3_bind_text64(stmt_, index, data, utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8) ==
           SQLITE_OK;
}

bool SqliteStatement::bindInt64(int index, qint64 value) {
    return sqlite3_bind_int64(stmt_, index, value) == SQLITE_OK;
}

bool SqliteStatement::bindDouble(int index, double value) {
    return sqlite3_bind_double(stmt_, index, value) == SQLITE_OK;
}

bool SqliteStatement::bindNull(int index) {
    return sqlite3_bind_null(stmt_, index) == SQLITE_OK;
}

int SqliteStatement::step() {
    return sqlite3_step(stmt_);
}

SqliteStatement::Step SqliteStatement::advance() {
    switch (step()) {
    case SQLITE_ROW:
        return Step::Row;
    case SQLITE_DONE:
        return Step::Done;
    default:
        return Step::Error;
    }
}

bool SqliteStatement::reset() {
    sqlite3_clear_bindings(stmt_);
    return sqlite3_reset(stmt_) == SQLITE_OK;
}

bool SqliteStatement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

qint64 SqliteStatement::columnInt64(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

int SqliteStatement::columnInt(int column) const {
    return sqlite3_column_int(stmt_, column);
}

double SqliteStatement::columnDouble(int column) const {
    return sqlite3_column_double(stmt_, column);
}

QString SqliteStatement::columnText(int column) const {
    const std::string_view v = columnUtf8View(column);
    if (v.data() == nullptr) {
        return QString();
    }
    return QString::fromUtf8(v.data(), qsizetype(v.size()));
}

QByteArray SqliteStatement::columnUtf8(int column) const {
    const std::string_view v = columnUtf8View(column);
    if (v.data() == nullptr) {
        return QByteArray();
    }
    return QByteArray(v.data(), qsizetype(v.size()));
}

std::string_view SqliteStatement::columnUtf8View(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (text == nullptr) {
        return {};
    }
    return std::string_view(text, size_t(sqlite3_column_bytes(stmt_, column)));
}

} // namespace quillet
