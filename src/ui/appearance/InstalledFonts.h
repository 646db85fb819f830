#pragma once

#include <QFont>
#include <QString>
#include <optional>

namespace quillet {

// The installed font of a stored name, trying the whole name as a family
// first and then "Family-Style"; none when no installed font has it.
std::optional<QFont> installedFontWithName(const QString& name, double size);

} // namespace quillet
