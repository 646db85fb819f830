// A second diary process for the store tests. It opens the diary given on
// its command line and then obeys one command per line on its input:
//   add N TEXT   saves N new entries "TEXT 0" .. "TEXT N-1" in one save
//   count        answers the number of entries it holds
// Every answer is one line, written and flushed before the next command is
// read, so a test knows exactly what had been saved when it kills the process.
#include "core/Error.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/ManagedObjectModel.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/StoreOptions.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QUuid>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

using namespace quillet;

namespace {
void say(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s STORE_PATH\n", argv[0]);
        return 2;
    }
    PersistentStoreCoordinator coordinator(ManagedObjectModel::mergedModelFromBundles());
    Error error;
    if (!coordinator.addPersistentStore(NSSQLiteStoreType, QString(),
                                        QString::fromLocal8Bit(argv[1]), QVariantMap(), &error)) {
        say(QStringLiteral("error %1 %2").arg(error.code).arg(error.localizedDescription));
        return 1;
    }
    ManagedObjectContext context;
    context.setPersistentStoreCoordinator(&coordinator);
    say(QStringLiteral("opened %1").arg(context.registeredObjects().size()));

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream in(line);
        std::string command;
        in >> command;
        if (command == "add") {
            int count = 0;
            in >> count;
            std::string text;
            std::getline(in >> std::ws, text);
            const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
            for (int i = 0; i < count; ++i) {
                ManagedObject* entry = context.insertNewObject(QStringLiteral("Entry"));
                entry->setValue(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(),
                                QStringLiteral("uuid"));
                entry->setValue(QString::fromStdString(text) + QStringLiteral(" %1").arg(i),
                                QStringLiteral("entryText"));
                entry->setValue(stamp.addSecs(i), QStringLiteral("timeStamp"));
                entry->setValue(202311, QStringLiteral("monthTag"));
                entry->setValue(i % 6, QStringLiteral("colorTag"));
            }
            say(context.save(&error) ? QStringLiteral("saved")
                                     : QStringLiteral("failed ") + error.localizedDescription);
        } else if (command == "count") {
            say(QString::number(context.registeredObjects().size()));
        } else {
            say(QStringLiteral("unknown command"));
        }
    }
    return 0;
}
