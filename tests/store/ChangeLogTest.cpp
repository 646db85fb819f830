// The change-log file format: what one writer writes another reads back
// exactly, and a file that is cut short, altered, of a newer version, absurd
// or naming a malformed entry is refused with the reason, never half read.
#include "store/cloud/ChangeLog.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QtEndian>

namespace quillet::test {
namespace {

using namespace cloud;

// An entry with every field set, and a bare one of a legacy identifier.
ChangeLog sampleLog() {
    ChangeLog log;
    log.writer = QUuid::createUuid();
    log.sequence = 42;
    EntryState e;
    e.uuid = QStringLiteral("0C3A7F2E-1111-4C5D-9E2F-000000000001");
    e.text = Stamp{1000, log.writer};
    e.textBase = Stamp{900, QUuid::createUuid()};
    e.hasText = true;
    e.entryText = QByteArray("Été \xF0\x9F\x93\x96 line\n\0 with a zero", 30);
    e.textTimeStamp = 1330956429.25;
    e.textMonthTag = 201203;
    e.textColorTag = 4;
    e.color = Stamp{1001, log.writer};
    e.colorTag = 5;
    e.moment = Stamp{1002, log.writer};
    e.hasTimeStamp = true;
    e.timeStamp = -1.5;
    e.monthTag = 196912;
    e.deletion = Stamp{1003, log.writer};
    e.deletionSeen = Stamp{950, QUuid::createUuid()};
    log.entries.push_back(e);
    EntryState bare;
    bare.uuid = QStringLiteral("legacy-id-7");
    log.entries.push_back(bare);
    return log;
}

// The file with its checksum made right again after an edit to its body.
QByteArray resealed(QByteArray bytes) {
    bytes.chop(32);
    return bytes + QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

DecodeStatus decode(const QByteArray& bytes, QString* why = nullptr) {
    ChangeLog log;
    return decodeChangeLog(bytes, &log, why);
}

// Version 1 entries end before the deletion's seen text: their tombstone is
// read as having seen the text its state carries, in logs and in stored rows.
TEST(ChangeLogFormat, VersionOneIsStillRead) {
    ChangeLog log = sampleLog();
    log.entries.pop_back();
    const int seenBytes = 8 + 16;
    QByteArray old = encodeChangeLog(log);
    old.remove(old.size() - 32 - seenBytes, seenBytes);
    qToLittleEndian<quint16>(1, old.data() + 8);
    qToLittleEndian<quint32>(qFromLittleEndian<quint32>(old.constData() + 40) - seenBytes,
                             old.data() + 40);
    ChangeLog read;
    ASSERT_EQ(decodeChangeLog(resealed(old), &read, nullptr), DecodeStatus::Ok);
    ASSERT_EQ(read.entries.size(), 1u);
    EntryState expected = log.entries[0];
    expected.deletionSeen = expected.text;
    EXPECT_EQ(read.entries[0], expected);

    QByteArray row = encodeEntryState(log.entries[0]);
    EntryState fromRow;
    ASSERT_TRUE(decodeEntryState(row, &fromRow));
    EXPECT_EQ(fromRow, log.entries[0]);
    row.chop(seenBytes);
    ASSERT_TRUE(decodeEntryState(row, &fromRow));
    EXPECT_EQ(fromRow, expected);
    EntryState never = log.entries[0];
    never.deletion = {};
    never.deletionSeen = {};
    const QByteArray whole = encodeEntryState(never);
    ASSERT_TRUE(decodeEntryState(whole.chopped(seenBytes), &fromRow));
    EXPECT_EQ(fromRow, never) << "a never-trashed entry saw nothing";
    // Cut at any other length, a row is refused.
    for (qsizetype n = 0; n < whole.size(); ++n) {
        EXPECT_EQ(decodeEntryState(whole.left(n), &fromRow), n == whole.size() - seenBytes) << n;
    }
}

TEST(ChangeLogFormat, WhatIsWrittenIsReadBackExactly) {
    const ChangeLog log = sampleLog();
    const QByteArray bytes = encodeChangeLog(log);
    EXPECT_TRUE(bytes.startsWith("QUILLOG\n"));
    ChangeLog back;
    QString why;
    ASSERT_EQ(decodeChangeLog(bytes, &back, &why), DecodeStatus::Ok) << why.toStdString();
    EXPECT_EQ(back.writer, log.writer);
    EXPECT_EQ(back.sequence, 42u);
    EXPECT_EQ(back.entries, log.entries);
    EXPECT_EQ(encodeChangeLog(back), bytes) << "one encoding for one log";

    // A snapshot with settled clocks is version 3; a log without them stays version 2.
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 8), 2);
    ChangeLog settled = log;
    settled.settled = {{log.writer, 7}, {QUuid::createUuid(), 1ull << 60}};
    const QByteArray v3 = encodeChangeLog(settled);
    EXPECT_EQ(qFromLittleEndian<quint16>(v3.constData() + 8), 3);
    ASSERT_EQ(decodeChangeLog(v3, &back, &why), DecodeStatus::Ok) << why.toStdString();
    EXPECT_EQ(back.settled, settled.settled);
    EXPECT_EQ(back.entries, settled.entries);

    ChangeLog empty;
    empty.writer = log.writer;
    empty.sequence = 1;
    ASSERT_EQ(decodeChangeLog(encodeChangeLog(empty), &back, nullptr), DecodeStatus::Ok);
    EXPECT_TRUE(back.entries.empty());
}

TEST(ChangeLogFormat, EveryDamagedFormIsRefusedWithItsReason) {
    const QByteArray good = encodeChangeLog(sampleLog());
    ChangeLog untouched;
    untouched.sequence = 7;

    // Cut at any length, a log and a snapshot: a file still being copied by a sync engine.
    ChangeLog settled = sampleLog();
    settled.settled = {{settled.writer, 7}};
    for (const QByteArray& whole : {good, encodeChangeLog(settled)}) {
        for (qsizetype size = 0; size < whole.size(); ++size) {
            // Short of its magic and version, a file may read as no log at all.
            const DecodeStatus status = decodeChangeLog(whole.left(size), &untouched, nullptr);
            EXPECT_TRUE(status == DecodeStatus::Truncated ||
                        (size < 10 && status == DecodeStatus::NotALog))
                << size;
        }
    }
    EXPECT_EQ(untouched.sequence, 7u) << "nothing is handed out from a refused file";

    // Any byte altered after the header, or bytes added at the end.
    for (qsizetype at : {qsizetype(30), qsizetype(50), good.size() / 2, good.size() - 1}) {
        QByteArray bad = good;
        bad[at] = char(bad[at] ^ 0x20);
        EXPECT_EQ(decode(bad), DecodeStatus::BadChecksum) << at;
    }
    EXPECT_EQ(decode(good + "x"), DecodeStatus::BadChecksum);

    // Not a log at all.
    EXPECT_EQ(decode("SQLite format 3\0 and more bytes than a header"), DecodeStatus::NotALog);

    // A newer format: refused by its version, whatever follows.
    QByteArray newer = good;
    qToLittleEndian<quint16>(4, newer.data() + 8);
    QString why;
    EXPECT_EQ(decode(newer, &why), DecodeStatus::UnknownVersion);
    EXPECT_TRUE(why.contains(QStringLiteral("version 4"))) << why.toStdString();

    // A header that claims more than any log holds, and a file that is.
    QByteArray huge = good;
    qToLittleEndian<quint32>(0xfffffff0u, huge.data() + 40);
    EXPECT_EQ(decode(resealed(huge)), DecodeStatus::TooLarge);
    QByteArray manyEntries = good;
    qToLittleEndian<quint32>(1u << 30, manyEntries.data() + 36);
    EXPECT_EQ(decode(resealed(manyEntries)), DecodeStatus::TooLarge);
    EXPECT_EQ(decode(QByteArray(kMaxChangeLogBytes + 1, 'Q')), DecodeStatus::TooLarge);

    // A well-sealed file naming an entry by a malformed identifier.
    for (const QString& uuid : {QString(), QStringLiteral("../../etc"), QStringLiteral("a b"),
                                QString(65, QLatin1Char('A')), QStringLiteral("Été")}) {
        ChangeLog log = sampleLog();
        log.entries[1].uuid = uuid;
        EXPECT_EQ(decode(encodeChangeLog(log)), DecodeStatus::MalformedIdentifier)
            << uuid.toStdString();
    }
}

TEST(ChangeLogFormat, OnlyTheWritersOwnNamesAreLogs) {
    EXPECT_EQ(changeLogFileName(1), QStringLiteral("0000000000000001.qlog"));
    quint64 sequence = 0;
    EXPECT_TRUE(parseChangeLogFileName(changeLogFileName(0x1f2e), &sequence));
    EXPECT_EQ(sequence, 0x1f2eu);
    for (const char* name :
         {"0000000000000001.sync-conflict-20261206-101010-ABCDEFG.qlog",
          "0000000000000001 (conflicted copy 2026-12-06).qlog",
          ".syncthing.0000000000000001.qlog.tmp", ".0000000000000001.qlog.nosync",
          "0000000000000000.qlog", "000000000000001.qlog", "0000000000000001.QLOG"}) {
        EXPECT_FALSE(parseChangeLogFileName(QString::fromLatin1(name), &sequence)) << name;
    }
}

} // namespace
} // namespace quillet::test
