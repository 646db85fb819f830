#pragma once

#include <QString>

namespace quillet {

// Option keys a store may be added with. The cloud options make a store take
// part in the exchange of change logs through the cloud container.
inline const QString NSPersistentStoreUbiquitousContentNameKey =
    QStringLiteral("NSPersistentStoreUbiquitousContentNameKey");
inline const QString NSPersistentStoreUbiquitousContentURLKey =
    QStringLiteral("NSPersistentStoreUbiquitousContentURLKey");
inline const QString NSMigratePersistentStoresAutomaticallyOption =
    QStringLiteral("NSMigratePersistentStoresAutomaticallyOption");
inline const QString NSInferMappingModelAutomaticallyOption =
    QStringLiteral("NSInferMappingModelAutomaticallyOption");
inline const QString NSSQLiteStoreType = QStringLiteral("SQLite");

} // namespace quillet
