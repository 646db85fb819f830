#include "ui/export/DiaryPrinter.h"

#include "diary/Utility.h"
#include "diary/export/JsonExporter.h"
#include "diary/export/MarkdownExporter.h"

#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace quillet {

std::unique_ptr<QTextDocument> DiaryPrinter::document(const std::vector<ExportedEntry>& entries,
                                                      Utility* utility) {
    QString html = QStringLiteral("<html><body>");
    QDate lastDay;
    for (const ExportedEntry& entry : entries) {
        if (entry.date.date() != lastDay || !lastDay.isValid()) {
            lastDay = entry.date.date();
            html += QStringLiteral("<h2>%1</h2>")
                        .arg(utility
                                 ->stringWithDateFormat(QStringLiteral("EEEE, MMMM d, yyyy"),
                                                        entry.date)
                                 .toHtmlEscaped());
        }
        // The text as written: its line breaks kept, its direction its own.
        html +=
            QStringLiteral("<p><b>%1</b></p><p dir=\"auto\" style=\"white-space: pre-wrap\">%2</p>")
                .arg(entry.date.toString(QStringLiteral("HH:mm")), entry.text.toHtmlEscaped());
    }
    html += QStringLiteral("</body></html>");
    auto document = std::make_unique<QTextDocument>();
    document->setHtml(html);
    return document;
}

void DiaryPrinter::print(const std::vector<ExportedEntry>& entries, QPagedPaintDevice* device,
                         Utility* utility) {
    document(entries, utility)->print(device);
}

bool DiaryPrinter::writePdf(const std::vector<ExportedEntry>& entries, const QString& path,
                            Utility* utility, QString* error) {
    // Written beside the target and put in its place when whole, private to the user.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        *error = file.errorString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setTitle(QStringLiteral("Quillet2 diary"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
        print(entries, &writer, utility);
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool writeExport(const QString& format, const std::vector<ExportedEntry>& entries,
                 const QString& path, Utility* utility, QString* error) {
    if (format == QLatin1String("markdown")) {
        return MarkdownExporter::write(entries, path, error);
    }
    if (format == QLatin1String("json")) {
        return JsonExporter::write(entries, path, error);
    }
    if (format == QLatin1String("pdf")) {
        return DiaryPrinter::writePdf(entries, path, utility, error);
    }
    *error = QStringLiteral("there is no export format \"%1\" (markdown, json or pdf)").arg(format);
    return false;
}

} // namespace quillet
