#pragma once

// For the store suite: a diary file open in a record context, as a window
// holds it.

#include "DiaryFiles.h"

#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/StoreOptions.h"

#include <gtest/gtest.h>

namespace quillet::test {

struct OpenDiary {
    // firstMonth: the month a window shows first, as a month tag (0: none).
    explicit OpenDiary(const QString& file, int firstMonth = 0)
        : path(file), coordinator(entryModel()) {
        Error error;
        EXPECT_TRUE(coordinator.addPersistentStore(NSSQLiteStoreType, QString(), path, {}, &error))
            << error.localizedDescription.toStdString();
        if (firstMonth == 0) {
            context.setPersistentStoreCoordinator(&coordinator);
        } else {
            context.setPersistentStoreCoordinator(&coordinator, firstMonth);
        }
    }
    // A save that must succeed.
    bool save() {
        Error error;
        const bool saved = context.save(&error);
        EXPECT_TRUE(saved) << error.localizedDescription.toStdString();
        return saved;
    }
    // The one record with that identifier, found by a fetch; null unless exactly one.
    ManagedObject* byUuid(const QString& uuid) {
        FetchRequest request;
        request.predicate = Predicate::equalTo(QStringLiteral("uuid"), uuid);
        const auto found = context.executeFetchRequest(request, nullptr);
        return found && found->size() == 1 ? found->front() : nullptr;
    }
    // The only record of the diary.
    ManagedObject* only() {
        const std::vector<ManagedObject*> all = context.registeredObjects();
        EXPECT_EQ(all.size(), 1u);
        return all.size() == 1 ? all.front() : nullptr;
    }
    QString path;
    PersistentStoreCoordinator coordinator;
    ManagedObjectContext context;
};

} // namespace quillet::test
