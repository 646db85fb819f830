#include "diary/export/EntryExporter.h"

#include "core/Log.h"
#include "core/Notices.h"
#include "core/PrivateFile.h"
#include "core/PrivateFolder.h"
#include "core/StandardPaths.h"
#include "diary/Utility.h"
#include "diary/export/SystemTextEditorLauncher.h"
#include "diary/export/TextEditorLauncher.h"
#include "store/ManagedObject.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>

namespace quillet {

namespace {
// The message bar's line for the export: replaced by the next try's.
const QString kExportTopic = QStringLiteral("export");
constexpr QFileDevice::Permissions kPrivateFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
} // namespace

EntryExporter* EntryExporter::sharedExporter() {
    static EntryExporter* shared = new EntryExporter;
    return shared;
}

EntryExporter::EntryExporter() : launcher_(std::make_unique<SystemTextEditorLauncher>()) {}

EntryExporter::~EntryExporter() = default;

void EntryExporter::setLauncher(std::unique_ptr<TextEditorLauncher> launcher) {
    launcher_ = std::move(launcher);
}

QString EntryExporter::exportFolder() {
    const QString cache = StandardPaths::cacheHome();
    return cache.isEmpty() ? QString() : cache + QStringLiteral("/Quillet2");
}

QString EntryExporter::exportPath() {
    const QString folder = exportFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/preview.txt");
}

QString EntryExporter::textForEntries(const std::vector<ManagedObject*>& entries,
                                      const QString& searchString) const {
    Utility* utility = Utility::sharedUtility();
    const QString headerFormat =
        searchString.isEmpty() ? QStringLiteral("[MMMM d EEE]") : QStringLiteral("[yyyy MMMM d]");
    const QString timeFormat = QStringLiteral("hh:mm a");
    QString text;
    std::optional<QString> lastHeader;
    for (const ManagedObject* entry : entries) {
        if (!entry) {
            continue;
        }
        const QDateTime timeStamp = entry->timeStamp();
        const QString header = utility->stringWithDateFormat(headerFormat, timeStamp);
        if (!lastHeader || header != *lastHeader) {
            text += header;
            text += QLatin1Char('\n');
            lastHeader = header;
        }
        text += utility->stringWithDateFormat(timeFormat, timeStamp);
        text += QLatin1Char('\n');
        text += entry->entryText();
        text += QLatin1String("\n\n");
    }
    return text;
}

void EntryExporter::exportToTextAndPreview(const std::vector<ManagedObject*>& entries,
                                           const QString& searchString,
                                           const std::optional<DateComponents>& currentMonth) {
    Q_UNUSED(currentMonth);
    const QString text = textForEntries(entries, searchString);

    const QString folder = exportFolder();
    if (folder.isEmpty()) {
        // Without a home there is no cache folder, and no safe place to write to.
        Log::write(QStringLiteral("No cache folder: neither XDG_CACHE_HOME nor HOME is set"));
        Notices::post(kExportTopic,
                      QCoreApplication::translate("EntryExporter",
                                                  "The export could not be written: there is no "
                                                  "cache folder (neither XDG_CACHE_HOME nor HOME "
                                                  "is set)."));
        return;
    }
    QString reason;
    if (!PrivateFolder::makePath(folder, &reason)) {
        Log::write(QStringLiteral("The folder \u201c%1\u201d could not be created: %2")
                       .arg(folder, reason));
    } else if (!QFile::setPermissions(folder, kPrivateFolder)) {
        Log::write(
            QStringLiteral("The folder \u201c%1\u201d could not be made private").arg(folder));
    }

    // A temporary file renamed over the path: a link planted at preview.txt
    // is replaced, never written through.
    const QString path = exportPath();
    QString why;
    const bool written = PrivateFile::writeWhole(path, text.toUtf8(), &why);
    if (!written) {
        Log::write(
            QStringLiteral("The export \u201c%1\u201d could not be written: %2").arg(path, why));
    }
    Log::write(QStringLiteral("filepath: %1").arg(path));
    if (!written) {
        // An old export, or none, would be shown as if it were this one.
        Notices::post(kExportTopic,
                      QCoreApplication::translate(
                          "EntryExporter", "The export \u201c%1\u201d could not be written: %2")
                          .arg(path, why));
        return;
    }
    if (launcher_ && !launcher_->openFile(path)) {
        Notices::post(kExportTopic,
                      QCoreApplication::translate(
                          "EntryExporter", "The export was written to \u201c%1\u201d, but no "
                                           "program could open it.")
                          .arg(path));
        return;
    }
    Notices::withdraw(kExportTopic);
}

} // namespace quillet
