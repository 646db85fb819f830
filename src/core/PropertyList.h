#pragma once

#include <QString>
#include <QVariantMap>
#include <optional>

namespace quillet {

// Property-list files in their XML form, for dictionaries of strings,
// numbers and booleans.
class PropertyList {
public:
    // Null when the file is missing, unreadable, damaged or not a dictionary.
    static std::optional<QVariantMap> readDictionary(const QString& path);
    // Written to a temporary file that then replaces the target.
    static bool writeDictionary(const QVariantMap& dictionary, const QString& path);
};

} // namespace quillet
