#include "ui/WindowPlace.h"

#include "core/UserDefaults.h"
#include "ui/MainWindow.h"
#include "ui/journal/LeftSplitView.h"

#include <QSplitter>

namespace quillet::WindowPlace {

namespace {
const QString kGeometry = QStringLiteral("QuilletWindowGeometry");
const QString kMainSplit = QStringLiteral("QuilletMainSplit");
const QString kLeftSplit = QStringLiteral("QuilletLeftSplit");
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

} // namespace quillet::WindowPlace
