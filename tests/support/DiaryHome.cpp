#include "DiaryHome.h"

#include "core/Bundle.h"
#include "diary/Utility.h"

#include <QDir>

namespace quillet::test {

namespace {
QString newDir(const QString& name) {
    const QString path = makeTempDir() + QLatin1Char('/') + name;
    QDir().mkpath(path);
    return path;
}
} // namespace

ScopedDiaryHome::ScopedDiaryHome(const QString& bundleName)
    : bundle_(bundleName), oldBundle_(Bundle::mainBundle().bundleName()),
      data_(newDir(QStringLiteral("data"))), cache_(newDir(QStringLiteral("cache"))),
      cloud_(newDir(QStringLiteral("cloud"))), dataEnv_("XDG_DATA_HOME", data_.toLocal8Bit()),
      cacheEnv_("XDG_CACHE_HOME", cache_.toLocal8Bit()),
      cloudEnv_("QUILLET_CLOUD_ROOT", cloud_.toLocal8Bit()) {
    Bundle::mainBundle().setBundleName(bundle_);
    clearAllSettings();
    alerts().clear();
}

ScopedDiaryHome::~ScopedDiaryHome() {
    clearAllSettings();
    Bundle::mainBundle().setBundleName(oldBundle_);
}

QString ScopedDiaryHome::storeFolder() const {
    return data_ + QLatin1Char('/') + (bundle_.isEmpty() ? QStringLiteral("Quillet") : bundle_);
}

void clearAllSettings() {
    UserDefaults* defaults = Utility::sharedUtility()->userDefalts();
    for (const QString& key : defaults->allKeys()) {
        defaults->removeObjectForKey(key);
    }
    defaults->synchronize();
}

} // namespace quillet::test
