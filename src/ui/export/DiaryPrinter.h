#pragma once

#include "diary/export/ExportedEntry.h"

#include <memory>

class QPagedPaintDevice;
class QTextDocument;

namespace quillet {

// The entries laid out for paper: a heading per day, each entry's time and
// text, as a PDF file or on a printer.
namespace DiaryPrinter {
std::unique_ptr<QTextDocument> document(const std::vector<ExportedEntry>& entries);
void print(const std::vector<ExportedEntry>& entries, QPagedPaintDevice* device);
bool writePdf(const std::vector<ExportedEntry>& entries, const QString& path, QString* error);
} // namespace DiaryPrinter

// Writes the entries as "markdown", "json" or "pdf"; false with *error otherwise.
bool writeExport(const QString& format, const std::vector<ExportedEntry>& entries,
                 const QString& path, QString* error);

} // namespace quillet
