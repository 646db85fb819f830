#pragma once

#include <QDBusVariant>
#include <QObject>
#include <optional>

namespace quillet {

// Whether the desktop asks for a dark look. Two sources: the window and text
// lightness of the palette Qt got from the platform theme (a KDE colour
// scheme arrives that way), and the desktop portal's "color-scheme" setting
// (GNOME's "prefer dark"), read over D-Bus when a portal answers.
class DesktopAppearance : public QObject {
    Q_OBJECT
public:
    // The portal's values of org.freedesktop.appearance color-scheme.
    enum class PortalScheme { NoPreference = 0, PreferDark = 1, PreferLight = 2 };

    // A portal that states a preference decides; otherwise a palette whose
    // window is darker than its text is a dark one. Lightness in 0..255.
    static bool prefersDark(int windowLightness, int textLightness,
                            std::optional<PortalScheme> portal);
    // The portal's reply as sent: a number, possibly wrapped in variants.
    static std::optional<PortalScheme> schemeFromReply(const QVariant& reply);

    explicit DesktopAppearance(QObject* parent = nullptr);

    // Asks the portal once, without waiting; portalSchemeChanged follows the
    // answer and every later change the desktop announces.
    void watchPortal();
    std::optional<PortalScheme> portalScheme() const;

signals:
    void portalSchemeChanged();

private slots:
    void onSettingChanged(const QString& nameSpace, const QString& key, const QDBusVariant& value);

private:
    void setPortalScheme(std::optional<PortalScheme> scheme);
    std::optional<PortalScheme> portal_;
};

} // namespace quillet
