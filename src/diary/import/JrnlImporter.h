#pragma once

#include "diary/import/DiaryFormatImporter.h"

namespace quillet {

// jrnl's plain-text journal and its JSON export.
class JrnlImporter : public DiaryFormatImporter {
public:
    QString formatId() const override;
    QString formatName() const override;
    bool detect(const QString& path) const override;
    ImportSource read(const QString& path) const override;
};

} // namespace quillet
