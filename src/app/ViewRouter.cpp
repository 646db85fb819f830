#include "app/ViewRouter.h"

#include "diary/Utility.h"
#include "ui/MainWindow.h"
#include "ui/journal/EditTextView.h"
#include "ui/passcode/PasscodeView.h"

#include <QAction>
#include <QSplitter>
#include <QToolBar>

namespace quillet {

ViewRouter::ViewRouter(MainWindow* window, Utility* utility) : window_(window), utility_(utility) {}

void ViewRouter::decideWhichViewToShow(bool passcodeValidatedOnCurrentSession) {
    Utility* u = utility_;
    if (u->isPasscodeLocked() && !passcodeValidatedOnCurrentSession) {
        showPasscodeView();
        return;
    }
    if (u->isICloudSupported()) {
        if (u->isICloudEnabled()) {
            if (!u->isICloudStoreExist() && !u->isUseICloudAsked()) {
                showAskCloudView();
                return;
            }
        } else if (u->isLocalStoreMigrated()) {
            showICloudDisabledView();
            return;
        }
    }
    showMainView();
}

bool ViewRouter::menuEnabled() const {
    return window_->passcodeView->isHidden();
}

void ViewRouter::showView(QWidget* shown, bool toolbar) {
    window_->toolbarToggleAction->setVisible(toolbar);
    window_->toolbar->setVisible(toolbar);
    for (QWidget* view :
         {static_cast<QWidget*>(window_->mainView), static_cast<QWidget*>(window_->passcodeView),
          window_->askIfUseICloudView, window_->cloudDisabledBlockerView}) {
        view->setVisible(view == shown);
    }
    const bool enabled = menuEnabled();
    for (QAction* action : window_->delegateActions()) {
        action->setEnabled(enabled);
    }
}

void ViewRouter::showPasscodeView() {
    PasscodeView* lock = window_->passcodeView;
    showView(lock, false);
    lock->setViewType(QStringLiteral("Door"));
    lock->setFocus(Qt::OtherFocusReason);
}

void ViewRouter::showMainView() {
    showView(window_->mainView, true);
    window_->editTextView->setFocus(Qt::OtherFocusReason);
    if (const std::optional<QFont> font = utility_->currentFont()) {
        window_->editTextView->setFont(*font);
    }
}

void ViewRouter::showAskCloudView() {
    showView(window_->askIfUseICloudView, false);
    window_->askIfUseICloudView->setFocus(Qt::OtherFocusReason);
}

void ViewRouter::showICloudDisabledView() {
    showView(window_->cloudDisabledBlockerView, false);
    window_->cloudDisabledBlockerView->setFocus(Qt::OtherFocusReason);
}

} // namespace quillet
