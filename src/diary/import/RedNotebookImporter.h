#pragma once

#include "diary/import/DiaryFormatImporter.h"

namespace quillet {

// RedNotebook's data folder: one YAML file per month, YYYY-MM.txt.
class RedNotebookImporter : public DiaryFormatImporter {
public:
    QString formatId() const override;
    QString formatName() const override;
    bool detect(const QString& path) const override;
    ImportSource read(const QString& path) const override;
};

} // namespace quillet
