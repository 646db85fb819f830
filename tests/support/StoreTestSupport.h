#pragma once

// Helpers for the store tests that need the diary's shared services.

#include "DiaryHome.h"

#include "diary/Utility.h"
#include "store/ManagedObjectModel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QThread>
#include <functional>

namespace quillet::test {

// Runs the main thread's events until `done` holds or ten seconds pass
// (for work that reports back from another thread).
inline bool waitFor(const std::function<bool()>& done) {
    QDeadlineTimer deadline(10000);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

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
