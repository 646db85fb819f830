#pragma once

#include <QCoreApplication>
#include <QString>

namespace quillet {

// Setting up the cloud folder from the window: the root chosen is kept in
// the settings (QUILLET_CLOUD_ROOT still wins while it is set), the
// container is made in it, and a Syncthing folder around it is told to
// leave this machine's ".nosync" files alone.
class CloudFolderSetup {
    Q_DECLARE_TR_FUNCTIONS(CloudFolderSetup)

public:
    struct Outcome {
        bool ok = false;
        QString container; // the container folder made or found
        QString message;   // what was done, for the user
    };
    // `folder` is the root, or the container folder itself.
    static Outcome chooseFolder(const QString& folder, const QString& identifier);
    // Forgets the chosen root (the container and its files stay).
    static bool stopUsing();
    // The root chosen in the settings (null: none).
    static QString chosenRoot();

    // The Syncthing folder holding `path` (the nearest folder with a
    // ".stfolder" marker, `path` included); null when none.
    static QString syncthingFolderAround(const QString& path);
    // Adds the line "*.nosync" to the ".stignore" of `syncthingFolder` unless
    // it is there; false when it could not be written.
    enum class IgnoreOutcome { Added, AlreadyThere, Failed };
    static IgnoreOutcome ignoreNoSync(const QString& syncthingFolder, QString* why = nullptr);
};

} // namespace quillet
