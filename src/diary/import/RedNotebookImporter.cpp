#include "diary/import/RedNotebookImporter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <yaml-cpp/yaml.h>

namespace quillet {

namespace {

// Only the month files: RedNotebook's ".old", ".new" and conflict copies are not read.
const QRegularExpression kMonthFile(QStringLiteral("^(\\d{4})-(\\d{2})\\.txt$"));

// The month files of the data folder (or of its "data" folder, or one month file).
QStringList monthFiles(const QString& path) {
    const QFileInfo info(path);
    if (info.isFile()) {
        return kMonthFile.match(info.fileName()).hasMatch() ? QStringList{path} : QStringList();
    }
    QDir folder(path);
    if (folder.entryList({QStringLiteral("*.txt")}, QDir::Files).isEmpty() &&
        folder.exists(QStringLiteral("data"))) {
        folder.setPath(folder.filePath(QStringLiteral("data")));
    }
    QStringList files;
    for (const QString& name :
         folder.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
        if (kMonthFile.match(name).hasMatch()) {
            files.append(folder.filePath(name));
        }
    }
    return files;
}

QString text(const YAML::Node& node) {
    return node.IsScalar() ? QString::fromStdString(node.Scalar()) : QString();
}

// A day's categories as hashtags: a tag (a category without entries) is
// "#tag", an entry of a category "#category:entry".
QStringList categoryTags(const YAML::Node& day) {
    QStringList tags;
    for (const auto& item : day) {
        const QString category = text(item.first);
        if (category == QLatin1String("text") || category.isEmpty()) {
            continue;
        }
        if (item.second.IsMap() && item.second.size() > 0) {
            for (const auto& entry : item.second) {
                tags.append(category + QLatin1Char(':') + text(entry.first));
            }
        } else {
            tags.append(category);
        }
    }
    return tags;
}

// One month file: its entries, or why it cannot be read (then none of it is taken).
QString readMonth(const QString& path, ImportSource* source) {
    const QString name = QFileInfo(path).fileName();
    const QRegularExpressionMatch match = kMonthFile.match(name);
    const int year = match.captured(1).toInt();
    const int month = match.captured(2).toInt();
    QByteArray bytes;
    QString error;
    QString decoded;
    if (!importtext::readFile(path, &bytes, &error)) {
        return error;
    }
    if (!importtext::decodeUtf8(bytes, &decoded)) {
        return QCoreApplication::translate("DiaryImport", "%1 is not UTF-8 text").arg(name);
    }
    std::vector<ImportedEntry> entries;
    try {
        const YAML::Node root = YAML::Load(bytes.toStdString());
        if (root.IsNull()) {
            return {}; // an empty month
        }
        if (!root.IsMap()) {
            return QCoreApplication::translate("DiaryImport",
                                               "%1 is not a RedNotebook month (no days in it)")
                .arg(name);
        }
        for (const auto& item : root) {
            bool isNumber = false;
            const int dayNumber = text(item.first).toInt(&isNumber);
            const QDate day(year, month, isNumber ? dayNumber : 0);
            if (!day.isValid() || !item.second.IsMap()) {
                return QCoreApplication::translate("DiaryImport",
                                                   "%1: \"%2\" is not a day of the month")
                    .arg(name, text(item.first).left(20));
            }
            const QString words = text(item.second["text"]);
            const QStringList tags = categoryTags(item.second);
            if (words.trimmed().isEmpty() && tags.isEmpty()) {
                continue;
            }
            entries.push_back({importtext::noonOf(day), importtext::withTagLine(words, tags, false),
                               QString(), 0});
        }
    } catch (const YAML::Exception& e) {
        return QCoreApplication::translate("DiaryImport", "%1 is not valid YAML (line %2: %3)")
            .arg(name)
            .arg(e.mark.line + 1)
            .arg(QString::fromStdString(e.msg));
    }
    for (ImportedEntry& entry : entries) {
        source->entries.push_back(std::move(entry));
    }
    return {};
}

} // namespace

QString RedNotebookImporter::formatId() const {
    return QStringLiteral("rednotebook");
}

QString RedNotebookImporter::formatName() const {
    return QStringLiteral("RedNotebook");
}

bool RedNotebookImporter::detect(const QString& path) const {
    return !monthFiles(path).isEmpty();
}

ImportSource RedNotebookImporter::read(const QString& path) const {
    ImportSource source;
    const QStringList files = monthFiles(path);
    if (files.isEmpty()) {
        source.error = QCoreApplication::translate(
                           "DiaryImport", "%1 holds no RedNotebook month files (YYYY-MM.txt)")
                           .arg(QFileInfo(path).fileName());
        return source;
    }
    for (const QString& file : files) {
        const QString why = readMonth(file, &source);
        if (!why.isEmpty()) {
            source.skipped.append(why);
        }
    }
    return source;
}

} // namespace quillet
