#include "diary/SessionMarker.h"

#include "core/PropertyList.h"

namespace quillet {

namespace {
const QString kSessionID = QStringLiteral("sessionID");

QString markerPath(const QString& folder) {
    return folder + QStringLiteral("/sessionID.plist");
}
} // namespace

SessionMarker::SessionMarker(FolderSource folder) : folder_(std::move(folder)) {}

QString SessionMarker::sessionID() const {
    const QString folder = folder_();
    if (folder.isEmpty()) {
        return QString();
    }
    const std::optional<QVariantMap> plist = PropertyList::readDictionary(markerPath(folder));
    if (!plist) {
        return QString();
    }
    const QVariant value = plist->value(kSessionID);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

void SessionMarker::setSessionID(const QString& identifier) {
    const QString folder = folder_();
    if (folder.isEmpty()) {
        return;
    }
    PropertyList::writeDictionary({{kSessionID, identifier}}, markerPath(folder));
}

} // namespace quillet
