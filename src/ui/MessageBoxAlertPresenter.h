#pragma once

#include "core/AlertPresenter.h"

namespace quillet {

// Alerts as modal message boxes over the active window.
class MessageBoxAlertPresenter : public AlertPresenter {
public:
    void presentError(const Error& error) override;
    void runAlertPanel(const QString& title, const QString& message,
                       const QString& button) override;
};

} // namespace quillet
