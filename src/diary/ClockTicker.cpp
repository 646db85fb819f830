#include "diary/ClockTicker.h"

#include "core/Application.h"
#include "core/NotificationCenter.h"

#include <QDateTime>
#include <QTimer>

namespace quillet {

ClockTicker::ClockTicker(const void* sender, QObject* parent)
    : QObject(parent), sender_(sender), timer_(new QTimer(this)) {
    timer_->setInterval(3000);
    timer_->setProperty("userInfo", userInfo());
    connect(timer_, &QTimer::timeout, this, &ClockTicker::tick);
    timer_->start();
    // The first tick is due at once.
    QTimer::singleShot(0, this, &ClockTicker::tick);
}

QVariantMap ClockTicker::userInfo() {
    return {{QStringLiteral("StartDate"), QDateTime::currentDateTime()}};
}

void ClockTicker::tick() {
    // A modal dialog runs its own loop; ticks that fall in it are dropped, not replayed.
    if (Application::isModalSessionRunning()) {
        return;
    }
    NotificationCenter::defaultCenter().postNotification(QStringLiteral("clockTicked"), sender_);
}

} // namespace quillet
