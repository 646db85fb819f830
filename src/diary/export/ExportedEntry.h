#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

namespace quillet {

class ManagedObject;

// One entry as the exports write it: plain values, so that writing can run
// anywhere once they are taken from the records on the main thread.
struct ExportedEntry {
    QString uuid;
    QDateTime date; // local time
    int colorTag = 0;
    QString text;
};

// The values of the entries, in the order given; main thread only.
std::vector<ExportedEntry> exportedEntries(const std::vector<ManagedObject*>& entries);

// Oldest first: the order of a file kept for reading, whatever the list showed.
void sortByDate(std::vector<ExportedEntry>& entries);

// Writes bytes to path in one step (a temporary file that then replaces it),
// readable by the user alone since it holds diary text.
bool writePrivateFile(const QString& path, const QByteArray& bytes, QString* error);

} // namespace quillet
