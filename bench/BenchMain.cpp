// The benchmarks run inside a QApplication on the offscreen platform, in a
// throw-away home, so that they never touch the user's own diary or settings.
#include "BenchSupport.h"

#include "core/Bundle.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>

int main(int argc, char** argv) {
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/quillet-bench-home-XXXXXX"));
    if (!home.isValid()) {
        return 1;
    }
    for (const char* name :
         {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "QUILLET_CLOUD_ROOT"}) {
        const QString folder = home.path() + QLatin1Char('/') + QString::fromLatin1(name).toLower();
        QDir().mkpath(folder);
        qputenv(name, QFile::encodeName(folder));
    }
    qputenv("QUILLET_NO_SYSLOG", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    quillet::Bundle::mainBundle().setBundleName(QStringLiteral("Quillet2"));

    int exitCode = 0;
    if (quillet::bench::runProbeMode(argc, argv, &exitCode)) {
        return exitCode;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
