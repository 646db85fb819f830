#include "diary/export/SystemTextEditorLauncher.h"

#include "core/Log.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace quillet {

bool SystemTextEditorLauncher::openFile(const QString& path) {
    const QString editor = qEnvironmentVariable("QUILLET_TEXT_EDITOR");
    if (!editor.isEmpty()) {
        // The whole value names the program, so a path with blanks works and
        // nothing in it is ever interpreted by a shell.
        if (!QProcess::startDetached(editor, {path})) {
            Log::write(QStringLiteral("Could not start the text editor \"%1\"").arg(editor));
            return false;
        }
        return true;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        Log::write(QStringLiteral("No application opened %1").arg(path));
        return false;
    }
    return true;
}

} // namespace quillet
