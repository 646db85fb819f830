#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <cstring>
#include <utility>

namespace quillet {

// A record's identifier as the record keeps it. Nearly every identifier is a
// UUID in its 36-character text form; those are held as their 16 bytes (a
// diary of 100,000 entries saves some 10 MB of strings), anything else as the
// text itself, whose place the 16 bytes then hold. 17 bytes in all, aligned
// to one, so that a record packs it beside its smaller fields. Reads and
// writes as a QString, letter for letter.
class EntryUuid {
public:
    EntryUuid() = default;
    EntryUuid(const QString& text) { assign(text); } // NOLINT: stands in for a QString
    EntryUuid(const EntryUuid& that) : bytes_(that.bytes_), kind_(that.kind_) {
        if (kind_ == Kind::Other) {
            setOther(new QString(*that.other()));
        }
    }
    EntryUuid(EntryUuid&& that) noexcept : bytes_(that.bytes_), kind_(that.kind_) {
        that.kind_ = Kind::Null;
    }
    EntryUuid& operator=(const EntryUuid& that) {
        if (this != &that) {
            EntryUuid copy(that);
            swap(copy);
        }
        return *this;
    }
    EntryUuid& operator=(EntryUuid&& that) noexcept {
        swap(that);
        return *this;
    }
    EntryUuid& operator=(const QString& text) {
        assign(text);
        return *this;
    }
    ~EntryUuid() { clear(); }

    bool isNull() const { return kind_ == Kind::Null; }
    QString toString() const;
    operator QString() const { return toString(); } // NOLINT: stands in for a QString

    // Compares without making the text.
    bool operator==(const EntryUuid& that) const;
    friend bool operator==(const EntryUuid& a, const QString& b) { return a == EntryUuid(b); }
    // Equal identifiers hash alike, without making the text.
    std::size_t hash() const;

private:
    enum class Kind : unsigned char { Null, Upper, Lower, Other };
    void assign(const QString& text);
    void clear();
    void swap(EntryUuid& that) noexcept {
        std::swap(bytes_, that.bytes_);
        std::swap(kind_, that.kind_);
    }
    // Kind::Other: the text, owned, its address in the first bytes.
    QString* other() const {
        QString* text;
        std::memcpy(&text, bytes_.data(), sizeof text);
        return text;
    }
    void setOther(QString* text) { std::memcpy(bytes_.data(), &text, sizeof text); }

    std::array<unsigned char, 16> bytes_{};
    Kind kind_ = Kind::Null;
};

struct EntryUuidHash {
    std::size_t operator()(const EntryUuid& uuid) const { return uuid.hash(); }
};

} // namespace quillet
