#include "ui/WindowPlace.h"

#include "core/UserDefaults.h"
#include "ui/MainWindow.h"
#include "ui/journal/LeftSplitView.h"

#include "ui/journal/EditTextView.h"

#include <QScrollBar>
#include <QSplitter>

namespace quillet::WindowPlace {

namespace {
const QString kGeometry = QStringLiteral("QuilletWindowGeometry");
const QString kMainSplit = QStringLiteral("QuilletMainSplit");
const QString kLeftSplit = QStringLiteral("QuilletLeftSplit");
const QString kEditorEntry = QStringLiteral("QuilletEditorEntry");
const QString kEditorScroll = QStringLiteral("QuilletEditorScroll");
} // namespace

void restore(MainWindow& window, const UserDefaults& defaults) {
    // Qt checks what it reads: bytes that are not a saved state change nothing.
    window.restoreGeometry(defaults.objectForKey(kGeometry).toByteArray());
    window.mainView->restoreState(defaults.objectForKey(kMainSplit).toByteArray());
    window.leftSplitView->restoreState(defaults.objectForKey(kLeftSplit).toByteArray());
}

void remember(const MainWindow& window, UserDefaults& defaults) {
    defaults.setObject(window.saveGeometry(), kGeometry);
    defaults.setObject(window.mainView->saveState(), kMainSplit);
    defaults.setObject(window.leftSplitView->saveState(), kLeftSplit);
}

void rememberEditorScroll(const MainWindow& window, const QString& entry, UserDefaults& defaults) {
    defaults.setObject(entry, kEditorEntry);
    defaults.setObject(window.editTextView->verticalScrollBar()->value(), kEditorScroll);
}

void restoreEditorScroll(MainWindow& window, const QString& entry, const UserDefaults& defaults) {
    if (entry.isEmpty() || defaults.objectForKey(kEditorEntry).toString() != entry) {
        return;
    }
    // Counted in lines, so it means the same before the whole text is laid out;
    // past the end (the text got shorter elsewhere) it stops at the end.
    bool ok = false;
    const int line = defaults.objectForKey(kEditorScroll).toInt(&ok);
    if (ok && line > 0) {
        window.editTextView->verticalScrollBar()->setValue(line);
    }
}

} // namespace quillet::WindowPlace
