#pragma once

#include "diary/import/DiaryFormatImporter.h"

namespace quillet {

// This diary's own JSON export (docs/json-export-format.md), read back with
// identifiers and color tags.
class QuilletJsonImporter : public DiaryFormatImporter {
public:
    QString formatId() const override;
    QString formatName() const override;
    bool detect(const QString& path) const override;
    ImportSource read(const QString& path) const override;
};

} // namespace quillet
