#pragma once

#include <QString>
#include <QUuid>

namespace quillet::cloud {

// The copy a move into the cloud leaves in the container's ".nosync" folder.
// With a container folder shared as it is (not synced), another machine sees
// that copy too: only the machine whose move made it may retire it.

// The writer a diary file logs as, read without writing to it (null: none).
QUuid writerOfFile(const QString& storePath);

// The note beside the local diary naming the copy this machine's move made.
QString ownCopyNotePath(const QString& localStorePath);
bool noteOwnCopy(const QString& localStorePath, const QUuid& writer);

enum class RetireOutcome { Retired, NotOurs, InUse, Failed };
// Retires `copy` (LogExchange::retire) when it is the one the note beside
// `localStorePath` names and no process holds it open. A diary moved before
// the note existed counts as ours while its backup ("entries.sqlite.bak")
// lies beside the local diary.
RetireOutcome retireOwnCopy(const QString& copy, const QString& container,
                            const QString& localStorePath);

} // namespace quillet::cloud
