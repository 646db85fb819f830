// The diary's entry point: each edition's executable names itself, then the
// application runs its event loop.
#include "app/AppDelegate.h"
#include "core/Bundle.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quillet::Bundle::mainBundle().setBundleName(QStringLiteral(QUILLET_BUNDLE_NAME));
    QApplication::setApplicationName(QStringLiteral(QUILLET_BUNDLE_NAME));
    return quillet::AppDelegate::applicationMain(app);
}
