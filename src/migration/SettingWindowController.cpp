#include "migration/SettingWindowController.h"

namespace quillet {

SettingWindowController::SettingWindowController(QWidget* parent) : QMainWindow(parent, Qt::Window) {
    setObjectName(QStringLiteral("settingWindow"));
    setWindowTitle(tr("Settings"));
    resize(520, 360);
}

void SettingWindowController::showWindow(QObject* sender) {
    Q_UNUSED(sender);
    show();
    raise();
    activateWindow();
}

void SettingWindowController::performClose(QObject* sender) {
    Q_UNUSED(sender);
    close();
}

} // namespace quillet
