#pragma once

#include <vector>

class QWidget;

namespace quillet {

class ManagedObject;
class Utility;

// File > Export… and File > Print… of the listed entries: a save dialog with
// the format (Markdown, JSON, PDF) or the print dialog; a failure is said
// in a message box. Dates are written as utility writes them.
namespace ExportCommands {
void exportEntries(QWidget* parent, const std::vector<ManagedObject*>& entries, Utility* utility);
void printEntries(QWidget* parent, const std::vector<ManagedObject*>& entries, Utility* utility);
} // namespace ExportCommands

} // namespace quillet
