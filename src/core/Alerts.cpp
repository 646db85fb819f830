#include "core/Alerts.h"

#include "core/Log.h"
#include "core/MainThread.h"

#include <atomic>

namespace quillet {

namespace {
std::atomic<AlertPresenter*> g_presenter{nullptr};
}

AlertPresenter* Alerts::setPresenter(AlertPresenter* presenter) {
    return g_presenter.exchange(presenter);
}

AlertPresenter* Alerts::presenter() {
    return g_presenter.load();
}

void Alerts::presentError(const Error& error) {
    MainThread::run(
        [error] {
            if (AlertPresenter* p = g_presenter.load()) {
                p->presentError(error);
            } else {
                Log::write(QStringLiteral("%1 (%2 %3)")
                               .arg(error.localizedDescription, error.domain)
                               .arg(error.code));
            }
        },
        true);
}

void Alerts::runAlertPanel(const QString& title, const QString& message, const QString& button) {
    MainThread::run(
        [=] {
            if (AlertPresenter* p = g_presenter.load()) {
                p->runAlertPanel(title, message, button);
            } else {
                Log::write(title + QStringLiteral(": ") + message);
            }
        },
        true);
}

} // namespace quillet
