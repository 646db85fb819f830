#include "platform/CloudContainer.h"

#include "platform/StandardPaths.h"

#include <QDir>
#include <QFileInfo>
#include <cstdlib>

namespace quillet {

QString CloudContainer::rootPath() {
    const char* root = std::getenv("QUILLET_CLOUD_ROOT");
    if (root != nullptr && root[0] != '\0') {
        return QDir::cleanPath(QDir::current().absoluteFilePath(QString::fromLocal8Bit(root)));
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
