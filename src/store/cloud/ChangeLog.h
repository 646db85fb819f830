#pragma once

#include "store/cloud/HybridClock.h"

#include <QByteArray>
#include <QString>
#include <map>
#include <vector>

namespace quillet::cloud {

// The whole replicated state of one entry: each property with the stamp of
// the change that set it, and the deletion (a tombstone) with its own. The
// text also names the text it replaced (textBase), so that a machine can
// tell an edit made on top of another from one made beside it, and carries
// the moment and color tag its writer saw, which a conflicting copy of it
// takes.
struct EntryState {
    QString uuid;

    Stamp text;
    Stamp textBase;
    QByteArray entryText; // UTF-8
    bool hasText = false;
    double textTimeStamp = 0;
    int textMonthTag = 0;
    int textColorTag = 0;

    Stamp color;
    int colorTag = 0;

    Stamp moment;
    bool hasTimeStamp = false;
    double timeStamp = 0;
    int monthTag = 0;

    Stamp deletion;
    // The text version the trashing writer had when it trashed: a text it
    // had not seen is not the user's to delete, and is kept as a copy.
    Stamp deletionSeen;

    bool operator==(const EntryState&) const = default;
};

// One immutable log file of one writer.
struct ChangeLog {
    QUuid writer;
    quint64 sequence = 0;
    std::vector<EntryState> entries;
    // A snapshot's settled clocks, by writer: every text version of that
    // writer up to its clock has been applied by every diary that knew the
    // container, and what was kept of it is in the snapshot, so the markers
    // of such versions are left out. Empty for a log.
    std::map<QUuid, quint64> settled;
};

// The file format; see docs/change-log-format.md. A file with settled
// clocks is written as version 3, any other as version 2, so that a reader
// of version 2 still takes every log.
inline constexpr quint16 kChangeLogVersion = 3;
// Version 1 logs are still read: they lack the tombstone's seen text.
inline constexpr quint16 kOldestChangeLogVersion = 1;
inline constexpr qint64 kMaxChangeLogBytes = qint64(256) << 20;

enum class DecodeStatus {
    Ok,
    Truncated,
    NotALog,
    UnknownVersion,
    BadChecksum,
    TooLarge,
    MalformedIdentifier
};

QByteArray encodeChangeLog(const ChangeLog& log);
// Never trusts a byte before the checksum has matched; `why` says what was wrong.
DecodeStatus decodeChangeLog(const QByteArray& bytes, ChangeLog* log, QString* why);

// Identifiers an entry may travel under: 1 to 64 letters, digits and dashes.
bool isWellFormedIdentifier(const QString& uuid);

// "0000000000000001.qlog": the sequence in 16 hex digits. Anything else in a
// writer's folder (a sync engine's temporary or conflict file) is not a log.
QString changeLogFileName(quint64 sequence);
bool parseChangeLogFileName(const QString& name, quint64* sequence);

} // namespace quillet::cloud

namespace quillet::cloud {
// One entry's state in the same encoding, for the store's own tables.
QByteArray encodeEntryState(const EntryState& state);
bool decodeEntryState(const QByteArray& bytes, EntryState* state);
} // namespace quillet::cloud
