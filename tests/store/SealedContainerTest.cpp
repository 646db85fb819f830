// The container is sealed: nothing readable leaves the machine, a sealed
// file that was altered, cut, moved or replayed is refused with one line,
// and without the passphrase a machine applies and writes nothing.
#include "CloudMachine.h"
#include "DiaryFiles.h"
#include "TestSupport.h"

#include "core/PrivateFile.h"
#include "store/SqliteDatabase.h"
#include "store/cloud/ContainerKey.h"
#include "store/cloud/LogExchange.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <random>
#include <sqlite3.h>

namespace quillet::test {
namespace {

using namespace cloud;

const QString kFirst = QStringLiteral("0C3A7F2E-2222-4C5D-9E2F-000000000001");
const QString kSecond = QStringLiteral("0C3A7F2E-2222-4C5D-9E2F-000000000002");
const QString kThird = QStringLiteral("0C3A7F2E-2222-4C5D-9E2F-000000000003");

// Every file of the container, by its path inside it, with its bytes.
std::map<QString, QByteArray> containerFiles(const QString& container) {
    std::map<QString, QByteArray> files;
    QDirIterator it(container, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[QDir(container).relativeFilePath(path)] = readBytes(path);
    }
    return files;
}

QString ownLog(const QString& container, quint64 sequence) {
    for (const auto& [name, bytes] : containerFiles(container)) {
        if (name.endsWith(changeLogFileName(sequence)))
            return container + QLatin1Char('/') + name;
    }
    return QString();
}

std::shared_ptr<ContainerKey> keysWith(const std::optional<QString>& passphrase) {
    auto keys = std::make_shared<ContainerKey>(cheapestKeyCost());
    if (passphrase)
        keys->offerPassphrase(*passphrase);
    return keys;
}

TEST(SealedContainer, NoWordLeavesInPlainTextAndEveryMutatedSealedLogIsRefusedWithOneLine) {
    const QString container = makeTempDir();
    Machine a(makeTempDir(), container), b(makeTempDir(), container);
    // A log written before sealing: refused by the others until its writer seals it.
    a.insert(kFirst, "the zebracorn was here");
    {
        SqliteDatabase db;
        Error error;
        ASSERT_TRUE(db.open(a.path, SQLITE_OPEN_READWRITE, &error));
        ASSERT_EQ(writePendingLogs(db,
                                   a.exchange->logsFolder() + QLatin1Char('/') +
                                       storeIdentifier(db).toString(QUuid::WithoutBraces),
                                   &error),
                  1);
    }
    b.sync();
    EXPECT_FALSE(b.row(kFirst)) << "a plain log is not trusted";
    EXPECT_EQ(readExchangeStatus(a.path, container).plainFiles, 1);
    a.sync();
    EXPECT_EQ(readExchangeStatus(a.path, container).plainFiles, 0) << "sealed in place";
    a.insert(kSecond, "a second zebracorn");
    a.sync();
    b.sync();
    ASSERT_TRUE(b.row(kFirst) && b.row(kSecond));
    for (const auto& [name, bytes] : containerFiles(container)) {
        EXPECT_FALSE(bytes.contains("zebracorn")) << name.toStdString();
    }

    // Fuzz: every header byte and a spread of body bytes flipped, cut at many
    // lengths, swapped with the next log, moved to another writer, replayed.
    Machine fresh(makeTempDir(), container);
    const QString first = ownLog(container, 1), second = ownLog(container, 2);
    const QByteArray whole = readBytes(first), next = readBytes(second);
    std::vector<std::pair<QByteArray, const char*>> mutants;
    std::mt19937 random(23);
    for (qsizetype i = 0; i < whole.size(); i += i < 90 ? 1 : 1 + qsizetype(random() % 9)) {
        QByteArray m = whole;
        m[i] = char(m[i] ^ (1 << (random() % 8)));
        mutants.emplace_back(m, "flipped");
    }
    for (qsizetype n = 0; n < whole.size(); n += n < 90 ? 3 : 17)
        mutants.emplace_back(whole.left(n), "cut");
    mutants.emplace_back(whole + "x", "longer");
    mutants.emplace_back(next, "swapped");
    int refusedOnce = 0, round = 0;
    for (const auto& [bytes, what] : mutants) {
        ASSERT_TRUE(writeBytes(first, bytes) && setModified(first, ++round));
        LogCapture log;
        fresh.sync();
        fresh.sync();
        EXPECT_TRUE(fresh.rows().empty()) << what << " " << round;
        refusedOnce += log.lines().filter(QStringLiteral("skipped the change log")).size() == 1;
    }
    EXPECT_EQ(refusedOnce, int(mutants.size())) << "each refused with one line";
    ASSERT_TRUE(writeBytes(first, whole));
    // Moved into another writer's folder, or replayed under a later sequence.
    const QString elsewhere =
        container + QStringLiteral("/TransactionLogs/0c3a7f2e-2222-4c5d-9e2f-0000000000aa");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    ASSERT_TRUE(writeBytes(elsewhere + QStringLiteral("/0000000000000001.qlog"), whole));
    ASSERT_TRUE(
        writeBytes(QFileInfo(first).path() + QStringLiteral("/0000000000000003.qlog"), whole));
    LogCapture log;
    fresh.sync();
    EXPECT_EQ(fresh.rows().size(), 2u);
    EXPECT_EQ(log.lines().filter(QStringLiteral("sealed for another place")).size(), 2)
        << log.lines().join(QLatin1Char('\n')).toStdString();
}

TEST(SealedContainer,
     AWrongOrMissingPassphraseAppliesAndWritesNothingAndTwoKeysMadeAtOnceEndAsOne) {
    const QString container = makeTempDir();
    // Two machines make a key at the same time, each before it sees the
    // other's. B's key is the one that loses, and A's first log reaches B
    // before A's key file does.
    auto keysA = keysWith(QStringLiteral("alpha"));
    Machine a(makeTempDir(), container, keysA);
    a.insert(kFirst, "on the laptop");
    a.sync();
    const QString keyA = keyFiles(container).front();
    std::shared_ptr<ContainerKey> keysB;
    QString apart;
    do {
        keysB = keysWith(QStringLiteral("alpha"));
        apart = makeTempDir();
        ASSERT_TRUE(keysB->resolve(apart));
    } while (keyIdOfFile(keyFiles(apart).front()) < keyIdOfFile(keyA));
    const QString aside = makeTempDir() + QStringLiteral("/a.qkey");
    ASSERT_TRUE(QFile::rename(keyA, aside));
    ASSERT_TRUE(
        QFile::copy(keyFiles(apart).front(), keyFolder(container) + QLatin1Char('/') +
                                                 QFileInfo(keyFiles(apart).front()).fileName()));
    Machine b(makeTempDir(), container, keysB);
    b.insert(kSecond, "on the desktop");
    b.sync();
    EXPECT_FALSE(b.row(kFirst)) << "sealed under a key B does not hold yet";
    ASSERT_TRUE(QFile::rename(aside, keyA));
    for (int i = 0; i < 3; ++i) {
        b.sync();
        a.sync();
    }
    EXPECT_EQ(keyFiles(container).size(), 1u) << "one key in the end";
    EXPECT_EQ(keysA->heldKey(), keysB->heldKey());
    EXPECT_TRUE(a.row(kSecond) && b.row(kFirst));

    // Wrong or no passphrase: nothing applied, nothing written, said once.
    struct Case {
        std::optional<QString> passphrase;
        ContainerKey::State state;
        const char* said;
    };
    for (const Case& c : {Case{QStringLiteral("beta"), ContainerKey::State::WrongPassphrase,
                               "does not open the diary key"},
                          Case{std::nullopt, ContainerKey::State::NeedsPassphrase,
                               "passphrase is needed on this machine"}}) {
        auto keys = keysWith(c.passphrase);
        Machine c2(makeTempDir(), container, keys);
        c2.insert(kThird, "typed here meanwhile");
        const auto before = containerFiles(container);
        LogCapture log;
        AppliedChanges none;
        EXPECT_FALSE(c2.exchange->exchange(&none));
        EXPECT_FALSE(c2.exchange->exchange(&none));
        EXPECT_EQ(containerFiles(container), before);
        EXPECT_FALSE(c2.row(kFirst));
        EXPECT_TRUE(c2.row(kThird)) << "the local diary is untouched";
        EXPECT_EQ(keys->state(), c.state);
        EXPECT_EQ(log.lines().filter(QLatin1String(c.said)).size(), 1);
        // The right one: in it comes, and out goes what was typed meanwhile.
        keys->offerPassphrase(QStringLiteral("alpha"));
        c2.sync();
        EXPECT_TRUE(c2.row(kFirst) && c2.row(kSecond));
        a.sync();
        EXPECT_TRUE(a.row(kThird));
    }

    // A new passphrase rewraps the key only: every sealed file stays as it is.
    const auto before = containerFiles(container);
    QString why;
    ASSERT_TRUE(keysA->changePassphrase(container, QStringLiteral("gamma"), &why))
        << why.toStdString();
    const auto after = containerFiles(container);
    ASSERT_EQ(after.size(), before.size());
    int changed = 0;
    for (const auto& [name, bytes] : after)
        changed += before.at(name) != bytes;
    EXPECT_EQ(changed, 1) << "the key file alone";
    EXPECT_TRUE(keysWith(QStringLiteral("gamma"))->resolve(container));
    EXPECT_FALSE(keysWith(QStringLiteral("alpha"))->resolve(container));
}

} // namespace
} // namespace quillet::test
