#include "core/DesktopAppearance.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace quillet {

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kNamespace = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("color-scheme");
// A portal being started on demand may take a moment; the palette rules until then.
constexpr int kPortalTimeoutMs = 3000;
} // namespace

bool DesktopAppearance::prefersDark(int windowLightness, int textLightness,
                                    std::optional<PortalScheme> portal) {
    if (portal && *portal != PortalScheme::NoPreference) {
        return *portal == PortalScheme::PreferDark;
    }
    return windowLightness < textLightness;
}

std::optional<DesktopAppearance::PortalScheme>
DesktopAppearance::schemeFromReply(const QVariant& reply) {
    QVariant value = reply;
    // "Read" wraps the value in two variants, "ReadOne" and the signal in one.
    for (int depth = 0; depth < 3 && value.metaType() == QMetaType::fromType<QDBusVariant>();
         ++depth) {
        value = value.value<QDBusVariant>().variant();
    }
    bool ok = false;
    const uint number = value.toUInt(&ok);
    if (!ok || number > 2 || value.metaType().id() == QMetaType::QString) {
        return std::nullopt;
    }
    return PortalScheme(number);
}

DesktopAppearance::DesktopAppearance(QObject* parent) : QObject(parent) {}

std::optional<DesktopAppearance::PortalScheme> DesktopAppearance::portalScheme() const {
    return portal_;
}

void DesktopAppearance::setPortalScheme(std::optional<PortalScheme> scheme) {
    if (scheme != portal_) {
        portal_ = scheme;
        emit portalSchemeChanged();
    }
}

void DesktopAppearance::watchPortal() {
    // A desktop session names its bus; without one, asking would make libdbus
    // start a bus of its own for X11 (dbus-launch) that outlives the program.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        return;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    // QtDBus looks the slot up by its signature exactly as written, so it is
    // spelled here without the spaces a formatted SLOT() would get.
    const QByteArray slot =
        QByteArray::number(QSLOT_CODE) + "onSettingChanged(QString,QString,QDBusVariant)";
    bus.connect(kService, kPath, kInterface, QStringLiteral("SettingChanged"), this,
                slot.constData());
    // "Read" is what every portal version has; "ReadOne" only the newer ones.
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Read"));
    call << kNamespace << kKey;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kPortalTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                const QDBusPendingReply<QVariant> reply = *finished;
                if (!reply.isError()) {
                    setPortalScheme(schemeFromReply(reply.value()));
                }
                finished->deleteLater();
            });
}

void DesktopAppearance::onSettingChanged(const QString& nameSpace, const QString& key,
                                         const QDBusVariant& value) {
    if (nameSpace == kNamespace && key == kKey) {
        setPortalScheme(schemeFromReply(value.variant()));
    }
}

} // namespace quillet
