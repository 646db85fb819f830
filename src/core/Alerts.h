#pragma once

#include "core/AlertPresenter.h"

namespace quillet {

// Where the diary sends what it must show the user. Calls from any thread are
// shown on the main thread, and the caller waits until the alert is closed.
class Alerts {
public:
    static void presentError(const Error& error);
    static void runAlertPanel(const QString& title, const QString& message, const QString& button);

    // Not owned. Returns the presenter it replaces. Without one, alerts go to the log.
    static AlertPresenter* setPresenter(AlertPresenter* presenter);
    static AlertPresenter* presenter();
};

} // namespace quillet
