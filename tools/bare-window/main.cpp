// The yardstick for the diary's launch time: an empty main window, shown the
// same way, that prints the time of its first paint and quits.
#include <QApplication>
#include <QEvent>
#include <QMainWindow>

#include <chrono>
#include <cstdio>

namespace {
class ExitAfterFirstPaint : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(this, [] {
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                std::printf("first paint at %lld us\n",
                            static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
                std::fflush(stdout);
                QCoreApplication::exit(0);
            }, Qt::QueuedConnection);
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
