#include "ui/appearance/AppearanceWatcher.h"

#include "core/DesktopAppearance.h"
#include "diary/Utility.h"

#include <QApplication>
#include <QEvent>

namespace quillet {

AppearanceWatcher::AppearanceWatcher(Utility* utility, bool watchPortal, QObject* parent)
    : QObject(parent), utility_(utility), desktop_(new DesktopAppearance(this)) {
    qApp->installEventFilter(this);
    connect(desktop_, &DesktopAppearance::portalSchemeChanged, this, &AppearanceWatcher::update);
    if (watchPortal) {
        desktop_->watchPortal();
    }
    update();
}

AppearanceWatcher::~AppearanceWatcher() {
    qApp->removeEventFilter(this);
}

bool AppearanceWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange && !settingPalette_) {
        // A palette from the desktop replaces the one set here.
        platformPalette_.reset();
        update();
    }
    return QObject::eventFilter(watched, event);
}

void AppearanceWatcher::update() {
    const QPalette platform = platformPalette_ ? *platformPalette_ : QApplication::palette();
    const auto lightness = [&platform](QPalette::ColorRole role) {
        return platform.color(QPalette::Active, role).lightness();
    };
    const int window = lightness(QPalette::Window);
    const int text = lightness(QPalette::WindowText);
    const bool dark = DesktopAppearance::prefersDark(window, text, desktop_->portalScheme());
    const bool paletteDark = window < text;
    settingPalette_ = true;
    if (dark && !paletteDark && !platformPalette_) {
        platformPalette_ = platform;
        QApplication::setPalette(darkPalette());
    } else if (!dark && platformPalette_) {
        const QPalette restored = *platformPalette_;
        platformPalette_.reset();
        QApplication::setPalette(restored);
    }
    settingPalette_ = false;
    utility_->setDarkAppearance(dark);
}

QPalette AppearanceWatcher::darkPalette() {
    const QColor window(0x2a, 0x2e, 0x33);
    const QColor base(0x1f, 0x23, 0x27);
    const QColor text(0xe4, 0xe8, 0xec);
    const QColor disabled(0x7d, 0x84, 0x8c);
    QPalette p(window);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, disabled);
    p.setColor(QPalette::Highlight, QColor(0x3d, 0xae, 0xe9));
    p.setColor(QPalette::HighlightedText, QColor(0x10, 0x14, 0x18));
    p.setColor(QPalette::Link, QColor(0x72, 0xac, 0xd9));
    p.setColor(QPalette::Light, QColor(0x40, 0x45, 0x4b));
    p.setColor(QPalette::Midlight, QColor(0x36, 0x3b, 0x41));
    p.setColor(QPalette::Mid, QColor(0x24, 0x28, 0x2c));
    p.setColor(QPalette::Dark, QColor(0x18, 0x1b, 0x1e));
    p.setColor(QPalette::Shadow, QColor(0x0c, 0x0e, 0x10));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, disabled);
    }
    return p;
}

} // namespace quillet
