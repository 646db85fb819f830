#include "core/Clock.h"

#include <QMutex>

namespace quillet {

namespace {
QMutex g_mutex;
std::function<QDateTime()> g_now;
} // namespace

QDateTime Clock::now() {
    std::function<QDateTime()> now;
    {
        QMutexLocker lock(&g_mutex);
        now = g_now;
    }
    return now ? now() : QDateTime::currentDateTime();
}

void Clock::setNowForTesting(std::function<QDateTime()> now) {
    QMutexLocker lock(&g_mutex);
    g_now = std::move(now);
}

} // namespace quillet
