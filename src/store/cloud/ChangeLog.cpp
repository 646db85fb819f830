#include "store/cloud/ChangeLog.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QtEndian>
#include <cstring>

namespace quillet::cloud {

namespace {

constexpr char kMagic[8] = {'Q', 'U', 'I', 'L', 'L', 'O', 'G', '\n'};
constexpr int kHeaderBytes = 44;
constexpr int kChecksumBytes = 32;

class Writer {
public:
    QByteArray bytes;
    template <typename T> void integer(T v) {
        char b[sizeof(T)];
        qToLittleEndian(v, b);
        bytes.append(b, sizeof(T));
    }
    void real(double v) {
        quint64 raw;
        std::memcpy(&raw, &v, sizeof raw);
        integer(raw);
    }
    void uuid(const QUuid& id) { bytes.append(id.toRfc4122()); }
    void stamp(const Stamp& s) {
        integer(s.clock);
        uuid(s.writer);
    }
    void blob(const QByteArray& b) {
        integer(quint32(b.size()));
        bytes.append(b);
    }
};

class Reader {
public:
    explicit Reader(QByteArrayView b) : bytes_(b) {}
    bool failed = false;
    template <typename T> T integer() {
        if (!need(sizeof(T)))
            return T{};
        const T v = qFromLittleEndian<T>(bytes_.data() + at_);
        at_ += sizeof(T);
        return v;
    }
    double real() {
        const quint64 raw = integer<quint64>();
        double v;
        std::memcpy(&v, &raw, sizeof v);
        return v;
    }
    QUuid uuid() {
        if (!need(16))
            return {};
        const QUuid id = QUuid::fromRfc4122(bytes_.sliced(at_, 16));
        at_ += 16;
        return id;
    }
    Stamp stamp() {
        Stamp s;
        s.clock = integer<quint64>();
        s.writer = uuid();
        return s;
    }
    QByteArray blob() {
        const quint32 size = integer<quint32>();
        if (!need(size))
            return {};
        QByteArray b(bytes_.data() + at_, qsizetype(size));
        at_ += size;
        return b;
    }
    bool atEnd() const { return at_ == bytes_.size(); }

private:
    bool need(qsizetype n) {
        if (failed || bytes_.size() - at_ < n) {
            failed = true;
            return false;
        }
        return true;
    }
    QByteArrayView bytes_;
    qsizetype at_ = 0;
};

void writeEntry(Writer& w, const EntryState& e) {
    w.blob(e.uuid.toLatin1());
    w.stamp(e.text);
    w.stamp(e.textBase);
    w.integer(quint8(e.hasText ? 1 : 0));
    w.blob(e.entryText);
    w.real(e.textTimeStamp);
    w.integer(qint32(e.textMonthTag));
    w.integer(qint32(e.textColorTag));
    w.stamp(e.color);
    w.integer(qint32(e.colorTag));
    w.stamp(e.moment);
    w.integer(quint8(e.hasTimeStamp ? 1 : 0));
    w.real(e.timeStamp);
    w.integer(qint32(e.monthTag));
    w.stamp(e.deletion);
    w.stamp(e.deletionSeen);
}

// A version 1 entry has no seen text: its tombstone is taken to have seen
// the text the same state carries, which is what its writer held.
EntryState readEntry(Reader& r, quint16 version) {
    EntryState e;
    e.uuid = QString::fromLatin1(r.blob());
    e.text = r.stamp();
    e.textBase = r.stamp();
    e.hasText = r.integer<quint8>() != 0;
    e.entryText = r.blob();
    e.textTimeStamp = r.real();
    e.textMonthTag = r.integer<qint32>();
    e.textColorTag = r.integer<qint32>();
    e.color = r.stamp();
    e.colorTag = r.integer<qint32>();
    e.moment = r.stamp();
    e.hasTimeStamp = r.integer<quint8>() != 0;
    e.timeStamp = r.real();
    e.monthTag = r.integer<qint32>();
    e.deletion = r.stamp();
    e.deletionSeen = version >= 2 ? r.stamp() : (e.deletion.isNull() ? Stamp{} : e.text);
    return e;
}

} // namespace

bool isWellFormedIdentifier(const QString& uuid) {
    if (uuid.isEmpty() || uuid.size() > 64) {
        return false;
    }
    for (QChar c : uuid) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
              u == '-')) {
            return false;
        }
    }
    return true;
}

QByteArray encodeChangeLog(const ChangeLog& log) {
    Writer payload;
    for (const EntryState& e : log.entries) {
        writeEntry(payload, e);
    }
    // Version 3: after the entries, the settled clocks (u32 count, then
    // writer UUID and u64 clock each).
    if (!log.settled.empty()) {
        payload.integer(quint32(log.settled.size()));
        for (const auto& [writer, clock] : log.settled) {
            payload.uuid(writer);
            payload.integer(clock);
        }
    }
    Writer w;
    w.bytes.append(kMagic, sizeof kMagic);
    w.integer(quint16(log.settled.empty() ? 2 : 3));
    w.integer(quint16(0));
    w.uuid(log.writer);
    w.integer(log.sequence);
    w.integer(quint32(log.entries.size()));
    w.integer(quint32(payload.bytes.size()));
    w.bytes.append(payload.bytes);
    w.bytes.append(QCryptographicHash::hash(w.bytes, QCryptographicHash::Sha256));
    return w.bytes;
}

DecodeStatus decodeChangeLog(const QByteArray& bytes, ChangeLog* log, QString* why) {
    auto fail = [&](DecodeStatus status, const QString& text) {
        if (why)
            *why = text;
        return status;
    };
    if (bytes.size() > kMaxChangeLogBytes) {
        return fail(DecodeStatus::TooLarge,
                    QStringLiteral("%1 bytes, more than any log").arg(bytes.size()));
    }
    if (bytes.size() < qsizetype(sizeof kMagic) + 2) {
        return bytes.isEmpty() || QByteArrayView(kMagic, sizeof kMagic).startsWith(bytes)
                   ? fail(DecodeStatus::Truncated,
                          QStringLiteral("it ends after %1 bytes").arg(bytes.size()))
                   : fail(DecodeStatus::NotALog,
                          QStringLiteral("it does not start like a change log"));
    }
    if (!bytes.startsWith(QByteArrayView(kMagic, sizeof kMagic))) {
        return fail(DecodeStatus::NotALog, QStringLiteral("it does not start like a change log"));
    }
    Reader header(
        QByteArrayView(bytes).first(std::min<qsizetype>(bytes.size(), kHeaderBytes)).sliced(8));
    const quint16 version = header.integer<quint16>();
    if (version < kOldestChangeLogVersion || version > kChangeLogVersion) {
        return fail(
            DecodeStatus::UnknownVersion,
            QStringLiteral("format version %1; this version of Quillet reads versions %2 to %3")
                .arg(version)
                .arg(kOldestChangeLogVersion)
                .arg(kChangeLogVersion));
    }
    header.integer<quint16>();
    const QUuid writer = header.uuid();
    const quint64 sequence = header.integer<quint64>();
    const quint32 count = header.integer<quint32>();
    const quint32 payloadBytes = header.integer<quint32>();
    if (header.failed) {
        return fail(DecodeStatus::Truncated, QStringLiteral("it ends inside its header"));
    }
    const qint64 expected = qint64(kHeaderBytes) + payloadBytes + kChecksumBytes;
    if (expected > kMaxChangeLogBytes) {
        return fail(DecodeStatus::TooLarge,
                    QStringLiteral("it says it holds %1 bytes").arg(payloadBytes));
    }
    if (bytes.size() < expected) {
        return fail(DecodeStatus::Truncated,
                    QStringLiteral("it ends after %1 of %2 bytes").arg(bytes.size()).arg(expected));
    }
    if (bytes.size() > expected) {
        return fail(DecodeStatus::BadChecksum, QStringLiteral("it has bytes after its end"));
    }
    const QByteArrayView body = QByteArrayView(bytes).first(expected - kChecksumBytes);
    if (QCryptographicHash::hash(body, QCryptographicHash::Sha256) != bytes.right(kChecksumBytes)) {
        return fail(DecodeStatus::BadChecksum, QStringLiteral("its checksum does not match"));
    }
    Reader r(body.sliced(kHeaderBytes));
    ChangeLog result;
    result.writer = writer;
    result.sequence = sequence;
    // Each entry takes well over 100 bytes: a count beyond that is a lie.
    if (count > payloadBytes / 100 + 1) {
        return fail(DecodeStatus::TooLarge, QStringLiteral("it claims %1 entries").arg(count));
    }
    result.entries.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        EntryState e = readEntry(r, version);
        if (r.failed) {
            return fail(DecodeStatus::Truncated,
                        QStringLiteral("entry %1 is cut short").arg(i + 1));
        }
        if (!isWellFormedIdentifier(e.uuid)) {
            return fail(DecodeStatus::MalformedIdentifier,
                        QStringLiteral("entry %1 has a malformed identifier").arg(i + 1));
        }
        result.entries.push_back(std::move(e));
    }
    if (version >= 3) {
        const quint32 settled = r.integer<quint32>();
        if (r.failed || settled == 0 || settled > quint32(payloadBytes / 24)) {
            return fail(DecodeStatus::Truncated,
                        QStringLiteral("its settled clocks are cut short"));
        }
        for (quint32 i = 0; i < settled; ++i) {
            const QUuid settledWriter = r.uuid();
            const quint64 clock = r.integer<quint64>();
            if (r.failed) {
                return fail(DecodeStatus::Truncated,
                            QStringLiteral("its settled clocks are cut short"));
            }
            result.settled[settledWriter] = clock;
        }
    }
    if (!r.atEnd()) {
        return fail(DecodeStatus::BadChecksum, QStringLiteral("its entries do not fill it"));
    }
    *log = std::move(result);
    return DecodeStatus::Ok;
}

QString changeLogFileName(quint64 sequence) {
    return QStringLiteral("%1.qlog").arg(sequence, 16, 16, QLatin1Char('0'));
}

bool parseChangeLogFileName(const QString& name, quint64* sequence) {
    static const QRegularExpression pattern(QStringLiteral("^([0-9a-f]{16})\\.qlog$"));
    const QRegularExpressionMatch m = pattern.match(name);
    if (!m.hasMatch()) {
        return false;
    }
    bool ok = false;
    *sequence = m.captured(1).toULongLong(&ok, 16);
    return ok && *sequence > 0;
}

} // namespace quillet::cloud

namespace quillet::cloud {

QByteArray encodeEntryState(const EntryState& state) {
    Writer w;
    writeEntry(w, state);
    return w.bytes;
}

bool decodeEntryState(const QByteArray& bytes, EntryState* state) {
    // Rows written before the tombstone kept its seen text end one stamp early.
    Reader r(bytes);
    EntryState e = readEntry(r, kChangeLogVersion);
    if (r.failed || !r.atEnd()) {
        Reader old(bytes);
        e = readEntry(old, 1);
        if (old.failed || !old.atEnd()) {
            return false;
        }
    }
    *state = std::move(e);
    return true;
}

} // namespace quillet::cloud
