#pragma once

#include <QString>
#include <functional>

namespace quillet {

class Edition;

// Where the diary lies: the local store folder of the edition, the ".nosync"
// folder in the cloud container, the folder the store is to be opened in,
// and the old data folder. Nothing is cached: every question asks the given
// sources and the file system afresh. Folders are paths; null for none.
class StoreLocations {
public:
    // The user's data folder (null when unknown).
    using FolderSource = std::function<QString()>;
    // The container folder of an identifier, null while the user is signed out.
    using ContainerLookup = std::function<QString(const QString& identifier)>;

    StoreLocations(const Edition& edition, FolderSource dataHome, ContainerLookup container);

    // The old data folder; never made. Without a data folder it shows the
    // alert and quits, on the main thread whichever thread asks.
    QString applicationSupportFolder() const;
    // Made (private to the user) when missing.
    QString localStoreFolder() const;
    // Made when missing; an obstacle or a failure to make it is presented.
    QString cloudStoreFolder() const;
    // Null when the diary was moved into the cloud, which cannot be reached now.
    QString inferredStoreFolder() const;

    bool isICloudSupported() const { return iCloudSupported_; }
    // The switch is fixed off in the product; tests turn it on to check the rules.
    void setICloudSupportedForTesting(bool on) { iCloudSupported_ = on; }
    bool isICloudEnabled() const;
    bool isICloudStoreExist() const;
    bool isLocalStoreMigrated() const;
    bool isLocalStoreExist() const;
    bool isOldDataExist() const;
    bool canMoveLocalStoreToICloud() const;

    QString ubiquityContainerIdentifier() const;
    QString cloudContainerURL() const;

private:
    const Edition& edition_;
    FolderSource dataHome_;
    ContainerLookup container_;
    bool iCloudSupported_ = false;
};

} // namespace quillet
