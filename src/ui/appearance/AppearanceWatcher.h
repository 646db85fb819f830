#pragma once

#include <QObject>
#include <QPalette>
#include <optional>

namespace quillet {

class DesktopAppearance;
class Utility;

// Keeps the theme's light or dark variant in step with the desktop: decides
// at start, and again when the palette changes (a new KDE colour scheme) or
// the portal announces another colour scheme (GNOME). The answer goes to the
// Utility, whose appearanceChanged the views follow.
class AppearanceWatcher : public QObject {
    Q_OBJECT
public:
    // watchPortal: ask the desktop portal too (not in tests, where the
    // session bus is the developer's own).
    AppearanceWatcher(Utility* utility, bool watchPortal, QObject* parent = nullptr);
    ~AppearanceWatcher() override;

    // Decides from the application's palette and the portal's last answer.
    void update();
    // The palette used when the portal asks for dark but the platform's
    // palette is light, so that stock dialogs and menus turn dark as well.
    static QPalette darkPalette();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Utility* utility_;
    DesktopAppearance* desktop_;
    // The platform's palette while ours is set in its place.
    std::optional<QPalette> platformPalette_;
    bool settingPalette_ = false;
};

} // namespace quillet
