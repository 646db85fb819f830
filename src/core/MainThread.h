#pragma once

#include <functional>

namespace quillet {

// Running work on the main (GUI) thread from anywhere.
class MainThread {
public:
    static bool isCurrent();
    // Runs fn on the main thread. With wait, returns after fn has run (at once
    // when already on the main thread); without, queues it for a later turn
    // of the main event loop and returns.
    static void run(std::function<void()> fn, bool wait);
};

} // namespace quillet
