// Whole diaries exchanging logs through one container, with machines that
// join late and writers that fold their logs into snapshots: after every
// round, the row keys an exchange announces bring a context that had read
// the diary before the round to exactly what the diary holds; in the end
// every machine holds the same diary and no text saved apart is lost.
#include "CloudMachine.h"
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

// One machine of the round, with a window's context: row key -> values,
// kept up to date only by this machine's own saves and the keys the
// exchange announces.
struct RoundMachine : Machine {
    QString name;
    std::map<qint64, QString> context;

    RoundMachine(QString machineName, const QString& container)
        : Machine(makeTempDir(), container), name(std::move(machineName)) {
        exchange->setFoldAfter(3);
    }
    std::map<qint64, QString> stored() {
        std::map<qint64, QString> lines;
        for (const StoreRow& r : rows())
            lines[r.key] = describe(r.values);
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
    void create(const QString& uuid, const QByteArray& text) {
        const qint64 key = insert(uuid, text.constData());
        context[key] = describe(row(uuid)->values);
    }
    void save(const QString& uuid, const std::function<void(EntryValues&)>& change) {
        update(uuid, change);
        const StoreRow saved = *row(uuid);
        context[saved.key] = describe(saved.values);
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
        std::vector<std::unique_ptr<RoundMachine>> machines;
        machines.push_back(std::make_unique<RoundMachine>(QStringLiteral("A"), container));
        machines.push_back(std::make_unique<RoundMachine>(QStringLiteral("B"), container));
        std::set<QByteArray> saved, gone; // gone: written over or trashed on screen
        int created = 0;

        for (int step = 0; step < 70; ++step) {
            // Late joiners: a third and a fourth diary, once logs have been folded.
            if ((step == 30 || step == 50) && machines.size() < 4) {
                machines.push_back(std::make_unique<RoundMachine>(
                    QStringLiteral("late%1").arg(machines.size()), container));
                joinedFromSnapshot += !writerFiles(container, QStringLiteral("*.qsnap")).isEmpty();
                machines.back()->sync();
            }
            RoundMachine& m = *machines[pick(machines.size())];
            const std::vector<StoreRow> rows = m.rows();
            const std::size_t op = pick(10);
            const QByteArray text = "text " + QByteArray::number(seed) + "." +
                                    QByteArray::number(step) + " on " + m.name.toUtf8();
            if (op == 0 || rows.empty()) {
                const QString uuid = QStringLiteral("5D1E0B7A-2222-4C3D-8E4F-%1")
                                         .arg(++created, 12, 10, QChar(u'0'));
                m.create(uuid, text);
                saved.insert(text);
                continue;
            }
            const StoreRow& row = rows[pick(rows.size())];
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
