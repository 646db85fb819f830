#pragma once

// For the ui and app suites: the old-data importer's notifications, posted
// as its worker posts them.

#include "core/NotificationCenter.h"
#include "diary/import/OldDataImporter.h"

#include <QVariantMap>
#include <optional>
#include <thread>

namespace quillet::test {

// Posts as the importer's worker does: from a thread of its own.
inline void postFromWorker(const QString& name, std::optional<int> progress = std::nullopt) {
    std::thread([&] {
        QVariantMap info;
        if (progress) {
            info.insert(kProgressKey, *progress);
        }
        NotificationCenter::defaultCenter().postNotification(name, nullptr, info);
    }).join();
}

} // namespace quillet::test
