#pragma once

#include "diary/import/DiaryFormatImporter.h"

namespace quillet {

// Almanah's diary: its SQLite file diary.db (or the folder that holds it),
// each day's text as GTK's text-buffer serialization, Almanah's own XML or
// plain text, its tags and the important mark. An encrypted diary is refused.
class AlmanahImporter : public DiaryFormatImporter {
public:
    QString formatId() const override;
    QString formatName() const override;
    bool detect(const QString& path) const override;
    ImportSource read(const QString& path) const override;
};

} // namespace quillet
