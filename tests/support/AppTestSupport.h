#pragma once

#include "DiaryHome.h"

#include <memory>

namespace quillet {
class AppDelegate;
}

namespace quillet::test {

// An application delegate with its interface loaded and its launch run, as
// at start-up, without showing the window.
std::unique_ptr<AppDelegate> launchDelegate();

} // namespace quillet::test
