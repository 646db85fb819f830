// Deciding an existing file is a sound diary before it is used: its header read
// with plain file calls, the roots every read starts from, the identifier index.
#include "store/PersistentStore.h"

#include "store/PersistentStoreErrors.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace quillet {

using detail::storeError;

Error detail::identifierIndexDamaged(const QString& path) {
    return storeError(
        StoreCorruptError,
        QStringLiteral(
            "The diary file \u201c%1\u201d is damaged (its index of identifiers does not "
            "match its entries) and can't be opened. It was left as it is.")
            .arg(path));
}

bool PersistentStore::checkHeader(Error* error) const {
    // Read with plain file calls: SQLite given a damaged or foreign file may
    // write to it (a journal, a WAL) before it finds out.
    auto fail = [&](int code, const QString& text) {
        if (error) {
            *error = storeError(code, text);
        }
        return false;
    };
    auto damaged = [&](const QString& why) {
        return fail(
            StoreCorruptError,
            QStringLiteral("The diary file \u201c%1\u201d is damaged (%2) and can't be opened. "
                           "It was left as it is.")
                .arg(path_, why));
    };
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(StoreOpenError,
                    QStringLiteral("The diary file \u201c%1\u201d can't be read: %2.")
                        .arg(path_, file.errorString()));
    }
    const qint64 size = file.size();
    const QByteArray header = file.read(100);
    if (size == 0) {
        return damaged(QStringLiteral("it is empty"));
    }
    static const QByteArray magic("SQLite format 3\0", 16);
    if (header.size() < 100 || !header.startsWith(magic)) {
        return damaged(QStringLiteral("it is not a database"));
    }
    const auto* bytes = reinterpret_cast<const uchar*>(header.constData());
    const quint32 rawPageSize = qFromBigEndian<quint16>(bytes + 16);
    const qint64 pageSize = rawPageSize == 1 ? 65536 : rawPageSize;
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0) {
        return damaged(QStringLiteral("its page size is invalid"));
    }
    const qint64 version = qint32(qFromBigEndian<quint32>(bytes + 60));
    const qint64 applicationId = qint32(qFromBigEndian<quint32>(bytes + 68));
    if (applicationId != kApplicationId) {
        return fail(
            StoreIncompatibleVersionError,
            QStringLiteral("The file \u201c%1\u201d is not a Quillet diary; it was left as it is.")
                .arg(path_));
    }
    if (version > kSchemaVersion) {
        return fail(
            StoreIncompatibleVersionError,
            QStringLiteral("The diary \u201c%1\u201d was written by a newer version of Quillet "
                           "(format %2; this version reads format %3). It was left as it is.")
                .arg(path_)
                .arg(version)
                .arg(kSchemaVersion));
    }
    if (version < 1) {
        return fail(
            StoreIncompatibleVersionError,
            QStringLiteral(
                "The diary \u201c%1\u201d has an unknown format (%2). It was left as it is.")
                .arg(path_)
                .arg(version));
    }
    // While a log holds committed pages the file itself may lag behind; SQLite
    // sorts that out. Without one, the file must hold every page it counts.
    if (QFileInfo(path_ + QStringLiteral("-wal")).size() > 0) {
        return true;
    }
    if (size % pageSize != 0) {
        return damaged(QStringLiteral("it ends in the middle of a page"));
    }
    const quint32 changeCounter = qFromBigEndian<quint32>(bytes + 24);
    const quint32 pageCount = qFromBigEndian<quint32>(bytes + 28);
    const quint32 validFor = qFromBigEndian<quint32>(bytes + 92);
    if (pageCount != 0 && changeCounter == validFor && size < qint64(pageCount) * pageSize) {
        return damaged(QStringLiteral("it is shorter than its own header says"));
    }
    return true;
}

bool PersistentStore::checkRoots(Error* error) {
    // The pages every read starts from: the table's and each index's root and
    // one path down, so that a file damaged there is refused before use.
    qint64 ignored = 0;
    if (!db_.queryInteger("SELECT IFNULL(MAX(key), 0) FROM entry", &rowEstimate_, error) ||
        !db_.queryInteger(
            "SELECT count(*) FROM (SELECT uuid FROM entry INDEXED BY entry_uuid LIMIT 1)", &ignored,
            error) ||
        !db_.queryInteger(
            "SELECT count(*) FROM (SELECT monthTag FROM entry INDEXED BY entry_month LIMIT 1)",
            &ignored, error)) {
        if (error) {
            error->code = StoreCorruptError;
            error->localizedDescription =
                QStringLiteral("The diary file \u201c%1\u201d is damaged (%2) and can't be opened. "
                               "It was left as it is.")
                    .arg(path_, error->localizedDescription);
        }
        return false;
    }
    return true;
}

bool PersistentStore::checkIdentifierIndex(Error* error) {
    // Read whole as well (it is small beside the texts), so that damage in it
    // is found now and not by the first save; and it must list every entry
    // that has an identifier.
    qint64 indexed = 0;
    if (!db_.queryInteger("SELECT count(uuid) FROM entry INDEXED BY entry_uuid", &indexed, error)) {
        return false;
    }
    if (indexed != identifiedRows_) {
        if (error) {
            *error = detail::identifierIndexDamaged(path_);
        }
        return false;
    }
    return true;
}

} // namespace quillet
