// Whole diaries exchanging logs through one container, with machines that
// join late and writers that fold their logs into snapshots: after every
// round, the row keys an exchange announces bring a context that had read
// the diary before the round to exactly what the diary holds; in the end
// every machine holds the same diary and no text saved apart is lost.
#include "DiaryFiles.h"
#include "TestSupport.h"

#include "store/PersistentStore.h"
#include "store/cloud/LogExchange.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

namespace quillet::test {
namespace {

using namespace cloud;

QString describe(const EntryValues& v) {
    return QStringLiteral("%1|%2|%3|%4|%5")
        .arg(v.uuid, QString::fromUtf8(v.entryText))
        .arg(v.colorTag)
        .arg(v.monthTag)
        .arg(v.timeStamp);
}

struct Machine {
    QString name;
    QString path;
    std::unique_ptr<PersistentStore> store;
    std::unique_ptr<LogExchange> exchange;
    // What a window's context holds: row key -> values, kept up to date only
    // by this machine's own saves and the keys the exchange announces.
    std::map<qint64, QString> context;

    Machine(QString machineName, const QString& container)
        : name(std::move(machineName)), path(makeTempDir() + QStringLiteral("/entries.sqlite")) {
        Error error;
        store = PersistentStore::open(path, {}, &error);
        EXPECT_TRUE(store) << error.localizedDescription.toStdString();
        exchange = std::make_unique<LogExchange>(path, container);
        exchange->setFoldAfter(3);
    }

    std::map<qint64, StoreRow> rows() const {
        std::vector<StoreRow> all;
        Error error;
        EXPECT_TRUE(PersistentStore::readAllRows(
            path, [&all](StoreRow&& r) { all.push_back(std::move(r)); }, &error));
        std::map<qint64, StoreRow> byKey;
        for (StoreRow& r : all) {
            EXPECT_TRUE(store->loadText(r.key, &r.values.entryText, nullptr));
            r.values.textFaulted = false;
            byKey[r.key] = std::move(r);
        }
        return byKey;
    }
    std::map<qint64, QString> stored() const {
        std::map<qint64, QString> lines;
        for (const auto& [key, r] : rows())
            lines[key] = describe(r.values);
        return lines;
    }
    QStringList diary() const {
        QStringList lines;
        for (const auto& [key, line] : stored())
            lines << line;
        lines.sort();
        return lines;
    }

    // One exchange round, announced to the context the way the window's
    // store takes it: deleted keys leave first, then inserted keys come in
    // (a key both deleted and inserted is another entry now), then updated
    // keys are read again.
    void sync() {
        AppliedChanges changes;
        EXPECT_TRUE(exchange->exchange(&changes));
        const std::map<qint64, QString> now = stored();
        for (qint64 key : changes.deleted) {
            EXPECT_TRUE(context.count(key))
                << name.toStdString() << ": deleted " << key << ", a key the context never had";
            context.erase(key);
        }
        for (qint64 key : changes.inserted) {
            EXPECT_FALSE(context.count(key))
                << name.toStdString() << ": inserted " << key << ", a key the context holds";
            EXPECT_FALSE(changes.updated.contains(key));
            if (now.count(key))
                context[key] = now.at(key);
        }
        for (qint64 key : changes.updated) {
            EXPECT_TRUE(context.count(key))
                << name.toStdString() << ": updated " << key << ", a key the context never had";
            if (context.count(key) && now.count(key)) {
                EXPECT_EQ(context[key].section(QLatin1Char('|'), 0, 0).toStdString(),
                          now.at(key).section(QLatin1Char('|'), 0, 0).toStdString())
                    << name.toStdString() << ": updated " << key << " into another entry";
                context[key] = now.at(key);
            }
        }
        EXPECT_EQ(context, now) << name.toStdString() << ": the context no longer shows the diary";
    }

    // Saves as the window does, and its context follows.
    void save(const QString& uuid, const std::function<void(EntryValues&)>& change) {
        std::optional<StoreRow> existing;
        for (auto& [key, r] : rows()) {
            if (r.values.uuid == uuid)
                existing = r;
        }
        EntryValues v = existing ? existing->values : EntryValues{};
        v.uuid = uuid;
        if (!existing) {
            v.monthTag = 201203;
            v.timeStamp = 1330956429;
            v.hasTimeStamp = true;
        }
        change(v);
        PersistentStore::Changes changes;
        if (existing)
            changes.updated.emplace_back(existing->key, &v);
        else
            changes.inserted.push_back(&v);
        std::vector<qint64> keys;
        ASSERT_TRUE(store->save(changes, &keys, nullptr));
        context[existing ? existing->key : keys.at(0)] = describe(v);
    }
    void trash(qint64 key) {
        PersistentStore::Changes changes;
        changes.deleted.push_back(key);
        ASSERT_TRUE(store->save(changes, nullptr, nullptr));
        context.erase(key);
    }
};

// A copy holds the text below its heading: any entry containing it keeps it.
bool held(const QStringList& diary, const QByteArray& text) {
    for (const QString& line : diary) {
        if (line.contains(QString::fromUtf8(text)))
            return true;
    }
    return false;
}

int snapshots(const QString& container) {
    QDir logs(container + QStringLiteral("/TransactionLogs"));
    int n = 0;
    for (const QString& writer : logs.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        n += int(QDir(logs.filePath(writer)).entryList({QStringLiteral("*.qsnap")}).size());
    return n;
}

TEST(CloudRound, LateJoinersAndSnapshotsConvergeAndTheContextFollowsEveryRound) {
    // QUILLET_MERGE_SEEDS runs more of them: a twentieth as many as of the
    // merge's own test, each being whole diaries on files.
    const unsigned seeds =
        unsigned(std::max(8, qEnvironmentVariableIntValue("QUILLET_MERGE_SEEDS") / 20));
    int joinedFromSnapshot = 0, keptApart = 0;
    for (unsigned seed = 1; seed <= seeds; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        std::mt19937 random(seed);
        auto pick = [&](std::size_t n) { return std::size_t(random() % n); };
        const QString container = makeTempDir();
        std::vector<std::unique_ptr<Machine>> machines;
        machines.push_back(std::make_unique<Machine>(QStringLiteral("A"), container));
        machines.push_back(std::make_unique<Machine>(QStringLiteral("B"), container));
        std::set<QByteArray> saved, gone; // gone: written over or trashed on screen
        int created = 0;

        for (int step = 0; step < 70; ++step) {
            // Late joiners: a third and a fourth diary, once logs have been folded.
            if ((step == 30 || step == 50) && machines.size() < 4) {
                machines.push_back(std::make_unique<Machine>(
                    QStringLiteral("late%1").arg(machines.size()), container));
                joinedFromSnapshot += snapshots(container) > 0;
                machines.back()->sync();
            }
            Machine& m = *machines[pick(machines.size())];
            const std::map<qint64, StoreRow> rows = m.rows();
            const std::size_t op = pick(10);
            const QByteArray text = "text " + QByteArray::number(seed) + "." +
                                    QByteArray::number(step) + " on " + m.name.toUtf8();
            if (op == 0 || rows.empty()) {
                const QString uuid = QStringLiteral("5D1E0B7A-2222-4C3D-8E4F-%1")
                                         .arg(++created, 12, 10, QChar(u'0'));
                m.save(uuid, [&](EntryValues& v) { v.entryText = text; });
                saved.insert(text);
                continue;
            }
            auto it = rows.begin();
            std::advance(it, pick(rows.size()));
            const StoreRow& row = it->second;
            // Written over or trashed with the text on screen: whatever it
            // holds (a copy holds a text below its heading) goes knowingly.
            auto seen = [&] {
                for (const QByteArray& t : saved) {
                    if (row.values.entryText.contains(t))
                        gone.insert(t);
                }
            };
            if (op <= 3) {
                seen();
                m.save(row.values.uuid, [&](EntryValues& v) { v.entryText = text; });
                saved.insert(text);
            } else if (op == 4) {
                m.save(row.values.uuid, [&](EntryValues& v) { v.colorTag = int(pick(6)); });
            } else if (op == 5) {
                seen();
                m.trash(row.key);
            } else {
                m.sync();
            }
        }
        // Everybody in touch again until nothing moves.
        for (int round = 0; round < 4; ++round) {
            for (auto& m : machines)
                m->sync();
        }
        const QStringList diary = machines[0]->diary();
        for (auto& m : machines)
            ASSERT_EQ(m->diary(), diary) << m->name.toStdString() << " differs";
        for (const QByteArray& text : saved) {
            if (gone.count(text))
                continue;
            EXPECT_TRUE(held(diary, text)) << "lost: " << text.toStdString();
            if (!diary.filter(QStringLiteral("Conflicting copy"))
                     .filter(QString::fromUtf8(text))
                     .isEmpty())
                ++keptApart;
        }
    }
    EXPECT_GT(joinedFromSnapshot, 0);
    EXPECT_GT(keptApart, 0) << "the runs wrote texts apart";
}

} // namespace
} // namespace quillet::test
