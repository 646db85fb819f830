#pragma once

#include <QByteArray>
#include <QString>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace quillet {

// A prepared statement, finalized with the object.
class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool isValid() const { return stmt_ != nullptr; }

    // Binding a null QString or QByteArray binds SQL NULL; an empty one binds ''.
    bool bindText(int index, const QString& text);
    bool bindUtf8(int index, const QByteArray& utf8);
    bool bindUtf8(int index, std::string_view utf8);
    bool bindInt64(int index, qint64 value);
    bool bindDouble(int index, double value);
    bool bindNull(int index);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    // The same step, told in words to code that does not speak SQLite's codes.
    enum class Step { Row, Done, Error };
    Step advance();
    bool reset();

    bool isNull(int column) const;
    qint64 columnInt64(int column) const;
    int columnInt(int column) const; // SQLite's 32-bit reading: the low 32 bits of the integer
    double columnDouble(int column) const;
    QString columnText(int column) const;    // null for SQL NULL
    QByteArray columnUtf8(int column) const; // null for SQL NULL
    std::string_view columnUtf8View(int column) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
};

} // namespace quillet
