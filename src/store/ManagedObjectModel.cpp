#include "store/ManagedObjectModel.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>

// The record model is compiled into this library; a static library drops a
// resource nobody names, so the store names it before the first lookup.
static void initModelResources() {
    Q_INIT_RESOURCE(models);
}

namespace quillet {

namespace {
QMutex g_mutex;
QString g_searchPath = QStringLiteral(":/models");
} // namespace

void ManagedObjectModel::setModelSearchPath(const QString& path) {
    QMutexLocker lock(&g_mutex);
    g_searchPath = path;
}

QString ManagedObjectModel::modelSearchPath() {
    QMutexLocker lock(&g_mutex);
    return g_searchPath;
}

std::shared_ptr<ManagedObjectModel> ManagedObjectModel::mergedModelFromBundles() {
    static const bool resourcesReady = (initModelResources(), true);
    Q_UNUSED(resourcesReady);
    const QDir dir(modelSearchPath());
    auto model = std::make_shared<ManagedObjectModel>();
    for (const QString& name : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        for (const QJsonValue& value : root.value(QStringLiteral("entities")).toArray()) {
            const QJsonObject entity = value.toObject();
            const QString entityName = entity.value(QStringLiteral("name")).toString();
            if (entityName.isEmpty() || model->entities_.contains(entityName)) {
                continue;
            }
            model->entities_.append(entityName);
            if (entityName == QLatin1String("Entry")) {
                model->version_ = entity.value(QStringLiteral("version")).toInt();
            }
        }
    }
    if (model->entities_.isEmpty()) {
        return nullptr;
    }
    return model;
}

} // namespace quillet
