#include "diary/DiaryStore.h"

#include "core/Alerts.h"
#include "core/Clock.h"
#include "core/Log.h"
#include "core/Notices.h"
#include "core/NotificationCenter.h"
#include "core/StandardPaths.h"
#include "diary/DailyBackups.h"
#include "diary/StoreLocations.h"
#include "store/ChangeSet.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/ManagedObjectModel.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/StoreOptions.h"
#include "store/UndoManager.h"
#include "store/cloud/CloudCopy.h"
#include "store/cloud/LogExchange.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace quillet {

namespace {
// Posted by the cloud exchange with the coordinator as object and the changed
// record identifiers by kind of change.
const QString kDidImportUbiquitousContentChanges =
    QStringLiteral("NSPersistentStoreDidImportUbiquitousContentChangesNotification");
// The message bar's line for saves that failed while typing.
const QString kSaveTopic = QStringLiteral("save");
} // namespace

DiaryStore::DiaryStore(const StoreLocations* locations, QObject* refreshSender, QObject* parent)
    : QObject(parent), locations_(locations), refreshSender_(refreshSender) {}

DiaryStore::~DiaryStore() {
    // No announcement may reach a half-destroyed store from the exchange's thread.
    if (persistentStoreCoordinator_) {
        persistentStoreCoordinator_->stopExchanges();
    }
}

std::shared_ptr<ManagedObjectModel> DiaryStore::managedObjectModel() {
    if (!managedObjectModel_) {
        managedObjectModel_ = ManagedObjectModel::mergedModelFromBundles();
    }
    return managedObjectModel_;
}

PersistentStoreCoordinator* DiaryStore::persistentStoreCoordinator() {
    if (persistentStoreCoordinator_) {
        return persistentStoreCoordinator_.get();
    }
    const std::shared_ptr<ManagedObjectModel> model = managedObjectModel();
    if (!model) {
        Log::write(
            QStringLiteral("%1:%2 No model to generate a store from")
                .arg(QStringLiteral("AppDelegate"), QStringLiteral("persistentStoreCoordinator")));
        return nullptr;
    }
    auto coordinator = std::make_unique<PersistentStoreCoordinator>(model);
    // Started once the context has read the store and listens (managedObjectContext).
    coordinator->holdExchanges();
    const QString folder = locations_->inferredStoreFolder();
    if (folder.isEmpty() && StandardPaths::dataHome().isEmpty()) {
        // No home to keep a diary in: said now, not at every failed save later.
        Alerts::presentError(
            Error{kStoreErrorDomain, StoreOpenError,
                  QStringLiteral("There is no folder to keep the diary in: neither HOME "
                                 "nor XDG_DATA_HOME names one.")});
        return nullptr;
    }
    if (folder.isEmpty()) {
        // A coordinator without a store, not held; kept alive for whoever took it.
        unheld_.push_back(std::move(coordinator));
        return static_cast<PersistentStoreCoordinator*>(unheld_.back().get());
    }
    const QString path = folder + QStringLiteral("/entries.sqlite");
    QVariantMap options;
    if (locations_->isICloudStoreExist()) {
        options.insert(NSPersistentStoreUbiquitousContentNameKey,
                       QStringLiteral("TransactionLogs"));
        options.insert(NSPersistentStoreUbiquitousContentURLKey,
                       QUrl::fromLocalFile(locations_->cloudContainerURL()));
        options.insert(NSMigratePersistentStoresAutomaticallyOption, true);
        options.insert(NSInferMappingModelAutomaticallyOption, true);
    }
    Error error;
    if (!coordinator->addPersistentStore(NSSQLiteStoreType, QString(), path, options, &error)) {
        openError_ = error;
        Alerts::presentError(error);
        return nullptr;
    }
    openError_ = Error{};
    if (!options.isEmpty()) {
        retireCloudCopy(path);
    }
    persistentStoreCoordinator_ = std::move(coordinator);
    Log::write(QStringLiteral("Store URL: %1").arg(QUrl::fromLocalFile(path).toString()));
    backups_ = std::make_unique<DailyBackups>(path, locations_->localStoreFolder() +
                                                        QStringLiteral("/backups"));
    return persistentStoreCoordinator_.get();
}

ManagedObjectContext* DiaryStore::managedObjectContext() {
    if (managedObjectContext_) {
        return managedObjectContext_.get();
    }
    auto context =
        std::make_unique<ManagedObjectContext>(ManagedObjectContext::ConcurrencyType::MainQueue);
    PersistentStoreCoordinator* coordinator = persistentStoreCoordinator();
    if (!coordinator) {
        // An empty context without a coordinator, not held: the next request tries the store again.
        unheld_.push_back(std::move(context));
        return static_cast<ManagedObjectContext*>(unheld_.back().get());
    }
    // Damage found while reading the diary (a large one's rest is read after
    // the window is up): shown, and the store saves nothing more.
    connect(context.get(), &ManagedObjectContext::loadFailed, this,
            [](const Error& error) { Alerts::presentError(error); });
    connect(context.get(), &ManagedObjectContext::savedAside, this, &DiaryStore::savedAside);
    context->performBlockAndWait([&] {
        if (firstMonthTag_) {
            context->setPersistentStoreCoordinator(coordinator, *firstMonthTag_);
        } else {
            context->setPersistentStoreCoordinator(coordinator);
        }
        context->setMergePolicy(ManagedObjectContext::MergePolicy::MergeByPropertyObjectTrump);
        NotificationCenter::defaultCenter().addObserver(
            kDidImportUbiquitousContentChanges, coordinator,
            [self = QPointer<DiaryStore>(this)](const Notification& note) {
                if (self)
                    self->mergeChangesFromCloud(note);
            });
    });
    // Read and listening: what the exchange applies from now on is merged in.
    // A large diary's rest brings its whole-file check: nothing is applied
    // to a file before it passed.
    // The day's backup too is taken only from a file that passed.
    if (context->hasEverything()) {
        coordinator->releaseExchanges();
    } else {
        connect(context.get(), &ManagedObjectContext::restArrived, this, [this] {
            PersistentStoreCoordinator* c = persistentStoreCoordinator_.get();
            if (c && c->defaultStore() && !c->defaultStore()->refusesWrites()) {
                c->releaseExchanges();
                backUpIfDue();
            }
        });
    }
    managedObjectContext_ = std::move(context);
    backUpIfDue();
    emit contextCreated(managedObjectContext_.get());
    return managedObjectContext_.get();
}

bool DiaryStore::flushUnsavedChanges() {
    // Nothing can be pending in a store that is not open, and opening it
    // again here would stack one more alert on every command and on quitting.
    ManagedObjectContext* context = managedObjectContext_.get();
    if (!context) {
        return true;
    }
    // With nothing new, the save still waits for the automatic saves before it.
    Error error;
    if (!context->save(&error)) {
        if (!reportFileLost(error)) {
            Alerts::presentError(error);
        }
        return false;
    }
    autosaved();
    return true;
}

bool DiaryStore::reportFileLost(const Error& error) {
    if (error.code != StoreFileMovedError) {
        return false;
    }
    if (!isFileLost()) {
        fileLostError_ = error;
        fileLostHandler_ ? fileLostHandler_(error) : Alerts::presentError(error);
    }
    return true;
}

bool DiaryStore::autosave() {
    ManagedObjectContext* context = managedObjectContext_.get();
    if (!context || !context->hasChanges()) {
        return true;
    }
    if (!context->hasEverything()) {
        // Saved once the rest, and the whole-file check with it, is in;
        // waiting for it here would hold up the window.
        if (!autosaveAfterRest_) {
            autosaveAfterRest_ = true;
            connect(
                context, &ManagedObjectContext::restArrived, this, [this] { autosave(); },
                Qt::SingleShotConnection);
        }
        return true;
    }
    if (context->isSavingAside()) {
        // What changed meanwhile goes with the next save, once this one is over.
        autosaveAfterAside_ = true;
        return true;
    }
    // Long texts are written beside the window; savedAside tells how it went.
    if (context->saveAside()) {
        return true;
    }
    Error error;
    if (!context->save(&error, false)) {
        return autosaveFailed(error);
    }
    autosaved();
    return true;
}

void DiaryStore::savedAside(bool saved, const Error& error) {
    saved ? autosaved() : void(autosaveFailed(error));
    if (std::exchange(autosaveAfterAside_, false)) {
        autosave();
    }
}

bool DiaryStore::autosaveFailed(const Error& error) {
    if (error.code == StoreEntryGoneError) {
        // Another machine's removal, not merged yet: its merge keeps the
        // edit and brings the next save.
        return false;
    }
    if (!reportFileLost(error) && !autosaveFailureShown_) {
        // Said in the window's message bar, not a box over the editor:
        // the writer keeps typing, and the next pause tries again.
        autosaveFailureShown_ = true;
        Log::write(error.localizedDescription);
        Notices::post(kSaveTopic, tr("%1 What you type stays in the window and is "
                                     "saved at the next pause.")
                                      .arg(error.localizedDescription));
    }
    return false;
}

void DiaryStore::autosaved() {
    if (autosaveFailureShown_) {
        Notices::withdraw(kSaveTopic);
    }
    autosaveFailureShown_ = false;
    backUpIfDue();
}

void DiaryStore::retireCloudCopy(const QString& openedPath) {
    // The file a move into the cloud left in the container is opened no more
    // once a fresh local file takes part: what it saved goes out, and the
    // others stop waiting for it before they fold their logs. Off the window's
    // thread; tried again at the next launch if it fails.
    const QString copy = locations_->cloudStoreFolder() + QStringLiteral("/entries.sqlite");
    if (QFileInfo(copy).absoluteFilePath() == QFileInfo(openedPath).absoluteFilePath() ||
        !QFileInfo::exists(copy)) {
        return;
    }
    // Only the copy this machine's own move made: with a container folder
    // shared as it is, another machine's window may still be writing to it.
    const QString container = locations_->cloudContainerURL();
    retirement_.start(
        [copy, container, openedPath] { cloud::retireOwnCopy(copy, container, openedPath); });
}

void DiaryStore::backUpIfDue() {
    // At open and at the first save of a day after midnight, and only from a
    // diary that passed its whole-file check: a large one's rest brings that
    // check, and a file found damaged is refused writes.
    const ManagedObjectContext* context = managedObjectContext_.get();
    const PersistentStoreCoordinator* c = persistentStoreCoordinator_.get();
    if (backups_ && !isFileLost() && context && context->hasEverything() && c &&
        c->defaultStore() && !c->defaultStore()->refusesWrites()) {
        backups_->backUpIfDue(Clock::now().date());
    }
}

bool DiaryStore::saveToNewFile(const QString& path, Error* error) {
    ManagedObjectContext* context = managedObjectContext_.get();
    PersistentStoreCoordinator* coordinator = persistentStoreCoordinator_.get();
    if (!context || !coordinator || !coordinator->defaultStore()) {
        if (error) {
            *error = Error{
                kStoreErrorDomain, StoreSaveError,
                QStringLiteral("The diary could not be saved because no diary file is open.")};
        }
        return false;
    }
    // A save under way lands in the file before it is copied.
    context->waitForSaveAside();
    if (!coordinator->migratePersistentStore(coordinator->defaultStore(), path, error) ||
        !context->save(error)) {
        return false;
    }
    fileLostError_ = Error{};
    if (backups_) {
        backups_->setStorePath(path);
    }
    Log::write(QStringLiteral("Store URL: %1").arg(QUrl::fromLocalFile(path).toString()));
    return true;
}

void DiaryStore::mergeChangesFromCloud(const Notification& note) {
    ManagedObjectContext* context = managedObjectContext();
    const QVariantMap userInfo = note.userInfo;
    context->performBlock([this, userInfo, context] { mergeiCloudChanges(userInfo, context); });
}

void DiaryStore::mergeiCloudChanges(const QVariantMap& userInfo, ManagedObjectContext* context) {
    // Identifiers arrive as lists of row keys under the change kinds' names.
    static const QString inserted = QStringLiteral("inserted");
    static const QString deleted = QStringLiteral("deleted");
    static const QString updated = QStringLiteral("updated");
    static const QString refreshed = QStringLiteral("refreshed");
    static const QString invalidated = QStringLiteral("invalidated");
    static const QString invalidatedAll = QStringLiteral("invalidatedAll");
    auto ids = [&](const QString& key) {
        std::vector<ManagedObjectID> result;
        for (const QVariant& v : userInfo.value(key).toList()) {
            result.push_back(ManagedObjectID{v.toLongLong()});
        }
        return result;
    };
    ChangeSet local;
    QVariantMap posted;
    if (userInfo.contains(invalidatedAll)) {
        local.invalidatedAll = userInfo.value(invalidatedAll);
        posted.insert(invalidatedAll, local.invalidatedAll);
    } else {
        auto materialize = [&](const QString& key, std::vector<ManagedObject*>& into) {
            const std::vector<ManagedObjectID> list = ids(key);
            if (list.empty())
                return;
            QVariantList records;
            for (ManagedObjectID id : list) {
                ManagedObject* o = context->objectWithID(id);
                into.push_back(o);
                records.append(QVariant::fromValue(o));
            }
            posted.insert(key, records);
        };
        auto registered = [&](const QString& key, std::vector<ManagedObject*>& into) {
            const std::vector<ManagedObjectID> list = ids(key);
            if (list.empty())
                return;
            QVariantList records;
            for (ManagedObjectID id : list) {
                if (ManagedObject* o = context->objectRegisteredForID(id)) {
                    into.push_back(o);
                    records.append(QVariant::fromValue(o));
                }
            }
            posted.insert(key, records);
        };
        materialize(deleted, local.deleted);
        // SQLite gives a new row the key of a just deleted last row, so a key
        // may be both deleted and inserted: the old record leaves first, or
        // the new entry would be taken for it and leave with it.
        const std::vector<ManagedObjectID> reused = ids(inserted);
        if (std::any_of(reused.begin(), reused.end(), [&](ManagedObjectID id) {
                return std::any_of(local.deleted.begin(), local.deleted.end(),
                                   [&](ManagedObject* o) { return o->objectID() == id; });
            })) {
            ChangeSet gone;
            gone.deleted = std::exchange(local.deleted, {});
            context->mergeChangesFromContextDidSave(gone);
        }
        materialize(inserted, local.inserted);
        registered(updated, local.updated);
        registered(refreshed, local.refreshed);
        registered(invalidated, local.invalidated);
        context->mergeChangesFromContextDidSave(local);
    }
    context->processPendingChanges();
    NotificationCenter::defaultCenter().postNotification(QStringLiteral("RefreshAllViews"),
                                                         refreshSender_.data(), posted);
}

bool DiaryStore::moveLocalStoreToICloud() {
    if (!locations_->isICloudEnabled()) {
        Log::write(QStringLiteral("iCloud been signed-off"));
        return false;
    }
    const QString cloudFolder = locations_->cloudStoreFolder();
    const QString target = cloudFolder + QStringLiteral("/entries.sqlite");
    const QString source = locations_->localStoreFolder() + QStringLiteral("/entries.sqlite");
    const QString backup = source + QStringLiteral(".bak");
    // The context first: the moved store hands no records to a context made later.
    // A save under way lands in the file before it is copied.
    managedObjectContext()->waitForSaveAside();
    PersistentStoreCoordinator* coordinator = persistentStoreCoordinator();
    const QString container = locations_->cloudContainerURL();
    Log::write(QStringLiteral("cloudURL: %1").arg(QUrl::fromLocalFile(container).toString()));
    QVariantMap options;
    options.insert(NSPersistentStoreUbiquitousContentNameKey, QStringLiteral("TransactionLogs"));
    options.insert(NSPersistentStoreUbiquitousContentURLKey, QUrl::fromLocalFile(container));
    options.insert(NSMigratePersistentStoresAutomaticallyOption, true);
    options.insert(NSInferMappingModelAutomaticallyOption, true);
    Error error;
    PersistentStore* moved = nullptr;
    if (cloudFolder.isEmpty()) {
        error = Error{kStoreErrorDomain, StoreSaveError,
                      tr("The cloud folder has no place for the diary.")};
    } else if (QFileInfo::exists(target)) {
        // Copying over it would throw away a diary that is already in the
        // cloud, and with it whatever the exchange brought into it.
        error = Error{
            kStoreErrorDomain, StoreSaveError,
            tr("There is already a diary in the cloud folder (\u201c%1\u201d); nothing was moved.")
                .arg(target)};
    } else if (!coordinator) {
        error = Error{kStoreErrorDomain, StoreOpenError, tr("The diary is not open.")};
    } else {
        // No store at the source (moved already): the coordinator says so.
        moved = coordinator->migratePersistentStore(coordinator->persistentStoreForURL(source),
                                                    target, options, NSSQLiteStoreType, &error);
    }
    if (!moved) {
        Log::write(QStringLiteral("err: %1").arg(error.localizedDescription));
        return true;
    }
    if (backups_) {
        backups_->setStorePath(target);
    }
    // Which copy is this machine's to retire once a fresh local file takes over.
    if (!cloud::noteOwnCopy(source, cloud::writerOfFile(target))) {
        Log::write(
            QStringLiteral("err: %1 could not be written").arg(cloud::ownCopyNotePath(source)));
    }
    QFile file(source);
    if (!file.rename(backup)) {
        Log::write(QStringLiteral("err: %1").arg(file.errorString()));
    }
    return true;
}

UndoManager* DiaryStore::undoManager() {
    ManagedObjectContext* context = managedObjectContext();
    return context ? context->undoManager() : nullptr;
}

} // namespace quillet
