#include "diary/export/ExportedEntry.h"

#include "store/ManagedObject.h"

#include <QSaveFile>
#include <algorithm>

namespace quillet {

std::vector<ExportedEntry> exportedEntries(const std::vector<ManagedObject*>& entries) {
    std::vector<ExportedEntry> values;
    values.reserve(entries.size());
    for (const ManagedObject* entry : entries) {
        values.push_back({entry->uuid(), entry->timeStamp().toLocalTime(), entry->colorTag(),
                          entry->entryText()});
    }
    return values;
}

void sortByDate(std::vector<ExportedEntry>& entries) {
    std::stable_sort(
        entries.begin(), entries.end(),
        [](const ExportedEntry& a, const ExportedEntry& b) { return a.date < b.date; });
}

bool writePrivateFile(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        file.write(bytes) != bytes.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace quillet
