#pragma once

#include <QString>

namespace quillet {

// The cloud container: a folder per container identifier under a root that a
// file-sync service keeps in step between machines. The user counts as
// signed in exactly when the identifier's folder exists.
class CloudContainer {
public:
    // $QUILLET_CLOUD_ROOT when set, else the root chosen in the settings
    // (kChosenRootKey), else $XDG_DATA_HOME/QuilletCloud.
    static QString rootPath();
    // The root as the environment gives it (null when QUILLET_CLOUD_ROOT is unset).
    static QString environmentRoot();
    static inline const QString kChosenRootKey = QStringLiteral("cloudRoot");
    // The container folder, or null when the user is not signed in.
    static QString URLForUbiquityContainerIdentifier(const QString& identifier);
};

} // namespace quillet
