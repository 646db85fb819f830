#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <optional>

namespace quillet {

class ManagedObject;

// Helpers shared by several transformers: reading the date or the entry a
// bound value stands for, and rendering a date through Utility.
class TransformerSupport {
public:
    TransformerSupport() = delete;

    static std::optional<QDateTime> dateOf(const QVariant& value);
    static QVariant rendered(const QVariant& value, const QString& pattern);
    static const ManagedObject* entryOf(const QVariant& value);
};

} // namespace quillet
