#pragma once

namespace quillet {

class AppDelegate;
class JournalPopovers;
class MainWindow;

// What the main interface file would connect: the window's life-cycle
// calls, its menu and toolbar actions, the cloud question's buttons and the
// popovers' buttons, each to the application delegate's action of the same
// job. A menu command does nothing while the lock screen shows.
class ActionWiring {
public:
    // Everything but the popovers, which are built on first use.
    static void connectWindow(AppDelegate* delegate, MainWindow* window);
    // The popovers' buttons and the color picker, once they are built.
    static void connectPopovers(AppDelegate* delegate, JournalPopovers* popovers);
};

} // namespace quillet
