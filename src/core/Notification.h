#pragma once

#include <QString>
#include <QVariantMap>

namespace quillet {

// A named notification with the object that posted it (compared by identity
// only) and a user info map.
struct Notification {
    QString name;
    const void* object = nullptr;
    QVariantMap userInfo;
};

} // namespace quillet
