// The yardstick for the diary's launch time: an empty main window, shown the
// same way, that prints the time of its first paint and of the main loop's
// first wait after it, its resident memory and peak, and quits.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QMainWindow>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <utility>

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

class ExitAfterFirstPaint : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this,
                [this] {
                    std::printf("first paint at %lld us\nmain thread cpu before paint %lld us\n",
                                nowMicroseconds(), cpuMicroseconds());
                    connect(QAbstractEventDispatcher::instance(),
                            &QAbstractEventDispatcher::aboutToBlock, this, [] {
                                static bool reported = false;
                                if (std::exchange(reported, true)) {
                                    return;
                                }
                                const long long now = nowMicroseconds();
                                std::printf("loop free at %lld us\neverything in at %lld us\nrss "
                                            "%ld kB\npeak %ld kB\n",
                                            now, now, statusKilobytes("VmRSS:"),
                                            statusKilobytes("VmHWM:"));
                                std::fflush(stdout);
                                QCoreApplication::exit(0);
                            });
                },
                Qt::QueuedConnection);
        }
        return false;
    }
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(1000, 700);
    ExitAfterFirstPaint hook;
    window.installEventFilter(&hook);
    window.show();
    return app.exec();
}
