#include "store/PersistentStoreCoordinator.h"

#include "core/Log.h"
#include "store/ManagedObjectModel.h"
#include "store/StoreOptions.h"
#include "store/cloud/LogExchange.h"

#include <QFileInfo>
#include <QUrl>
#include <algorithm>

namespace quillet {

PersistentStoreCoordinator::PersistentStoreCoordinator(std::shared_ptr<ManagedObjectModel> model)
    : model_(std::move(model)) {}

PersistentStoreCoordinator::~PersistentStoreCoordinator() {
    stopExchanges();
}

void PersistentStoreCoordinator::stopExchanges() {
    heldExchanges_.clear();
    for (const auto& store : stores_) {
        store->setCommitObserver(nullptr);
    }
    exchanges_.clear();
}

PersistentStore* PersistentStoreCoordinator::addPersistentStore(const QString& type,
                                                                const QString& configuration,
                                                                const QString& path,
                                                                const QVariantMap& options,
                                                                Error* error) {
    Q_UNUSED(configuration);
    if (type != NSSQLiteStoreType) {
        if (error) {
            *error = Error{kStoreErrorDomain, StoreOpenError,
                           QStringLiteral("Unknown store type \u201c%1\u201d.").arg(type)};
        }
        return nullptr;
    }
    if (!model_ || !model_->hasEntity(QStringLiteral("Entry"))) {
        if (error) {
            *error = Error{kStoreErrorDomain, StoreIncompatibleVersionError,
                           QStringLiteral("The record model has no Entry records.")};
        }
        return nullptr;
    }
    std::unique_ptr<PersistentStore> store = PersistentStore::open(path, options, error);
    if (!store) {
        return nullptr;
    }
    stores_.push_back(std::move(store));
    startExchange(stores_.back().get());
    return stores_.back().get();
}

void PersistentStoreCoordinator::releaseExchanges() {
    holdExchanges_ = false;
    std::vector<PersistentStore*> held = std::move(heldExchanges_);
    heldExchanges_.clear();
    for (PersistentStore* store : held) {
        const bool stillHere = std::any_of(stores_.begin(), stores_.end(),
                                           [store](const auto& s) { return s.get() == store; });
        if (stillHere) {
            startExchange(store);
        }
    }
}

void PersistentStoreCoordinator::startExchange(PersistentStore* store) {
    if (holdExchanges_) {
        heldExchanges_.push_back(store);
        return;
    }
    // A store added with the cloud options exchanges its changes through the container.
    const QVariantMap options = store->options();
    const QString container =
        options.value(NSPersistentStoreUbiquitousContentURLKey).toUrl().toLocalFile();
    if (!options.value(NSPersistentStoreUbiquitousContentNameKey).toString().isEmpty() &&
        !container.isEmpty()) {
        // Its writer identity first: the exchange names it in every log.
        store->settleFileIdentity();
        auto exchange = std::make_unique<cloud::LogExchangeThread>(store->path(), container, this);
        store->setCommitObserver([e = exchange.get()] { e->wake(); });
        exchanges_.emplace_back(store, std::move(exchange));
    }
}

std::vector<PersistentStore*> PersistentStoreCoordinator::persistentStores() const {
    std::vector<PersistentStore*> result;
    for (const auto& s : stores_) {
        result.push_back(s.get());
    }
    return result;
}

PersistentStore* PersistentStoreCoordinator::persistentStoreForURL(const QString& path) const {
    const QString wanted = QFileInfo(path).absoluteFilePath();
    for (const auto& s : stores_) {
        if (QFileInfo(s->path()).absoluteFilePath() == wanted) {
            return s.get();
        }
    }
    return nullptr;
}

PersistentStore* PersistentStoreCoordinator::defaultStore() const {
    return stores_.empty() ? nullptr : stores_.front().get();
}

PersistentStore* PersistentStoreCoordinator::migratePersistentStore(PersistentStore* store,
                                                                    const QString& path,
                                                                    Error* error) {
    return migratePersistentStore(store, path, store ? store->options() : QVariantMap(),
                                  NSSQLiteStoreType, error);
}

PersistentStore* PersistentStoreCoordinator::migratePersistentStore(PersistentStore* store,
                                                                    const QString& path,
                                                                    const QVariantMap& options,
                                                                    const QString& type,
                                                                    Error* error) {
    if (type != NSSQLiteStoreType) {
        if (error) {
            *error = Error{kStoreErrorDomain, StoreOpenError,
                           QStringLiteral("Unknown store type \u201c%1\u201d.").arg(type)};
        }
        return nullptr;
    }
    const auto held = std::find_if(stores_.begin(), stores_.end(),
                                   [store](const auto& s) { return s.get() == store; });
    if (held == stores_.end()) {
        if (error) {
            *error =
                Error{kStoreErrorDomain, StoreOpenError, QStringLiteral("The diary is not open.")};
        }
        return nullptr;
    }
    // Its own name is still locked by the open store (and may now belong to another file).
    if (QFileInfo(path).absoluteFilePath() == QFileInfo(store->path()).absoluteFilePath()) {
        if (error) {
            *error =
                Error{kStoreErrorDomain, StoreSaveError,
                      QStringLiteral("The diary can't be saved to “%1”, the file it was opened "
                                     "from. Choose another name or folder.")
                          .arg(path)};
        }
        return nullptr;
    }
    if (!store->copyTo(path, error)) {
        return nullptr;
    }
    std::unique_ptr<PersistentStore> copy = PersistentStore::open(path, options, error);
    if (!copy) {
        return nullptr;
    }
    copy->takeLoadedRows(); // the context already holds every record
    // The old file's exchange stops before the store it watches goes.
    store->setCommitObserver(nullptr);
    const bool wasExchanging =
        std::erase_if(exchanges_, [store](const auto& e) { return e.first == store; }) > 0;
    const QString container =
        options.value(NSPersistentStoreUbiquitousContentURLKey).toUrl().toLocalFile();
    if (!wasExchanging && !container.isEmpty() &&
        !options.value(NSPersistentStoreUbiquitousContentNameKey).toString().isEmpty()) {
        // Joining the exchange: the whole diary goes out before the exchange
        // starts, so that the next launch's fresh local store and every
        // other machine get it. Whatever is not written now stays queued.
        Error baselineError;
        if (!cloud::LogExchange(path, container).writeBaseline(&baselineError)) {
            Log::write(
                QStringLiteral("Cloud exchange: %1").arg(baselineError.localizedDescription));
        }
    }
    *held = std::move(copy);
    startExchange(held->get());
    return held->get();
}

} // namespace quillet
