#pragma once

#include "core/Error.h"
#include "store/PersistentStore.h"

#include <QObject>
#include <QVariantMap>
#include <memory>
#include <utility>
#include <vector>

namespace quillet {

class ManagedObjectModel;
namespace cloud {
class LogExchangeThread;
}

// Joins the record model to the stores that hold the records. The diary
// uses one SQLite store.
class PersistentStoreCoordinator : public QObject {
    Q_OBJECT
public:
    explicit PersistentStoreCoordinator(std::shared_ptr<ManagedObjectModel> model);
    ~PersistentStoreCoordinator() override;

    std::shared_ptr<ManagedObjectModel> managedObjectModel() const { return model_; }

    // Opens (or creates) the store file; answers it, or null with the store's own error.
    PersistentStore* addPersistentStore(const QString& type, const QString& configuration,
                                        const QString& path, const QVariantMap& options,
                                        Error* error);
    std::vector<PersistentStore*> persistentStores() const;
    PersistentStore* persistentStoreForURL(const QString& path) const;
    // The store that new records go to (the first one).
    PersistentStore* defaultStore() const;
    // Copies the store's file as saved to a new file at path and puts the
    // copy in the store's place. The rows keep their keys, so a context's
    // unsaved changes apply to the copy as they would have to the original.
    // Answers the new store, or null with the error and the old store kept.
    PersistentStore* migratePersistentStore(PersistentStore* store, const QString& path,
                                            Error* error);
    // The same, with the copy opened under other options: a store moved into
    // the cloud container takes part in the exchange from then on. The
    // exchange follows the store to its new file (or ends, without the cloud
    // options), so no log is written from the file left behind.
    PersistentStore* migratePersistentStore(PersistentStore* store, const QString& path,
                                            const QVariantMap& options, const QString& type,
                                            Error* error);
    // Ends the cloud exchange (its announcements run on its own thread):
    // before whoever hears them goes away.
    void stopExchanges();
    // Holds back the exchange of stores added from now on until
    // releaseExchanges: whoever merges its announcements into a context
    // first reads the store and starts listening, or the changes applied
    // in between would reach neither.
    void holdExchanges() { holdExchanges_ = true; }
    void releaseExchanges();

private:
    void startExchange(PersistentStore* store);

    std::shared_ptr<ManagedObjectModel> model_;
    std::vector<std::unique_ptr<PersistentStore>> stores_;
    // Declared after the stores: stopped before them.
    std::vector<std::pair<PersistentStore*, std::unique_ptr<cloud::LogExchangeThread>>> exchanges_;
    bool holdExchanges_ = false;
    std::vector<PersistentStore*> heldExchanges_;
};

} // namespace quillet
