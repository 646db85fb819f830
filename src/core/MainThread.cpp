#include "core/MainThread.h"

#include <QCoreApplication>
#include <QThread>

namespace quillet {

bool MainThread::isCurrent() {
    QCoreApplication* app = QCoreApplication::instance();
    return app == nullptr || QThread::currentThread() == app->thread();
}

void MainThread::run(std::function<void()> fn, bool wait) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        fn();
        return;
    }
    if (wait) {
        if (isCurrent()) {
            fn();
        } else {
            QMetaObject::invokeMethod(app, std::move(fn), Qt::BlockingQueuedConnection);
        }
    } else {
        QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
    }
}

} // namespace quillet
