// The application delegate's import, export and print commands: each hands
// the diary's objects to the window or dialog that does the work.
#include "app/AppDelegate.h"

#include "diary/import/DiaryImport.h"
#include "store/ArrayController.h"
#include "ui/ImportDialog.h"
#include "ui/MainWindow.h"
#include "ui/export/ExportCommands.h"

namespace quillet {

void AppDelegate::showImportDialog(const QString& path) {
    if (!importDialog_) {
        importDialog_ =
            new ImportDialog(managedObjectContext(), DiaryImport::sharedImport(), window_);
    }
    importDialog_->show();
    importDialog_->raise();
    importDialog_->activateWindow();
    if (!path.isEmpty()) {
        importDialog_->importPath(path);
    }
}

QString AppDelegate::takeImportFromCommandLine(const QString& path) {
    if (!validateMenuItem()) {
        return QStringLiteral(
            "its window is locked behind the passcode; unlock it, then import again");
    }
    if (DiaryImport::sharedImport()->isWorking()) {
        return QStringLiteral("an import is already under way in its window");
    }
    showImportDialog(path);
    return {};
}

void AppDelegate::exportEntries(QObject* sender) {
    Q_UNUSED(sender);
    ExportCommands::exportEntries(window_, arrayController_->arrangedObjects(), utility());
}

void AppDelegate::printEntries(QObject* sender) {
    Q_UNUSED(sender);
    ExportCommands::printEntries(window_, arrayController_->arrangedObjects(), utility());
}

} // namespace quillet
