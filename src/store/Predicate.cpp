#include "store/Predicate.h"

#include "core/TextFolder.h"
#include "store/ManagedObject.h"

namespace quillet {

namespace {

class Parser {
public:
    explicit Parser(const QString& text) : s_(text) {}

    bool parse(std::vector<Predicate::Comparison>& out, QString& error) {
        skipSpace();
        if (atEnd()) {
            error = QStringLiteral("empty predicate");
            return false;
        }
        while (true) {
            Predicate::Comparison c;
            if (!parseComparison(c, error)) {
                return false;
            }
            c.attribute = entryKeyFromName(c.key);
            c.isInteger = c.value.typeId() == QMetaType::LongLong;
            c.integer = c.isInteger ? c.value.toLongLong() : 0;
            out.push_back(std::move(c));
            skipSpace();
            if (atEnd()) {
                return true;
            }
            if (!parseAnd()) {
                error = QStringLiteral("expected AND at offset %1").arg(pos_);
                return false;
            }
        }
    }

private:
    bool atEnd() const { return pos_ >= s_.size(); }
    QChar peek() const { return atEnd() ? QChar() : s_[pos_]; }
    void skipSpace() {
        while (!atEnd() && s_[pos_].isSpace()) {
            ++pos_;
        }
    }

    bool parseAnd() {
        skipSpace();
        if (s_.mid(pos_, 2) == QLatin1String("&&")) {
            pos_ += 2;
            return true;
        }
        const QString word = s_.mid(pos_, 3);
        if (word.compare(QLatin1String("AND"), Qt::CaseInsensitive) == 0 &&
            (pos_ + 3 >= s_.size() || s_[pos_ + 3].isSpace())) {
            pos_ += 3;
            return true;
        }
        return false;
    }

    QString parseIdentifier() {
        skipSpace();
        const qsizetype start = pos_;
        while (!atEnd() && (s_[pos_].isLetterOrNumber() || s_[pos_] == QLatin1Char('_') ||
                            s_[pos_] == QLatin1Char('.'))) {
            ++pos_;
        }
        return s_.mid(start, pos_ - start);
    }

    bool parseComparison(Predicate::Comparison& c, QString& error) {
        c.key = parseIdentifier();
        if (c.key.isEmpty() || c.key[0].isDigit()) {
            error = QStringLiteral("expected a key at offset %1").arg(pos_);
            return false;
        }
        skipSpace();
        if (!parseOperator(c, error)) {
            return false;
        }
        skipSpace();
        return parseValue(c, error);
    }

    bool parseOperator(Predicate::Comparison& c, QString& error) {
        if (s_.mid(pos_, 2) == QLatin1String("==")) {
            pos_ += 2;
            c.op = Predicate::Operator::Equal;
        } else if (s_.mid(pos_, 2) == QLatin1String("!=") ||
                   s_.mid(pos_, 2) == QLatin1String("<>")) {
            pos_ += 2;
            c.op = Predicate::Operator::NotEqual;
        } else if (peek() == QLatin1Char('=')) {
            pos_ += 1;
            c.op = Predicate::Operator::Equal;
        } else {
            const QString word = parseIdentifier().toLower();
            if (word == QLatin1String("contains")) {
                c.op = Predicate::Operator::Contains;
            } else if (word == QLatin1String("beginswith")) {
                c.op = Predicate::Operator::BeginsWith;
            } else if (word == QLatin1String("endswith")) {
                c.op = Predicate::Operator::EndsWith;
            } else {
                error = QStringLiteral("unknown operator \"%1\"").arg(word);
                return false;
            }
        }
        if (peek() == QLatin1Char('[')) {
            const qsizetype close = s_.indexOf(QLatin1Char(']'), pos_);
            if (close < 0) {
                error = QStringLiteral("unterminated options");
                return false;
            }
            const QString options = s_.mid(pos_ + 1, close - pos_ - 1);
            for (QChar ch : options) {
                if (ch == QLatin1Char('c')) {
                    c.caseInsensitive = true;
                } else if (ch == QLatin1Char('d')) {
                    c.diacriticInsensitive = true;
                } else {
                    error = QStringLiteral("unknown option \"%1\"").arg(ch);
                    return false;
                }
            }
            pos_ = close + 1;
        }
        return true;
    }

    bool parseValue(Predicate::Comparison& c, QString& error) {
        const QChar quote = peek();
        if (quote == QLatin1Char('"') || quote == QLatin1Char('\'')) {
            ++pos_;
            QString value;
            while (true) {
                if (atEnd()) {
                    error = QStringLiteral("unterminated string");
                    return false;
                }
                const QChar ch = s_[pos_++];
                if (ch == quote) {
                    break;
                }
                if (ch == QLatin1Char('\\')) {
                    if (atEnd()) {
                        error = QStringLiteral("unterminated escape");
                        return false;
                    }
                    const QChar next = s_[pos_++];
                    switch (next.unicode()) {
                    case 'n':
                        value += QLatin1Char('\n');
                        break;
                    case 't':
                        value += QLatin1Char('\t');
                        break;
                    case 'r':
                        value += QLatin1Char('\r');
                        break;
                    default:
                        value += next;
                        break; // \\ \" \' and anything else stand for themselves
                    }
                    continue;
                }
                value += ch;
            }
            c.value = value;
            if (c.caseInsensitive || c.diacriticInsensitive) {
                c.foldedValue = TextFolder::fold(value);
            }
            return true;
        }
        const qsizetype start = pos_;
        if (peek() == QLatin1Char('-') || peek() == QLatin1Char('+')) {
            ++pos_;
        }
        while (!atEnd() && s_[pos_].isDigit()) {
            ++pos_;
        }
        bool ok = false;
        const qint64 number = s_.mid(start, pos_ - start).toLongLong(&ok);
        if (!ok) {
            error = QStringLiteral("expected a value at offset %1").arg(start);
            return false;
        }
        c.value = number;
        return true;
    }

    const QString& s_;
    qsizetype pos_ = 0;
};

bool compareStrings(const Predicate::Comparison& c, const QString& actual,
                    std::optional<std::string_view> foldedActual) {
    const QString expected = c.value.toString();
    const bool folded = c.caseInsensitive || c.diacriticInsensitive;
    if (folded && (c.diacriticInsensitive || c.op != Predicate::Operator::Equal)) {
        const std::string own = foldedActual ? std::string() : TextFolder::fold(actual);
        const std::string_view hay = foldedActual ? *foldedActual : std::string_view(own);
        const std::string_view needle = c.foldedValue;
        switch (c.op) {
        case Predicate::Operator::Equal:
            return hay == needle;
        case Predicate::Operator::NotEqual:
            return hay != needle;
        case Predicate::Operator::Contains:
            return TextFolder::contains(hay, needle);
        case Predicate::Operator::BeginsWith:
            return hay.starts_with(needle);
        case Predicate::Operator::EndsWith:
            return hay.ends_with(needle);
        }
        return false;
    }
    const Qt::CaseSensitivity cs = c.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    switch (c.op) {
    case Predicate::Operator::Equal:
        return actual.compare(expected, cs) == 0;
    case Predicate::Operator::NotEqual:
        return actual.compare(expected, cs) != 0;
    case Predicate::Operator::Contains:
        return actual.contains(expected, cs);
    case Predicate::Operator::BeginsWith:
        return actual.startsWith(expected, cs);
    case Predicate::Operator::EndsWith:
        return actual.endsWith(expected, cs);
    }
    return false;
}

bool isFoldedTextSearch(const Predicate::Comparison& c) {
    return c.attribute == EntryKey::EntryText && !c.isInteger &&
           c.op == Predicate::Operator::Contains && (c.caseInsensitive || c.diacriticInsensitive);
}

bool evaluateComparison(const Predicate::Comparison& c, const ManagedObject& object) {
    const std::optional<EntryKey> key = c.attribute;
    if (!key) {
        return false;
    }
    if (c.isInteger) {
        qint64 actual = 0;
        switch (*key) {
        case EntryKey::ColorTag:
            actual = object.colorTag();
            break;
        case EntryKey::MonthTag:
            actual = object.monthTag();
            break;
        case EntryKey::TimeStamp:
            actual = qint64(object.timeStampSeconds());
            break;
        default:
            return false; // a string attribute never equals a number
        }
        const qint64 expected = c.integer;
        switch (c.op) {
        case Predicate::Operator::Equal:
            return actual == expected;
        case Predicate::Operator::NotEqual:
            return actual != expected;
        default:
            return false;
        }
    }
    switch (*key) {
    case EntryKey::EntryText: {
        const bool folded = c.caseInsensitive || c.diacriticInsensitive;
        if (folded && c.op == Predicate::Operator::Contains) {
            // The hot path of search: the record keeps its text folded already.
            return TextFolder::contains(object.foldedText(), c.foldedValue);
        }
        return compareStrings(c, object.entryText(),
                              folded ? std::optional(object.foldedText()) : std::nullopt);
    }
    case EntryKey::Uuid: {
        const QString uuid = object.uuid();
        if (uuid.isNull()) {
            return c.op == Predicate::Operator::NotEqual;
        }
        return compareStrings(c, uuid, std::nullopt);
    }
    default:
        return false;
    }
}

} // namespace

std::optional<Predicate> Predicate::parse(const QString& format, QString* error) {
    Predicate p;
    p.format_ = format;
    QString why;
    Parser parser(format);
    if (!parser.parse(p.comparisons_, why)) {
        if (error) {
            *error = why;
        }
        return std::nullopt;
    }
    return p;
}

Predicate Predicate::equalTo(const QString& key, const QVariant& value) {
    Predicate p;
    Comparison c;
    c.key = key;
    c.op = Operator::Equal;
    c.attribute = entryKeyFromName(key);
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        c.value = value.toLongLong();
        c.isInteger = true;
        c.integer = c.value.toLongLong();
        p.format_ = QStringLiteral("%1 == %2").arg(key).arg(c.integer);
        break;
    default: {
        c.value = value.toString();
        // Only for reading (a log, a debugger): written so that parsing it would give the same
        // value.
        QString quoted = c.value.toString();
        quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
        quoted.replace(QLatin1Char('"'), QLatin1String("\\\""));
        p.format_ = QStringLiteral("%1 == \"%2\"").arg(key, quoted);
        break;
    }
    }
    p.comparisons_.push_back(std::move(c));
    return p;
}

bool Predicate::canEvaluateConcurrently() const {
    for (const Comparison& c : comparisons_) {
        if (c.attribute == EntryKey::EntryText && !c.isInteger && !isFoldedTextSearch(c)) {
            return false; // compares the text as written, which a record may have to load
        }
    }
    return true;
}

bool Predicate::evaluate(const ManagedObject& object) const {
    for (const Comparison& c : comparisons_) {
        if (!evaluateComparison(c, object)) {
            return false;
        }
    }
    return true;
}

std::optional<qint64> Predicate::requiredInteger(const QString& key) const {
    for (const Comparison& c : comparisons_) {
        if (c.key == key && c.op == Operator::Equal && c.value.typeId() == QMetaType::LongLong) {
            return c.value.toLongLong();
        }
    }
    return std::nullopt;
}

std::optional<QString> Predicate::onlyExactStringEqualityOn(const QString& key) const {
    if (comparisons_.size() != 1) {
        return std::nullopt;
    }
    const Comparison& c = comparisons_.front();
    if (c.key != key || c.op != Operator::Equal || c.isInteger || c.caseInsensitive ||
        c.diacriticInsensitive || c.value.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return c.value.toString();
}

bool Predicate::onlyIntegerEqualitiesOn(const QStringList& keys) const {
    for (const Comparison& c : comparisons_) {
        if (!keys.contains(c.key) || c.op != Operator::Equal ||
            c.value.typeId() != QMetaType::LongLong) {
            return false;
        }
    }
    return true;
}

bool Predicate::narrows(const Predicate& wider) const {
    if (comparisons_.size() != wider.comparisons_.size()) {
        return false;
    }
    for (std::size_t i = 0; i < comparisons_.size(); ++i) {
        const Comparison& a = comparisons_[i];
        const Comparison& b = wider.comparisons_[i];
        if (a.attribute != b.attribute || !a.attribute || a.op != b.op ||
            a.isInteger != b.isInteger || a.caseInsensitive != b.caseInsensitive ||
            a.diacriticInsensitive != b.diacriticInsensitive) {
            return false;
        }
        if (a.isInteger) {
            if (a.integer != b.integer) {
                return false;
            }
        } else if (isFoldedTextSearch(a)) {
            // Both are byte searches of the folded text: a text holding a's
            // folded needle holds every part of it.
            if (!TextFolder::contains(a.foldedValue, b.foldedValue)) {
                return false;
            }
        } else if (a.value != b.value) {
            return false;
        }
    }
    return true;
}

} // namespace quillet
