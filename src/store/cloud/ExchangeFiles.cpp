// Snapshot file names and reading a writer's sealed state.
#include "store/cloud/ExchangeFiles.h"

#include "core/PrivateFile.h"
#include "store/cloud/SealedFile.h"

#include <QJsonDocument>
#include <QRegularExpression>

namespace quillet::cloud::detail {

bool parseSnapshotFileName(const QString& name, quint64* sequence) {
    static const QRegularExpression pattern(QStringLiteral("^([0-9a-f]{16})\\.qsnap$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return false;
    bool ok = false;
    *sequence = match.captured(1).toULongLong(&ok, 16);
    return ok && *sequence > 0;
}

QString snapshotFileName(quint64 sequence) {
    return QStringLiteral("%1.qsnap").arg(sequence, 16, 16, QLatin1Char('0'));
}

QJsonObject openState(const QString& path, const QUuid& writer, const DiaryKey& key) {
    QByteArray bytes, plain;
    return PrivateFile::readRegular(path, kMaxStateBytes, &bytes, nullptr) &&
                   openSealed(bytes, key, SealedKind::WriterState, writer, 0, &plain, nullptr)
               ? QJsonDocument::fromJson(plain).object()
               : QJsonObject();
}

} // namespace quillet::cloud::detail
