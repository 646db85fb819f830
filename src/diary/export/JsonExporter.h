#pragma once

#include "diary/export/ExportedEntry.h"

#include <QLatin1String>

namespace quillet {

// The entries as JSON that this diary reads back (docs/json-export-format.md):
// {"format": "quillet-diary", "version": 1, "entries": [{"uuid", "date",
// "colorTag", "text"}, ...]}, the date with its UTC offset.
namespace JsonExporter {
inline constexpr QLatin1String kFormat("quillet-diary");
inline constexpr int kVersion = 1;
QByteArray jsonForEntries(const std::vector<ExportedEntry>& entries);
bool write(const std::vector<ExportedEntry>& entries, const QString& path, QString* error);
} // namespace JsonExporter

} // namespace quillet
