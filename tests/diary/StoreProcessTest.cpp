// The diary across processes: what a process saved survives its being
// killed, and the next process finds it and adds to it.
#include "DiaryFiles.h"

#include "store/PersistentStore.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <csignal>
#include <set>

namespace quillet::test {
namespace {

// A second diary process (tests/store/helper) driven line by line.
class DiaryProcess {
public:
    explicit DiaryProcess(const QString& storePath) {
        process_.setProgram(QStringLiteral(QUILLET_STORE_HELPER));
        process_.setArguments({storePath});
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start();
    }
    ~DiaryProcess() {
        if (process_.state() != QProcess::NotRunning) {
            kill();
        }
    }

    // The next line it writes; empty when it wrote none before ending.
    QString readLine() {
        while (!process_.canReadLine()) {
            if (!process_.waitForReadyRead(30000)) {
                return QString();
            }
        }
        return QString::fromUtf8(process_.readLine()).trimmed();
    }
    QString ask(const QString& command) {
        process_.write((command + QLatin1Char('\n')).toUtf8());
        process_.waitForBytesWritten(30000);
        return readLine();
    }
    // SIGKILL: no destructor, no close, no checkpoint runs in it.
    void kill() {
        ::kill(pid_t(process_.processId()), SIGKILL);
        process_.waitForFinished(30000);
    }
    QProcess::ExitStatus exitStatus() const { return process_.exitStatus(); }

private:
    QProcess process_;
};

std::set<QString> textsIn(const QString& storePath) {
    Error error;
    std::unique_ptr<PersistentStore> store = PersistentStore::open(storePath, {}, &error);
    std::set<QString> texts;
    if (!store) {
        texts.insert(QStringLiteral("<error> ") + error.localizedDescription);
        return texts;
    }
    for (const StoreRow& row : store->takeLoadedRows()) {
        // Read whole: the rows handed out at open may leave the text in the file.
        EntryValues values;
        store->loadRow(row.key, &values, &error);
        texts.insert(QString::fromUtf8(values.entryText));
    }
    return texts;
}

TEST(StoreProcesses, EverySaveThatWasAnnouncedSurvivesAKill) {
    const QString path = makeTempDir() + QStringLiteral("/entries.sqlite");
    std::set<QString> expected;
    {
        DiaryProcess writer(path);
        ASSERT_EQ(writer.readLine(), QStringLiteral("opened 0"));
        for (int round = 0; round < 25; ++round) {
            const QString text = QStringLiteral("round %1").arg(round);
            ASSERT_EQ(writer.ask(QStringLiteral("add 4 ") + text), QStringLiteral("saved"));
            for (int i = 0; i < 4; ++i) {
                expected.insert(text + QStringLiteral(" %1").arg(i));
            }
        }
        ASSERT_EQ(writer.ask(QStringLiteral("count")), QStringLiteral("100"));
        writer.kill();
        EXPECT_EQ(writer.exitStatus(), QProcess::CrashExit);
    }
    // Killed with its log unfolded and its lock file in place.
    EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral("-wal")));
    EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral(".lock")));
    EXPECT_EQ(textsIn(path), expected);

    // The next process finds them too, and adds to them.
    DiaryProcess next(path);
    ASSERT_EQ(next.readLine(), QStringLiteral("opened 100"));
    ASSERT_EQ(next.ask(QStringLiteral("add 1 after")), QStringLiteral("saved"));
    next.kill();
    expected.insert(QStringLiteral("after 0"));
    EXPECT_EQ(textsIn(path), expected);
}

} // namespace
} // namespace quillet::test
