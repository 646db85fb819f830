#pragma once

#include "diary/import/DiaryFormatImporter.h"

namespace quillet {

// Day One's JSON export, alone or in the zip that holds Journal.json.
class DayOneImporter : public DiaryFormatImporter {
public:
    QString formatId() const override;
    QString formatName() const override;
    bool detect(const QString& path) const override;
    ImportSource read(const QString& path) const override;
};

} // namespace quillet
