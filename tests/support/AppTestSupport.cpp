#include "AppTestSupport.h"

#include "app/AppDelegate.h"

#include <QCoreApplication>

namespace quillet::test {

std::unique_ptr<AppDelegate> launchDelegate() {
    auto delegate = std::make_unique<AppDelegate>();
    delegate->loadInterface();
    delegate->applicationDidFinishLaunching();
    QCoreApplication::processEvents();
    return delegate;
}

} // namespace quillet::test
