#include "core/StandardPaths.h"

#include <QDir>
#include <cstdlib>

namespace quillet {

namespace {
// The XDG rules: a relative value is invalid and is ignored.
QString xdgFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return QDir::cleanPath(QString::fromLocal8Bit(value));
    }
    const QString home = StandardPaths::homePath();
    if (home.isEmpty()) {
        return QString();
    }
    return home + QLatin1Char('/') + QLatin1String(fallback);
}
} // namespace

QString StandardPaths::homePath() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return QDir::cleanPath(QString::fromLocal8Bit(home));
    }
    return QString();
}

QString StandardPaths::configHome() {
    return xdgFolder("XDG_CONFIG_HOME", ".config");
}

QString StandardPaths::dataHome() {
    return xdgFolder("XDG_DATA_HOME", ".local/share");
}

QString StandardPaths::cacheHome() {
    return xdgFolder("XDG_CACHE_HOME", ".cache");
}

} // namespace quillet
