#include "diary/CloudFolderSetup.h"

#include "core/PrivateFolder.h"
#include "core/UserDefaults.h"
#include "store/CloudContainer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quillet {

QString CloudFolderSetup::chosenRoot() {
    return UserDefaults::standardUserDefaults().stringForKey(CloudContainer::kChosenRootKey);
}

CloudFolderSetup::Outcome CloudFolderSetup::chooseFolder(const QString& folder,
                                                         const QString& identifier) {
    Outcome outcome;
    if (folder.isEmpty() || identifier.isEmpty() || !QDir::isAbsolutePath(folder)) {
        outcome.message = tr("No folder was chosen.");
        return outcome;
    }
    QString root = QDir::cleanPath(folder);
    // The container folder itself chosen: its parent is the root.
    if (QFileInfo(root).fileName() == identifier) {
        root = QFileInfo(root).absolutePath();
    }
    outcome.container = root + QLatin1Char('/') + identifier;
    QString why;
    if (!PrivateFolder::makePath(outcome.container, &why)) {
        outcome.message = tr("The cloud folder \u201c%1\u201d could not be made: %2.")
                              .arg(outcome.container, why);
        return outcome;
    }
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject(root, CloudContainer::kChosenRootKey);
    if (!defaults.synchronize()) {
        outcome.message = tr("The choice could not be kept: the settings file cannot be written.");
        return outcome;
    }
    outcome.ok = true;
    QStringList said{tr("Cloud folder chosen.")};
    const QString syncthing = syncthingFolderAround(root);
    if (!syncthing.isEmpty()) {
        const QString ignore = syncthing + QStringLiteral("/.stignore");
        switch (ignoreNoSync(syncthing, &why)) {
        case IgnoreOutcome::Added:
            said << tr("Added \u201c*.nosync\u201d to the Syncthing folder's \u201c%1\u201d, so "
                       "that each machine keeps its own diary file.")
                        .arg(ignore);
            break;
        case IgnoreOutcome::AlreadyThere:
            said << tr("The Syncthing folder's \u201c%1\u201d already leaves out "
                       "\u201c*.nosync\u201d.")
                        .arg(ignore);
            break;
        case IgnoreOutcome::Failed:
            said << tr("\u201c*.nosync\u201d could not be added to the Syncthing folder's "
                       "\u201c%1\u201d (%2): add the line yourself.")
                        .arg(ignore, why);
            break;
        }
    }
    const QString environment = CloudContainer::environmentRoot();
    if (!environment.isEmpty() && environment != root) {
        said << tr("QUILLET_CLOUD_ROOT is set (\u201c%1\u201d) and is used while it is.")
                    .arg(environment);
    }
    outcome.message = said.join(QLatin1Char(' '));
    return outcome;
}

bool CloudFolderSetup::stopUsing() {
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey(CloudContainer::kChosenRootKey);
    return defaults.synchronize();
}

QString CloudFolderSetup::syncthingFolderAround(const QString& path) {
    QDir dir(QDir::cleanPath(path));
    for (;;) {
        if (QFileInfo(dir.filePath(QStringLiteral(".stfolder"))).exists()) {
            return dir.absolutePath();
        }
        if (!dir.cdUp()) {
            return QString();
        }
    }
}

CloudFolderSetup::IgnoreOutcome CloudFolderSetup::ignoreNoSync(const QString& syncthingFolder,
                                                               QString* why) {
    const QString path = syncthingFolder + QStringLiteral("/.stignore");
    QByteArray text;
    if (QFileInfo(path).isSymLink()) {
        if (why)
            *why = tr("it is a symbolic link");
        return IgnoreOutcome::Failed;
    }
    QFile existing(path);
    if (existing.exists()) {
        // A pattern file is small; a huge one is not rewritten here.
        if (existing.size() > (1 << 20) || !existing.open(QIODevice::ReadOnly)) {
            if (why)
                *why = existing.exists() && existing.size() > (1 << 20)
                           ? tr("it is larger than a pattern file")
                           : existing.errorString();
            return IgnoreOutcome::Failed;
        }
        text = existing.readAll();
        existing.close();
    }
    for (const QByteArray& line : text.split('\n')) {
        const QByteArray pattern = line.trimmed();
        if (pattern == "*.nosync" || pattern == "(?d)*.nosync") {
            return IgnoreOutcome::AlreadyThere;
        }
    }
    if (!text.isEmpty() && !text.endsWith('\n')) {
        text += '\n';
    }
    text += "*.nosync\n";
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        if (why)
            *why = file.errorString();
        return IgnoreOutcome::Failed;
    }
    return IgnoreOutcome::Added;
}

} // namespace quillet
