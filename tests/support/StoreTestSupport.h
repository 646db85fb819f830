#pragma once

// Helpers for the store tests that need the diary's shared services.

#include "DiaryHome.h"

#include "diary/Utility.h"
#include "store/ManagedObjectModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QThread>

namespace quillet::test {

// Signs the user in to the cloud container of the diary home: the
// container folder exists under the home's cloud root. Answers that folder.
inline QString signIn(const ScopedDiaryHome& home) {
    const QString container = home.cloudRoot() + QLatin1Char('/') +
                              Utility::sharedUtility()->ubiquityContainerIdentifier();
    QDir().mkpath(container);
    return container;
}

// Turns the fixed cloud switch on for a scope.
class ScopedICloudSupport {
public:
    ScopedICloudSupport() { Utility::sharedUtility()->setICloudSupportedForTesting(true); }
    ~ScopedICloudSupport() { Utility::sharedUtility()->setICloudSupportedForTesting(false); }
};

// Points the record model lookup elsewhere for a scope.
class ScopedModelSearchPath {
public:
    explicit ScopedModelSearchPath(const QString& path)
        : old_(ManagedObjectModel::modelSearchPath()) {
        ManagedObjectModel::setModelSearchPath(path);
    }
    ~ScopedModelSearchPath() { ManagedObjectModel::setModelSearchPath(old_); }

private:
    QString old_;
};

} // namespace quillet::test
