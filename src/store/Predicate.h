#pragma once

#include "store/EntryKey.h"

#include <QString>
#include <QVariant>
#include <optional>
#include <string>
#include <vector>

namespace quillet {

class ManagedObject;

// A filter parsed from format text such as
//   entryText contains[cd] "caf\"e" AND colorTag = 3
//   monthTag = 201203 AND colorTag = 2
//   uuid = '0F1E...'
// Comparisons (=, ==, !=, contains, beginswith, endswith, each with optional
// [c] case- and [d] diacritic-insensitivity) are joined by AND. String
// literals are quoted with " or ' and take backslash escapes; integers are
// plain decimals.
class Predicate {
public:
    enum class Operator { Equal, NotEqual, Contains, BeginsWith, EndsWith };

    struct Comparison {
        QString key;
        Operator op = Operator::Equal;
        bool caseInsensitive = false;
        bool diacriticInsensitive = false;
        QVariant value;          // QString or qint64
        std::string foldedValue; // the string value folded for [cd] matching
        // Resolved once when parsed, so that evaluating a record looks nothing up.
        std::optional<EntryKey> attribute;
        bool isInteger = false;
        qint64 integer = 0;
    };

    // Parses the text; on failure answers nothing and, when asked, says why.
    static std::optional<Predicate> parse(const QString& format, QString* error = nullptr);
    // "key == value", exact and case-sensitive, with the value bound as it is
    // (a string or an integer): nothing of it is parsed, so quotes and
    // backslashes in it are only characters.
    static Predicate equalTo(const QString& key, const QVariant& value);

    bool evaluate(const ManagedObject& object) const;
    // True when evaluating reads only what every record keeps in memory
    // (numbers, identifiers, folded text), so that several threads may
    // evaluate records at once while nothing writes them.
    bool canEvaluateConcurrently() const;

    const std::vector<Comparison>& comparisons() const { return comparisons_; }
    QString predicateFormat() const { return format_; }
    // The integer a top-level "key = N" clause requires, if there is one.
    std::optional<qint64> requiredInteger(const QString& key) const;
    // The string of a predicate that is only an exact, case-sensitive "key == string".
    std::optional<QString> onlyExactStringEqualityOn(const QString& key) const;
    // True when the predicate is made only of integer equalities on the given keys.
    bool onlyIntegerEqualitiesOn(const QStringList& keys) const;
    // True when every record that passes this predicate also passes wider
    // (the same clauses, a folded search's text containing wider's): a
    // search typed further need only look among wider's matches.
    bool narrows(const Predicate& wider) const;

private:
    QString format_;
    std::vector<Comparison> comparisons_;
};

} // namespace quillet
