#include "app/LaunchWarmup.h"

#include <fontconfig/fontconfig.h>
#include <thread>

namespace quillet {

void warmUpBeforeTheWindow() {
    // fontconfig makes its default configuration once, atomically: should Qt
    // ask before this is done, each makes one and one of them is kept.
    std::thread([] { FcInit(); }).detach();
}

} // namespace quillet
