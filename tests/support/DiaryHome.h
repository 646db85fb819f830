#pragma once

#include "TestSupport.h"

#include <QString>

namespace quillet::test {

// A fresh diary home for one test: data, cache and cloud root in new
// folders, every setting removed, and the bundle name set; all restored at
// the end of the scope.
class ScopedDiaryHome {
public:
    explicit ScopedDiaryHome(const QString& bundleName = QStringLiteral("Quillet2"));
    ~ScopedDiaryHome();

    QString dataHome() const { return data_; }
    QString cacheHome() const { return cache_; }
    QString cloudRoot() const { return cloud_; }
    // The local store folder of the bundle: <data>/<bundle>.
    QString storeFolder() const;
    QString storePath() const { return storeFolder() + QStringLiteral("/entries.sqlite"); }

private:
    QString bundle_;
    QString oldBundle_;
    QString data_;
    QString cache_;
    QString cloud_;
    ScopedEnv dataEnv_;
    ScopedEnv cacheEnv_;
    ScopedEnv cloudEnv_;
};

// Removes every setting of the shared Utility.
void clearAllSettings();

} // namespace quillet::test
