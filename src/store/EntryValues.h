#pragma once

#include "store/EntryUuid.h"
#include "store/FoldedText.h"

#include <QByteArray>
#include <QString>
#include <string>

namespace quillet {

// The stored values of one Entry record. The text is kept as UTF-8 to halve
// the memory of a large diary; its search form (case and accents folded) is
// computed once whenever the text changes and stored with it. A diary loaded
// from its file keeps only the search form in memory until a record's text
// is first read (textFaulted).
// The fields go from the widest alignment to the narrowest: 80 bytes.
struct EntryValues {
    QByteArray entryText; // UTF-8; null when never set, or while textFaulted
    FoldedText foldedText;
    double timeStamp = 0; // seconds since 1970-01-01 00:00:00 UTC
    int colorTag = 0;
    int monthTag = 0;
    EntryUuid uuid;           // null when never set
    bool textFaulted = false; // the (non-null) text is still in the store
    bool hasTimeStamp = false;
};

// The text as a record keeps it: UTF-8 at its own size (a conversion keeps
// room for three bytes a character, which a large import would hold on to),
// null when unset.
inline QByteArray recordText(const QString& text) {
    if (text.isNull()) {
        return QByteArray();
    }
    QByteArray bytes = text.toUtf8();
    bytes.squeeze();
    return bytes;
}

} // namespace quillet
