#include "ui/export/ExportCommands.h"

#include "ui/export/DiaryPrinter.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace quillet {

namespace {

struct Format {
    const char* id;
    const char* filter;
    const char* suffix;
};
const Format kFormats[] = {{"markdown", "Markdown (*.md)", "md"},
                           {"json", "JSON (*.json)", "json"},
                           {"pdf", "PDF (*.pdf)", "pdf"}};

} // namespace

void ExportCommands::exportEntries(QWidget* parent, const std::vector<ManagedObject*>& entries,
                                   Utility* utility) {
    // Taken now: the list may change while the dialog is open.
    std::vector<ExportedEntry> values = exportedEntries(entries);
    sortByDate(values);
    QStringList filters;
    for (const Format& f : kFormats) {
        filters << QString::fromLatin1(f.filter);
    }
    QFileDialog dialog(parent, QObject::tr("Export Entries"),
                       QDir::home().filePath(QStringLiteral("Quillet2 diary.md")));
    dialog.setObjectName(QStringLiteral("exportDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) {
                         for (const Format& f : kFormats) {
                             if (filter == QLatin1String(f.filter)) {
                                 dialog.setDefaultSuffix(QString::fromLatin1(f.suffix));
                                 const QFileInfo chosen(dialog.selectedFiles().value(0));
                                 dialog.selectFile(chosen.completeBaseName() + QLatin1Char('.') +
                                                   QLatin1String(f.suffix));
                             }
                         }
                     });
    dialog.setDefaultSuffix(QStringLiteral("md"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const QString path = dialog.selectedFiles().constFirst();
    // The file's suffix says the format when it names one; the chosen type otherwise.
    QString format = QString::fromLatin1(kFormats[0].id);
    for (const Format& f : kFormats) {
        if (dialog.selectedNameFilter() == QLatin1String(f.filter)) {
            format = QString::fromLatin1(f.id);
        }
    }
    for (const Format& f : kFormats) {
        if (QFileInfo(path).suffix().compare(QLatin1String(f.suffix), Qt::CaseInsensitive) == 0) {
            format = QString::fromLatin1(f.id);
        }
    }
    QString error;
    if (!writeExport(format, values, path, utility, &error)) {
        QMessageBox::warning(
            parent, QObject::tr("Export Entries"),
            QObject::tr("The entries could not be written to %1: %2").arg(path, error));
    }
}

void ExportCommands::printEntries(QWidget* parent, const std::vector<ManagedObject*>& entries,
                                  Utility* utility) {
    std::vector<ExportedEntry> values = exportedEntries(entries);
    sortByDate(values);
    QPrinter printer;
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("printDialog"));
    if (dialog.exec() == QDialog::Accepted) {
        DiaryPrinter::print(values, &printer, utility);
    }
}

} // namespace quillet
