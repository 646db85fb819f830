#include "diary/StoreLocations.h"

#include "core/Alerts.h"
#include "core/Application.h"
#include "core/Error.h"
#include "core/MainThread.h"
#include "core/PrivateFolder.h"
#include "diary/Edition.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace quillet {

namespace {
const QString kStoreFileName = QStringLiteral("entries.sqlite");

bool fileExists(const QString& folder, const QString& name) {
    return !folder.isEmpty() && QFileInfo::exists(folder + QLatin1Char('/') + name);
}

} // namespace

StoreLocations::StoreLocations(const Edition& edition, FolderSource dataHome,
                               ContainerLookup container)
    : edition_(edition), dataHome_(std::move(dataHome)), container_(std::move(container)) {}

QString StoreLocations::applicationSupportFolder() const {
    const QString data = dataHome_();
    if (data.isEmpty()) {
        // The old-data import asks from its own thread; the alert and the quit
        // belong to the main thread, and the asking thread waits for them.
        MainThread::run(
            [] {
                Alerts::runAlertPanel(
                    QCoreApplication::translate("StoreLocations", "Alert"),
                    QCoreApplication::translate("StoreLocations",
                                                "Can't find application support folder"),
                    QCoreApplication::translate("StoreLocations", "Quit"));
                Application::terminate();
            },
            true);
        return QString();
    }
    return data + QStringLiteral("/QuilletMac");
}

QString StoreLocations::localStoreFolder() const {
    const QString data = dataHome_();
    if (data.isEmpty()) {
        return QString();
    }
    QString name = edition_.bundleName();
    if (name.isEmpty()) {
        name = QStringLiteral("Quillet");
    }
    const QString folder = data + QLatin1Char('/') + name;
    if (!QFileInfo::exists(folder)) {
        // The diary is private, and so is every folder made on the way to it.
        PrivateFolder::makePath(folder);
    }
    return folder;
}

QString StoreLocations::ubiquityContainerIdentifier() const {
    return QStringLiteral("7QW2E9R4T1.org.quillet.diary");
}

QString StoreLocations::cloudContainerURL() const {
    return container_(ubiquityContainerIdentifier());
}

QString StoreLocations::cloudStoreFolder() const {
    const QString container = cloudContainerURL();
    if (container.isEmpty()) {
        return QString();
    }
    const QString folder = container + QStringLiteral("/.nosync");
    struct stat info {};
    if (::stat(QFile::encodeName(folder).constData(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return folder;
        }
        Alerts::presentError(Error{
            QStringLiteral("YOUR_ERROR_DOMAIN"), 101,
            QCoreApplication::translate(
                "StoreLocations", "Expected a folder to store application data, found a file (%1).")
                .arg(folder)});
        return QString();
    }
    const int reason = errno;
    if (reason == ENOENT) {
        // It may hold the diary, inside a folder other programs sync.
        if (PrivateFolder::makePath(folder)) {
            return folder;
        }
        Alerts::presentError(
            Error{kFileErrorDomain, FileWriteUnknownError,
                  QCoreApplication::translate("StoreLocations",
                                              "The folder \u201c%1\u201d could not be created.")
                      .arg(folder)});
        return QString();
    }
    Alerts::presentError(
        Error{kFileErrorDomain, FileReadUnknownError,
              QCoreApplication::translate("StoreLocations",
                                          "The folder \u201c%1\u201d could not be read: %2.")
                  .arg(folder, QString::fromLocal8Bit(std::strerror(reason)))});
    return QString();
}

QString StoreLocations::inferredStoreFolder() const {
    if (edition_.applicationModel() == 2) {
        return localStoreFolder();
    }
    if (!isICloudSupported()) {
        return localStoreFolder();
    }
    if (!isICloudEnabled()) {
        return isLocalStoreMigrated() ? QString() : localStoreFolder();
    }
    if (isICloudStoreExist()) {
        return cloudStoreFolder();
    }
    return localStoreFolder();
}

bool StoreLocations::isICloudEnabled() const {
    return !cloudContainerURL().isEmpty();
}

bool StoreLocations::isICloudStoreExist() const {
    if (!isICloudEnabled()) {
        return false;
    }
    return fileExists(cloudStoreFolder(), kStoreFileName);
}

bool StoreLocations::isLocalStoreMigrated() const {
    return fileExists(localStoreFolder(), kStoreFileName + QStringLiteral(".bak"));
}

bool StoreLocations::isLocalStoreExist() const {
    return fileExists(localStoreFolder(), kStoreFileName);
}

bool StoreLocations::isOldDataExist() const {
    return fileExists(applicationSupportFolder(), QStringLiteral("Quillet.sqlite"));
}

bool StoreLocations::canMoveLocalStoreToICloud() const {
    if (!isICloudEnabled()) {
        return true;
    }
    return isICloudStoreExist();
}

} // namespace quillet
