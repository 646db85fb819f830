#pragma once

#include <QObject>
#include <QVariantMap>

class QTimer;

namespace quillet {

// Posts "clockTicked" at once and then every 3.0 seconds on the event loop
// of the thread that makes it, for as long as it lives. The notification
// carries the given sender as its object. Ticks that fall in a modal dialog
// are dropped, not replayed.
class ClockTicker : public QObject {
    Q_OBJECT
public:
    ClockTicker(const void* sender, QObject* parent = nullptr);

    // A new { "StartDate": now }; the timer carries one as its "userInfo".
    static QVariantMap userInfo();
    QTimer* timer() const { return timer_; }
    // One firing: posts, unless a modal dialog is running.
    void tick();

private:
    const void* sender_;
    QTimer* timer_;
};

} // namespace quillet
