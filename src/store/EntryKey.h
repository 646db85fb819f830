#pragma once

#include <QString>
#include <optional>

namespace quillet {

// The attributes of the diary's one record type, by the names the rest of the
// diary uses to read and write them.
enum class EntryKey { Uuid, EntryText, ColorTag, MonthTag, TimeStamp };

// A set of attributes as bits, one per key: what a save changed of a record.
inline constexpr unsigned entryKeyBit(EntryKey key) {
    return 1u << unsigned(key);
}
inline constexpr unsigned kAllEntryKeys = (1u << (unsigned(EntryKey::TimeStamp) + 1)) - 1;

inline std::optional<EntryKey> entryKeyFromName(const QString& name) {
    if (name == QLatin1String("uuid"))
        return EntryKey::Uuid;
    if (name == QLatin1String("entryText"))
        return EntryKey::EntryText;
    if (name == QLatin1String("colorTag"))
        return EntryKey::ColorTag;
    if (name == QLatin1String("monthTag"))
        return EntryKey::MonthTag;
    if (name == QLatin1String("timeStamp"))
        return EntryKey::TimeStamp;
    return std::nullopt;
}

inline QString entryKeyName(EntryKey key) {
    switch (key) {
    case EntryKey::Uuid:
        return QStringLiteral("uuid");
    case EntryKey::EntryText:
        return QStringLiteral("entryText");
    case EntryKey::ColorTag:
        return QStringLiteral("colorTag");
    case EntryKey::MonthTag:
        return QStringLiteral("monthTag");
    case EntryKey::TimeStamp:
        return QStringLiteral("timeStamp");
    }
    return {};
}

} // namespace quillet
