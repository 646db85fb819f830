#pragma once

#include <functional>

namespace quillet {

// The application object's services the diary relies on outside the widgets:
// ending the program and knowing whether a modal dialog is running.
class Application {
public:
    // Asks the application to quit at the next turn of the main event loop.
    static void terminate();
    static void setTerminateHandler(std::function<void()> handler);

    // True while a modal dialog runs its own event loop. The widget layer
    // installs the real answer; without it the answer is no.
    static bool isModalSessionRunning();
    static void setModalSessionQuery(std::function<bool()> query);
};

} // namespace quillet
