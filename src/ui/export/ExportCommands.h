#pragma once

#include <vector>

class QWidget;

namespace quillet {

class ManagedObject;

// File > Export… and File > Print… of the listed entries: a save dialog with
// the format (Markdown, JSON, PDF) or the print dialog; a failure is said
// in a message box.
namespace ExportCommands {
void exportEntries(QWidget* parent, const std::vector<ManagedObject*>& entries);
void printEntries(QWidget* parent, const std::vector<ManagedObject*>& entries);
} // namespace ExportCommands

} // namespace quillet
