#pragma once

#include "diary/export/ExportedEntry.h"

namespace quillet {

// The entries as one Markdown file: a heading per day, a smaller one per
// entry with its time, then its text as written.
namespace MarkdownExporter {
QByteArray markdownForEntries(const std::vector<ExportedEntry>& entries);
bool write(const std::vector<ExportedEntry>& entries, const QString& path, QString* error);
} // namespace MarkdownExporter

} // namespace quillet
