#include "store/EntryUuid.h"

#include <QHashFunctions>

namespace quillet {

namespace {

// Where the dashes of the text form stand.
bool isDash(int i) {
    return i == 8 || i == 13 || i == 18 || i == 23;
}

int hexValue(char16_t c, bool* upper, bool* lower) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F') {
        *upper = true;
        return c - u'A' + 10;
    }
    if (c >= u'a' && c <= u'f') {
        *lower = true;
        return c - u'a' + 10;
    }
    return -1;
}

} // namespace

void EntryUuid::clear() {
    if (kind_ == Kind::Other) {
        delete other();
    }
    kind_ = Kind::Null;
    bytes_ = {};
}

void EntryUuid::assign(const QString& text) {
    clear();
    if (text.isNull()) {
        kind_ = Kind::Null;
        return;
    }
    bool upper = false;
    bool lower = false;
    bool packed = text.size() == 36;
    for (int i = 0, n = 0; packed && i < 36; ++i) {
        const char16_t c = text.at(i).unicode();
        if (isDash(i)) {
            packed = c == u'-';
            continue;
        }
        const int v = hexValue(c, &upper, &lower);
        packed = v >= 0;
        if (packed) {
            bytes_[std::size_t(n / 2)] |= (n % 2 == 0) ? (v << 4) : v;
            ++n;
        }
    }
    // Mixed case would not come back letter for letter.
    if (packed && !(upper && lower)) {
        kind_ = lower ? Kind::Lower : Kind::Upper;
        return;
    }
    bytes_ = {};
    kind_ = Kind::Other;
    setOther(new QString(text));
}

QString EntryUuid::toString() const {
    switch (kind_) {
    case Kind::Null:
        return QString();
    case Kind::Other:
        return *other();
    case Kind::Upper:
    case Kind::Lower:
        break;
    }
    const char* digits = kind_ == Kind::Upper ? "0123456789ABCDEF" : "0123456789abcdef";
    QString text(36, Qt::Uninitialized);
    QChar* out = text.data();
    for (int i = 0, n = 0; i < 36; ++i) {
        if (isDash(i)) {
            out[i] = u'-';
            continue;
        }
        const unsigned char b = bytes_[std::size_t(n / 2)];
        out[i] = QLatin1Char(digits[(n % 2 == 0) ? (b >> 4) : (b & 0xF)]);
        ++n;
    }
    return text;
}

bool EntryUuid::operator==(const EntryUuid& that) const {
    if (kind_ != that.kind_) {
        return false;
    }
    if (kind_ == Kind::Other) {
        return *other() == *that.other();
    }
    return bytes_ == that.bytes_;
}

std::size_t EntryUuid::hash() const {
    if (kind_ == Kind::Other) {
        return qHash(*other());
    }
    std::size_t h = std::size_t(kind_);
    for (unsigned char b : bytes_) {
        h = h * 131 + b;
    }
    return h;
}

} // namespace quillet
