// The diary's entry point: each edition's executable names itself, answers
// --help and --version, makes sure there is a display, then the application
// runs its event loop.
#include "app/AppDelegate.h"
#include "app/CommandLine.h"
#include "app/HeadlessTask.h"
#include "app/LaunchWarmup.h"
#include "core/Bundle.h"
#include "ui/Translations.h"
#include "ui/appearance/AppearanceWatcher.h"

#include <QApplication>

#include <cstdio>
#include <memory>

namespace {

// Prints what the launch asked for and gives its exit status, or -1 to run.
int answer(const quillet::LaunchRequest& request) {
    using Action = quillet::LaunchRequest::Action;
    if (request.action == Action::Run || request.action == Action::Task) {
        return -1;
    }
    std::FILE* stream = request.action == Action::Print ? stdout : stderr;
    std::fputs(request.text.toLocal8Bit().constData(), stream);
    return request.exitCode;
}

} // namespace

int main(int argc, char** argv) {
    const quillet::LaunchIdentity identity{QStringLiteral(QUILLET_BUNDLE_NAME),
                                           QStringLiteral(QUILLET_EXECUTABLE),
                                           QStringLiteral(QUILLET_VERSION)};
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const quillet::LaunchRequest request =
        quillet::CommandLine::parse(arguments, identity, environment);
    if (const int status = answer(request); status >= 0) {
        return status;
    }
    if (const int status = answer(quillet::CommandLine::checkFolders(identity, environment));
        status >= 0) {
        return status;
    }
    if (request.action == quillet::LaunchRequest::Action::Task) {
        // No window and no display: the offscreen platform lays out the PDF's text.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication::setApplicationName(identity.name);
        QGuiApplication app(argc, argv);
        quillet::Bundle::mainBundle().setBundleName(identity.name);
        return quillet::HeadlessTask::run(request.task);
    }

    // Named before the window exists: X11 takes its WM_CLASS from the
    // application name and Wayland its app id from the desktop file name, and
    // both must match the installed .desktop file.
    QApplication::setApplicationName(identity.name);
    QApplication::setApplicationVersion(identity.version);
    QGuiApplication::setDesktopFileName(QStringLiteral(QUILLET_APP_ID));
    quillet::warmUpBeforeTheWindow();
    auto guard = std::make_unique<quillet::PlatformStartGuard>(identity);
    QApplication app(argc, argv);
    guard.reset();

    // Qt has taken its own options out of the arguments by now.
    if (const int status = answer(
            quillet::CommandLine::checkLeftovers(QApplication::arguments().mid(1), identity));
        status >= 0) {
        return status;
    }
    quillet::Bundle::mainBundle().setBundleName(identity.name);
    quillet::Translations::use(QLocale::system());
    // A debugging aid: the dark look without a dark desktop.
    if (qgetenv("QUILLET_PALETTE") == "dark") {
        QApplication::setPalette(quillet::AppearanceWatcher::darkPalette());
    }
    return quillet::AppDelegate::applicationMain(app);
}
