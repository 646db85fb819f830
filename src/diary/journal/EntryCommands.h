#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

namespace quillet {

class ArrayController;
class JournalFilter;
class ManagedObject;

// The editing commands on the entry list's selection: a new entry, removal,
// a new color tag or date. Each re-filters the list when the change may move
// the entry, and selects the edited entry again by its identifier.
class EntryCommands {
public:
    struct Services {
        std::function<int(const QDateTime&)> monthTag;
        std::function<QString()> createUUID;
    };
    EntryCommands(ArrayController* list, JournalFilter* filter, Services services);

    // A new entry of this moment, tagged with the color filter, added to the
    // list; null when the list has no context to make it in.
    ManagedObject* newEntry();
    // Removes the selected entry; false when nothing is selected.
    bool removeSelectedEntry();
    // Only the six tags exist: anything else would put the entry out of
    // reach of the color filter, and is refused (false).
    bool setColorTagOfSelection(int tag);
    // The moment and its month tag change together; the month and year
    // selection follow the entry. False without a selection or a valid moment.
    bool setDateOfSelection(const QDateTime& moment);
    void selectObjectAsUuid(const QString& uuid);
    // Writes the selected entry's month tag from its moment again.
    void updateDateValue_workaround();

private:
    ArrayController* list_;
    JournalFilter* filter_;
    Services services_;
};

} // namespace quillet
