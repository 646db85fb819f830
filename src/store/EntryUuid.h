#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <memory>

namespace quillet {

// A record's identifier as the record keeps it. Nearly every identifier is a
// UUID in its 36-character text form; those are held as their 16 bytes (a
// diary of 100,000 entries saves some 10 MB of strings), anything else as the
// text itself. Reads and writes as a QString, letter for letter.
class EntryUuid {
public:
    EntryUuid() = default;
    EntryUuid(const QString& text) { assign(text); } // NOLINT: stands in for a QString
    EntryUuid(const EntryUuid& other)
        : bytes_(other.bytes_),
          other_(other.other_ ? std::make_unique<QString>(*other.other_) : nullptr),
          kind_(other.kind_) {}
    EntryUuid(EntryUuid&&) noexcept = default;
    EntryUuid& operator=(const EntryUuid& other) {
        if (this != &other) {
            *this = EntryUuid(other);
        }
        return *this;
    }
    EntryUuid& operator=(EntryUuid&&) noexcept = default;
    EntryUuid& operator=(const QString& text) {
        assign(text);
        return *this;
    }

    bool isNull() const { return kind_ == Kind::Null; }
    QString toString() const;
    operator QString() const { return toString(); } // NOLINT: stands in for a QString

    // Compares without making the text.
    bool operator==(const EntryUuid& other) const;
    friend bool operator==(const EntryUuid& a, const QString& b) { return a == EntryUuid(b); }
    // Equal identifiers hash alike, without making the text.
    std::size_t hash() const;

private:
    enum class Kind : unsigned char { Null, Upper, Lower, Other };
    void assign(const QString& text);

    std::array<unsigned char, 16> bytes_{};
    std::unique_ptr<QString> other_; // only for Kind::Other
    Kind kind_ = Kind::Null;
};

struct EntryUuidHash {
    std::size_t operator()(const EntryUuid& uuid) const { return uuid.hash(); }
};

} // namespace quillet
