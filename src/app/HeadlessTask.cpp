#include "app/HeadlessTask.h"

#include "app/InstanceHandover.h"
#include "core/Bundle.h"
#include "core/NotificationCenter.h"
#include "core/StandardPaths.h"
#include "diary/DiaryStore.h"
#include "diary/Utility.h"
#include "diary/export/ExportedEntry.h"
#include "diary/import/DiaryImport.h"
#include "store/FetchRequest.h"
#include "store/ManagedObjectContext.h"
#include "ui/export/DiaryPrinter.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace quillet {

namespace {

int say(std::FILE* stream, const QString& text, int status) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputs("\n", stream);
    return status;
}

QString name() {
    return Bundle::mainBundle().bundleName();
}

QString openFailure(const DiaryStore& store) {
    const Error error = store.openError();
    if (error.code == StoreInUseError) {
        return QStringLiteral("the diary is open in a %1 window (use its File menu, or quit it and "
                              "try again)")
            .arg(name());
    }
    return error.localizedDescription.isEmpty() ? QStringLiteral("the diary could not be opened")
                                                : error.localizedDescription;
}

int import(const QString& given) {
    const QString path = QDir::cleanPath(QFileInfo(given).absoluteFilePath());
    // The window that holds the diary takes the import and shows its summary.
    const QString server = InstanceHandover::serverName(
        name(), StandardPaths::dataHome(),
        QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
    QString refusal;
    if (InstanceHandover::handOverImport(server, path, &refusal)) {
        return say(stdout,
                   QStringLiteral("%1 is open on this diary: its window took the import of %2 and "
                                  "shows the summary.")
                       .arg(name(), path),
                   0);
    }
    if (!refusal.isEmpty()) {
        return say(stderr,
                   QStringLiteral("%1 is open on this diary and did not take the import: %2.")
                       .arg(name(), refusal),
                   1);
    }
    DiaryStore store(&Utility::sharedUtility()->storeLocations(), nullptr);
    ManagedObjectContext* context = store.managedObjectContext();
    if (!store.hasStore()) {
        return say(stderr, QStringLiteral("Nothing imported: %1.").arg(openFailure(store)), 1);
    }
    ImportReport report;
    QEventLoop loop;
    const int token = NotificationCenter::defaultCenter().addObserver(
        kDiaryDidImport, nullptr, [&](const Notification& note) {
            report = ImportReport::fromUserInfo(note.userInfo);
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
    if (DiaryImport::sharedImport()->start(context, path)) {
        loop.exec();
    }
    NotificationCenter::defaultCenter().removeObserver(token);
    if (!store.flushUnsavedChanges()) {
        report.error = QStringLiteral("the diary could not be saved");
    }
    return say(report.succeeded() ? stdout : stderr, report.summary(), report.succeeded() ? 0 : 1);
}

int exportDiary(const QString& format, const QString& path) {
    DiaryStore store(&Utility::sharedUtility()->storeLocations(), nullptr);
    ManagedObjectContext* context = store.managedObjectContext();
    if (!store.hasStore()) {
        return say(stderr, QStringLiteral("Nothing exported: %1.").arg(openFailure(store)), 1);
    }
    Error error;
    const std::optional<std::vector<ManagedObject*>> all =
        context->executeFetchRequest(FetchRequest(), &error);
    if (!all) {
        return say(stderr, QStringLiteral("Nothing exported: %1.").arg(error.localizedDescription),
                   1);
    }
    std::vector<ExportedEntry> entries = exportedEntries(*all);
    sortByDate(entries);
    QString why;
    if (!writeExport(format, entries, path, Utility::sharedUtility(), &why)) {
        return say(stderr, QStringLiteral("Nothing exported: %1: %2.").arg(path, why), 1);
    }
    return say(stdout, QStringLiteral("%1 entries written to %2.").arg(entries.size()).arg(path),
               0);
}

} // namespace

int HeadlessTask::run(const QStringList& task) {
    if (task.value(0) == QLatin1String("import")) {
        return import(task.value(1));
    }
    return exportDiary(task.value(1), task.value(2));
}

} // namespace quillet
