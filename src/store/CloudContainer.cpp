#include "store/CloudContainer.h"

#include "core/StandardPaths.h"
#include "core/UserDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <cstdlib>

namespace quillet {

QString CloudContainer::environmentRoot() {
    const char* root = std::getenv("QUILLET_CLOUD_ROOT");
    if (root == nullptr || root[0] == '\0') {
        return QString();
    }
    QString path = QString::fromLocal8Bit(root);
    // Session files (environment.d, .desktop) pass "~/Sync/..." without a
    // shell to expand it.
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/"))) {
        const QString home = StandardPaths::homePath();
        if (home.isEmpty()) {
            return QString();
        }
        path = home + path.mid(1);
    }
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

QString CloudContainer::rootPath() {
    if (std::getenv("QUILLET_CLOUD_ROOT") != nullptr &&
        std::getenv("QUILLET_CLOUD_ROOT")[0] != '\0') {
        return environmentRoot();
    }
    // Chosen in the cloud pane; only an absolute path counts.
    const QString chosen = UserDefaults::standardUserDefaults().stringForKey(kChosenRootKey);
    if (!chosen.isEmpty() && QDir::isAbsolutePath(chosen)) {
        return QDir::cleanPath(chosen);
    }
    const QString data = StandardPaths::dataHome();
    return data.isEmpty() ? QString() : data + QStringLiteral("/QuilletCloud");
}

QString CloudContainer::URLForUbiquityContainerIdentifier(const QString& identifier) {
    const QString root = rootPath();
    if (root.isEmpty() || identifier.isEmpty() || identifier.contains(QLatin1Char('/'))) {
        return QString();
    }
    const QString folder = root + QLatin1Char('/') + identifier;
    return QFileInfo(folder).isDir() ? folder : QString();
}

} // namespace quillet
