#pragma once

#include <QFont>
#include <QString>
#include <optional>

namespace quillet {

// The installed font of a stored name, trying the whole name as a family
// first and then "Family-Style"; a name no installed family has (such as
// "Helvetica") gives the family fontconfig matches for it.
std::optional<QFont> installedFontWithName(const QString& name, double size);

} // namespace quillet
