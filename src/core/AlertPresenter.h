#pragma once

#include "core/Error.h"

#include <QString>

namespace quillet {

// Shows errors and alerts to the user. The application installs one built on
// modal message boxes; tests install one that counts.
class AlertPresenter {
public:
    virtual ~AlertPresenter() = default;
    virtual void presentError(const Error& error) = 0;
    virtual void runAlertPanel(const QString& title, const QString& message,
                               const QString& button) = 0;
};

} // namespace quillet
