#include "core/Application.h"

#include <QCoreApplication>
#include <QMutex>

namespace quillet {

namespace {
struct State {
    QMutex mutex;
    std::function<void()> terminate;
    std::function<bool()> modal;
};
State& state() {
    static State s;
    return s;
}
} // namespace

void Application::terminate() {
    std::function<void()> handler;
    {
        QMutexLocker lock(&state().mutex);
        handler = state().terminate;
    }
    if (handler) {
        handler();
        return;
    }
    if (QCoreApplication* app = QCoreApplication::instance()) {
        // Queued, so that a quit asked for before the event loop runs still takes effect.
        QMetaObject::invokeMethod(
            app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    }
}

void Application::setTerminateHandler(std::function<void()> handler) {
    QMutexLocker lock(&state().mutex);
    state().terminate = std::move(handler);
}

bool Application::isModalSessionRunning() {
    std::function<bool()> query;
    {
        QMutexLocker lock(&state().mutex);
        query = state().modal;
    }
    return query ? query() : false;
}

void Application::setModalSessionQuery(std::function<bool()> query) {
    QMutexLocker lock(&state().mutex);
    state().modal = std::move(query);
}

} // namespace quillet
