#pragma once

#include <QString>

namespace quillet {

// An error a caller can show: where it comes from, its code, and a sentence
// for the user.
struct Error {
    QString domain;
    int code = 0;
    QString localizedDescription;

    bool isNull() const { return domain.isEmpty() && code == 0 && localizedDescription.isEmpty(); }
};

// Domains of errors made by this layer.
inline const QString kStoreErrorDomain = QStringLiteral("QuilletStoreErrorDomain");
inline const QString kFileErrorDomain = QStringLiteral("QuilletFileErrorDomain");

// Codes, chosen to match the file-reading codes the rest of the diary tests for.
enum ErrorCode : int {
    FileReadNoSuchFileError = 260,
    FileReadUnknownError = 256,
    FileWriteUnknownError = 512,
    StoreOpenError = 134000,
    StoreIncompatibleVersionError = 134100,
    StoreInUseError = 134010,
    StoreSaveError = 134030,
    StoreCorruptError = 134040,
    // The file a store opened was moved, replaced or deleted; nothing was saved over it.
    StoreFileMovedError = 134050,
    // A record being saved was removed from the file meanwhile (by another machine's change).
    StoreEntryGoneError = 134060,
};

} // namespace quillet
