// Writes a generated diary for trying out and measuring the diary at scale.
//   gen-diary [--count N] [--seed S] [--until YYYY-MM-DD] [--long BYTES [--one-line]]
//             [--old] OUTPUT.sqlite
// Without --old the output is a diary store written through the diary's own
// store code; with --old it is a previous-generation file to import. --long
// adds one entry of that many bytes, dated now (prose, or one unbroken line).
#include "DiaryGenerator.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    quillet::diarygen::Options options;
    bool old = false;
    QString output;
    QTextStream err(stderr);
    auto usage = [&] {
        err << "usage: gen-diary [--count N] [--seed S] [--until YYYY-MM-DD] "
               "[--long BYTES [--one-line]] [--old] OUTPUT.sqlite\n";
        return 2;
    };
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        bool ok = true;
        if (arg == QLatin1String("--count") && !args.isEmpty()) {
            options.count = args.takeFirst().toInt(&ok);
            ok = ok && options.count >= 0;
        } else if (arg == QLatin1String("--seed") && !args.isEmpty()) {
            options.seed = args.takeFirst().toULongLong(&ok);
        } else if (arg == QLatin1String("--until") && !args.isEmpty()) {
            options.lastDay = QDate::fromString(args.takeFirst(), Qt::ISODate);
            ok = options.lastDay.isValid() && options.lastDay >= options.firstDay;
        } else if (arg == QLatin1String("--long") && !args.isEmpty()) {
            options.longEntryBytes = args.takeFirst().toLongLong(&ok);
            ok = ok && options.longEntryBytes > 0;
        } else if (arg == QLatin1String("--one-line")) {
            options.longEntryOneLine = true;
        } else if (arg == QLatin1String("--old")) {
            old = true;
        } else if (!arg.startsWith(QLatin1String("--")) && output.isEmpty()) {
            output = arg;
        } else {
            ok = false;
        }
        if (!ok) {
            return usage();
        }
    }
    if (output.isEmpty()) {
        return usage();
    }
    QString error;
    const bool written = old ? quillet::diarygen::writeOldDiary(output, options, &error)
                             : quillet::diarygen::writeDiary(output, options, &error);
    if (!written) {
        err << "gen-diary: " << error << "\n";
        return 1;
    }
    QTextStream(stdout) << "wrote " << options.count
                        << (old ? " previous-generation rows" : " entries") << " to " << output
                        << "\n";
    return 0;
}
