#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace quillet {

// The description of the diary's records, read from the application's model
// resources (":/models/*.json"). Only the Entry entity exists; its version is
// the store's schema version.
class ManagedObjectModel {
public:
    // Merges every model resource found; null when there is none or none parses.
    static std::shared_ptr<ManagedObjectModel> mergedModelFromBundles();
    // Where mergedModelFromBundles looks; tests point it at an empty folder.
    static void setModelSearchPath(const QString& path);
    static QString modelSearchPath();

    int version() const { return version_; }
    bool hasEntity(const QString& name) const { return entities_.contains(name); }

private:
    QStringList entities_;
    int version_ = 0;
};

} // namespace quillet
