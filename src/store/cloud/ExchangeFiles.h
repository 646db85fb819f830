#pragma once

// The container's files besides the logs themselves: snapshot names and the
// writer state's format, shared by the exchange and the status it reports.

#include "store/cloud/DiaryKey.h"

#include <QJsonObject>
#include <QString>
#include <QUuid>

namespace quillet::cloud::detail {

inline constexpr int kStateFormat = 1;

// A writer state is a few hundred bytes per writer.
inline constexpr qint64 kMaxStateBytes = 1 << 20;

// "0000000000000040.qsnap": the last sequence the snapshot covers.
bool parseSnapshotFileName(const QString& name, quint64* sequence);
QString snapshotFileName(quint64 sequence);
// A writer's published state, sealed under `key`; empty when it is not.
QJsonObject openState(const QString& path, const QUuid& writer, const DiaryKey& key);

} // namespace quillet::cloud::detail
