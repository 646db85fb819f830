#pragma once

#include "core/Error.h"

#include <QString>

struct sqlite3;

namespace quillet {

// Looks at a diary file without changing it or anything beside it. SQLite
// opened for writing replays a log left by a killed writer, rolls back a
// journal, switches the journal mode and makes an index file (-shm) before
// it finds damage; a refused file must stay byte for byte as it was, so the
// store asks here first. Both checks may run on any thread.
class StoreFileCheck {
public:
    // Cheap: the file opens as a database of this program, of a format no
    // newer than `newestVersion`, and its schema reads.
    static bool checkBeforeWriting(const QString& path, qint64 applicationId, qint64 newestVersion,
                                   Error* error);
    // Reads every page and every index (PRAGMA quick_check); a large diary
    // takes a while, so it is a step of its own.
    static bool checkWholeFile(const QString& path, Error* error);
    // The same on a connection already open on the file (path names it in the error).
    static bool checkWholeDatabase(sqlite3* db, const QString& path, Error* error);
};

} // namespace quillet
