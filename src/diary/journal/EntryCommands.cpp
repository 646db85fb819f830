#include "diary/journal/EntryCommands.h"

#include "core/Clock.h"
#include "core/IndexSet.h"
#include "diary/journal/JournalFilter.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"

namespace quillet {

EntryCommands::EntryCommands(ArrayController* list, JournalFilter* filter, Services services)
    : list_(list), filter_(filter), services_(std::move(services)) {}

ManagedObject* EntryCommands::newEntry() {
    ManagedObject* entry = list_->newObject();
    if (!entry) {
        return nullptr;
    }
    const QDateTime now = Clock::now();
    entry->setValue(now, QStringLiteral("timeStamp"));
    entry->setValue(services_.monthTag(now), QStringLiteral("monthTag"));
    entry->setValue(filter_->colorFilter().value_or(0), QStringLiteral("colorTag"));
    entry->setValue(QString(QLatin1String("")), QStringLiteral("entryText"));
    entry->setValue(services_.createUUID(), QStringLiteral("uuid"));
    list_->addObject(entry);
    return entry;
}

bool EntryCommands::removeSelectedEntry() {
    const std::size_t index = list_->selectionIndex();
    if (index == IndexSet::NotFound) {
        return false;
    }
    list_->removeObjectAtArrangedObjectIndex(index);
    return true;
}

bool EntryCommands::setColorTagOfSelection(int tag) {
    ManagedObject* entry = list_->selectedObject();
    if (!entry || tag < 0 || tag > 5) {
        return false;
    }
    const QString uuid = entry->uuid();
    if (entry->colorTag() != tag) {
        entry->setValue(tag, QStringLiteral("colorTag"));
    }
    if (filter_->colorFilter().value_or(0) != 0) {
        filter_->setColorTagSelectionIndexs(IndexSet::indexSetWithIndex(std::size_t(tag)));
    }
    filter_->reloadData();
    selectObjectAsUuid(uuid);
    return true;
}

bool EntryCommands::setDateOfSelection(const QDateTime& moment) {
    ManagedObject* entry = list_->selectedObject();
    if (!entry || !moment.isValid()) {
        return false;
    }
    const QString uuid = entry->uuid();
    entry->setValue(moment, QStringLiteral("timeStamp"));
    entry->setValue(services_.monthTag(moment), QStringLiteral("monthTag"));
    filter_->showMonthOf(moment);
    filter_->reloadData();
    selectObjectAsUuid(uuid);
    return true;
}

void EntryCommands::selectObjectAsUuid(const QString& uuid) {
    if (uuid.isNull()) {
        return;
    }
    for (std::size_t i = 0; i < list_->count(); ++i) {
        if (list_->objectAtIndex(i)->uuid() == uuid) {
            list_->setSelectionIndex(i);
        }
    }
}

void EntryCommands::updateDateValue_workaround() {
    if (ManagedObject* entry = list_->selectedObject()) {
        entry->setValue(services_.monthTag(entry->timeStamp()), QStringLiteral("monthTag"));
    }
}

} // namespace quillet
