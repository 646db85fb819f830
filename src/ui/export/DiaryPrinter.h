#pragma once

#include "diary/export/ExportedEntry.h"

#include <memory>

class QPagedPaintDevice;
class QTextDocument;

namespace quillet {

class Utility;

// The entries laid out for paper: a heading per day, each entry's time and
// text, as a PDF file or on a printer. The days are written as utility
// writes dates, in the user's locale.
namespace DiaryPrinter {
std::unique_ptr<QTextDocument> document(const std::vector<ExportedEntry>& entries,
                                        Utility* utility);
void print(const std::vector<ExportedEntry>& entries, QPagedPaintDevice* device, Utility* utility);
bool writePdf(const std::vector<ExportedEntry>& entries, const QString& path, Utility* utility,
              QString* error);
} // namespace DiaryPrinter

// Writes the entries as "markdown", "json" or "pdf"; false with *error otherwise.
bool writeExport(const QString& format, const std::vector<ExportedEntry>& entries,
                 const QString& path, Utility* utility, QString* error);

} // namespace quillet
