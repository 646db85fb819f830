#include "core/LaunchProbe.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace quillet {

namespace {
long statusKilobytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

// CPU time of the calling (main) thread so far: unlike wall time, barely
// moved by a busy machine, which makes launch changes comparable between runs.
long long cpuMicroseconds() {
    timespec cpu{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
    return cpu.tv_sec * 1000000LL + cpu.tv_nsec / 1000;
}

long long nowMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}
} // namespace

LaunchProbe::LaunchProbe(std::function<bool()> everythingIn, QObject* parent)
    : QObject(parent), everythingIn_(std::move(everythingIn)) {}

bool LaunchProbe::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest) {
        watched->removeEventFilter(this);
        // Queued, so that the paint under way finishes first.
        QMetaObject::invokeMethod(
            this, [this] { paintDone(); }, Qt::QueuedConnection);
    }
    return false;
}

void LaunchProbe::paintDone() {
    std::printf("first paint at %lld us\nmain thread cpu before paint %lld us\n", nowMicroseconds(),
                cpuMicroseconds());
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            [this] { loopWaits(); });
    // A short timer on the main loop: how late it fires is how long a key
    // pressed then would have waited.
    last_ = nowMicroseconds();
    ticker_.setTimerType(Qt::PreciseTimer);
    connect(&ticker_, &QTimer::timeout, this, [this] {
        const long long now = nowMicroseconds();
        longestBusy_ = std::max(longestBusy_, now - last_ - kTick * 1000);
        last_ = now;
        if (done_) {
            // One tick after everything is in, so that taking it in was timed too.
            std::printf("longest busy %lld us\n", longestBusy_);
            std::fflush(stdout);
            QCoreApplication::exit(0);
        }
    });
    ticker_.start(kTick);
}

void LaunchProbe::loopWaits() {
    if (!free_) {
        free_ = true;
        std::printf("loop free at %lld us\n", nowMicroseconds());
    }
    if (!done_ && everythingIn_()) {
        done_ = true;
        std::printf("everything in at %lld us\nrss %ld kB\npeak %ld kB\n", nowMicroseconds(),
                    statusKilobytes("VmRSS:"), statusKilobytes("VmHWM:"));
    }
}

} // namespace quillet
