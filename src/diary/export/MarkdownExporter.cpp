#include "diary/export/MarkdownExporter.h"

#include "diary/Utility.h"

#include <QRegularExpression>

namespace quillet {

namespace {

// A line that Markdown would read as a heading, a list or a rule is marked
// as plain text; the words stay as they are.
QString escapedLine(const QString& line) {
    static const QRegularExpression special(
        QStringLiteral("^(\\s*)(#{1,6}(\\s|$)|>|[*+\\-](\\s|$)|\\d+[.)](\\s|$)|[=\\-]+\\s*$)"));
    QString escaped = line;
    const QRegularExpressionMatch m = special.match(line);
    if (m.hasMatch()) {
        escaped.insert(m.capturedLength(1), QLatin1Char('\\'));
    }
    return escaped;
}

} // namespace

QByteArray MarkdownExporter::markdownForEntries(const std::vector<ExportedEntry>& entries) {
    Utility* utility = Utility::sharedUtility();
    QString text = QStringLiteral("# %1\n").arg(QStringLiteral("Quillet2 diary"));
    QDate lastDay;
    for (const ExportedEntry& entry : entries) {
        if (entry.date.date() != lastDay || !lastDay.isValid()) {
            lastDay = entry.date.date();
            text += QStringLiteral("\n## %1\n")
                        .arg(utility->stringWithDateFormat(QStringLiteral("EEEE, MMMM d, yyyy"),
                                                           entry.date));
        }
        text += QStringLiteral("\n### %1\n\n").arg(entry.date.toString(QStringLiteral("HH:mm")));
        QStringList lines = entry.text.split(QLatin1Char('\n'));
        for (QString& line : lines) {
            // Two blanks keep a single line break a line break.
            line = escapedLine(line) + (line.isEmpty() ? QString() : QStringLiteral("  "));
        }
        text += lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }
    return text.toUtf8();
}

bool MarkdownExporter::write(const std::vector<ExportedEntry>& entries, const QString& path,
                             QString* error) {
    return writePrivateFile(path, markdownForEntries(entries), error);
}

} // namespace quillet
