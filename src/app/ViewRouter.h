#pragma once

class QWidget;

namespace quillet {

class MainWindow;
class Utility;

// Which of the four views fills the main window: the lock screen while the
// diary is locked and not yet opened in this session, the cloud question or
// the cloud blocker while the cloud folder's state asks for them, the
// journal otherwise. Exactly one shows after every decision; the toolbar
// and the delegate's menu commands go with the journal.
class ViewRouter {
public:
    ViewRouter(MainWindow* window, Utility* utility);

    void decideWhichViewToShow(bool passcodeValidatedOnCurrentSession);
    void showPasscodeView();
    void showMainView();
    void showAskCloudView();
    void showICloudDisabledView();
    // The delegate's menu commands are enabled exactly while the lock screen is hidden.
    bool menuEnabled() const;

private:
    void showView(QWidget* shown, bool toolbar);

    MainWindow* window_;
    Utility* utility_;
};

} // namespace quillet
