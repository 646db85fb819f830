// The import of the previous generation's diary and duplicate removal, run
// as the application runs them: on their own threads, into a diary opened
// from its file, with the main event loop turning while they work.
#include "DiaryFiles.h"
#include "DiaryHome.h"
#include "Entries.h"
#include "OldDiaryFiles.h"
#include "TestSupport.h"

#include "core/NotificationCenter.h"
#include "diary/Utility.h"
#include "diary/import/OldDataImporter.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/ManagedObjectModel.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/StoreOptions.h"
#include "store/UndoManager.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QMutex>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <set>

namespace quillet::test {
namespace {

const QStringList kAllNames = {kOldDataWillImport,        kOldDataImporting,
                               kOldDataDidImportSucess,   kOldDataDidImportFail,
                               kDuplicateCheckWillStart,  kDuplicateChecking,
                               kDuplicateCheckEndSuccess, kDuplicateCheckEndFail};

OldDataImporter* importer() {
    return OldDataImporter::sharedImporter();
}

// Every notification of both operations, in the order posted, from whichever thread.
class Heard {
public:
    Heard() {
        for (const QString& name : kAllNames) {
            tokens_.push_back(NotificationCenter::defaultCenter().addObserver(
                name, nullptr, [this](const Notification& n) {
                    QMutexLocker lock(&mutex_);
                    names_ << n.name;
                    if (n.userInfo.contains(kProgressKey)) {
                        progress_[n.name].push_back(n.userInfo.value(kProgressKey).toInt());
                    }
                }));
        }
    }
    ~Heard() {
        for (int token : tokens_) {
            NotificationCenter::defaultCenter().removeObserver(token);
        }
    }
    QStringList names() const {
        QMutexLocker lock(&mutex_);
        return names_;
    }
    // The names without the progress steps between them.
    QStringList outline() const {
        QStringList outline = names();
        outline.removeAll(kOldDataImporting);
        outline.removeAll(kDuplicateChecking);
        return outline;
    }
    std::vector<int> progress(const QString& name) const {
        QMutexLocker lock(&mutex_);
        const auto it = progress_.find(name);
        return it == progress_.end() ? std::vector<int>{} : it->second;
    }
    void clear() {
        QMutexLocker lock(&mutex_);
        names_.clear();
        progress_.clear();
    }

private:
    mutable QMutex mutex_;
    QStringList names_;
    std::map<QString, std::vector<int>> progress_;
    std::vector<int> tokens_;
};

struct Stored {
    QString text;
    int colorTag;
    int monthTag;
    double timeStamp;
};

class OldDataImport : public ::testing::Test {
protected:
    OldDataImport() {
        EXPECT_FALSE(importer()->isWorking()) << "a run of an earlier test is still going";
        QDir().mkpath(home_.storeFolder());
        coordinator_ = std::make_unique<PersistentStoreCoordinator>(
            ManagedObjectModel::mergedModelFromBundles());
        Error error;
        EXPECT_TRUE(coordinator_->addPersistentStore(NSSQLiteStoreType, QString(),
                                                     home_.storePath(), {}, &error))
            << error.localizedDescription.toStdString();
        context_ = std::make_unique<ManagedObjectContext>(
            ManagedObjectContext::ConcurrencyType::MainQueue);
        context_->setPersistentStoreCoordinator(coordinator_.get());
    }
    ~OldDataImport() override {
        test::waitFor([] { return !importer()->isWorking(); }, 60000);
        QCoreApplication::processEvents();
    }

    QString oldPath() const {
        return home_.dataHome() + QStringLiteral("/QuilletMac/Quillet.sqlite");
    }

    // Turns the event loop until the importer is idle again and one of the names was heard.
    void waitFor(const QStringList& ends) {
        auto ended = [&] {
            const QStringList names = heard_.names();
            return std::any_of(ends.begin(), ends.end(),
                               [&](const QString& end) { return names.contains(end); });
        };
        ASSERT_TRUE(test::waitFor([&] { return ended() && !importer()->isWorking(); }, 60000))
            << "the run did not end";
        QCoreApplication::processEvents();
    }

    void import(ManagedObjectContext* context = nullptr) {
        heard_.clear();
        importer()->asyncImportWithManagedObjectContext(context ? context : context_.get());
        waitFor({kOldDataDidImportSucess, kOldDataDidImportFail});
    }
    void removeDuplicates(ManagedObjectContext* context = nullptr) {
        heard_.clear();
        importer()->asyncRemoveDuplicateWithManagedObjectContext(context ? context
                                                                         : context_.get());
        waitFor({kDuplicateCheckEndSuccess, kDuplicateCheckEndFail});
    }

    std::map<QString, Stored> entries() const {
        std::map<QString, Stored> found;
        for (ManagedObject* o : context_->registeredObjects()) {
            EXPECT_FALSE(found.count(o->uuid())) << "identifier twice: " << o->uuid().toStdString();
            found[o->uuid()] = {o->entryText(), o->colorTag(), o->monthTag(),
                                o->timeStampSeconds()};
        }
        return found;
    }
    int savedRows() const { return rawCount(home_.storePath()); }

    ManagedObject* add(const QString& uuid, const QString& text = QStringLiteral("written here")) {
        return addEntry(*context_, QDateTime::fromSecsSinceEpoch(1400000000, Qt::UTC), text, 0,
                        uuid);
    }

    ScopedTimeZone zone_{"UTC"};
    ScopedDiaryHome home_;
    Heard heard_;
    std::unique_ptr<PersistentStoreCoordinator> coordinator_;
    std::unique_ptr<ManagedObjectContext> context_;
};

// n rows named ROW-0 ... with the given texts.
std::vector<OldRow> numberedRows(
    int n, const std::function<QString(int)>& text = [](int) { return QStringLiteral("text"); }) {
    std::vector<OldRow> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back(oldRow(QStringLiteral("ROW-%1").arg(i), text(i)));
    return rows;
}

const QStringList kImportSucceeded = {kOldDataWillImport, kOldDataDidImportSucess};
const QStringList kImportFailed = {kOldDataWillImport, kOldDataDidImportFail};
const QStringList kRemovalSucceeded = {kDuplicateCheckWillStart, kDuplicateCheckEndSuccess};
const OldRow kNoIdentifier{QVariant(), QStringLiteral("no identifier"), 0, 1.0, 0};

TEST_F(OldDataImport, TheLiveRowsComeInWithTheirValuesAndAreSaved) {
    ASSERT_TRUE(writeOldDiary(
        oldPath(), {
                       oldRow(QStringLiteral("A"), QStringLiteral("first"), 1, 1330956429.25),
                       oldRow(QStringLiteral("T1"), QStringLiteral("trashed"), 2, 1.0, 1),
                       oldRow(QStringLiteral("B"), QStringLiteral("second\nline"), 0, 1330000000),
                       oldRow(QStringLiteral("C"), QStringLiteral("caf\u00e9"), 5, 1331000000),
                       oldRow(QStringLiteral("T2"), QStringLiteral("trashed"), 2, 1.0, 1),
                       oldRow(QStringLiteral("D"), QStringLiteral("last"), 3, 1333000000),
                   }));
    const QByteArray oldBytes = readBytes(oldPath());
    LogCapture log;
    import();
    EXPECT_EQ(heard_.outline(), kImportSucceeded);
    EXPECT_EQ(heard_.progress(kOldDataImporting), (std::vector<int>{25, 50, 75, 100}));
    EXPECT_EQ(log.count(QStringLiteral("path: ") + oldPath()), 1);

    const std::map<QString, Stored> stored = entries();
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored.at("A").text, "first");
    EXPECT_EQ(stored.at("A").colorTag, 1);
    EXPECT_DOUBLE_EQ(stored.at("A").timeStamp, 1330956429.25);
    EXPECT_EQ(stored.at("A").monthTag, 201203);
    EXPECT_EQ(stored.at("B").text, "second\nline");
    EXPECT_EQ(stored.at("B").monthTag, 201202);
    EXPECT_EQ(stored.at("C").text, QStringLiteral("caf\u00e9"));
    EXPECT_EQ(stored.at("D").colorTag, 3);

    // Saved, so a kill now loses nothing; and only then is the old data counted as imported.
    EXPECT_FALSE(context_->hasChanges());
    EXPECT_EQ(savedRows(), 4);
    EXPECT_TRUE(Utility::sharedUtility()->isOldDataImported());
    EXPECT_EQ(readBytes(oldPath()), oldBytes) << "the old file is only read";
    EXPECT_EQ(folderNames(QFileInfo(oldPath()).absolutePath()),
              QStringList{QStringLiteral("Quillet.sqlite")});
    // Nothing of it is the user's to undo.
    EXPECT_FALSE(context_->undoManager()->canUndo());
}

TEST_F(OldDataImport, PercentagesAreDividedFirstAndTruncated) {
    ASSERT_TRUE(writeOldDiary(oldPath(), numberedRows(100)));
    import();
    const std::vector<int> hundred = heard_.progress(kOldDataImporting);
    ASSERT_EQ(hundred.size(), 100u);
    EXPECT_EQ(hundred[28], 28) << "row 29: 29 / 100 * 100 falls just short of 29";
    EXPECT_EQ(hundred[56], 56);
    EXPECT_EQ(hundred[57], 57);
    EXPECT_EQ(hundred[99], 100);

    // Rows without an identifier are not counted but still stepped: past 100.
    ASSERT_TRUE(
        writeOldDiary(oldPath(), {oldRow(QStringLiteral("X"), QStringLiteral("x")), kNoIdentifier,
                                  oldRow(QStringLiteral("Y"), QStringLiteral("y")),
                                  OldRow{QStringLiteral("NO TEXT"), QVariant(), 0, 1.0, 0}}));
    import();
    EXPECT_EQ(heard_.progress(kOldDataImporting), (std::vector<int>{33, 66, 100, 133}));
    EXPECT_EQ(heard_.outline(), kImportSucceeded);
    EXPECT_TRUE(entries().count("X") && entries().count("Y"));
    EXPECT_FALSE(entries().count("NO TEXT"));

    // Only rows without identifiers: nothing to divide by, and every row counts as all done.
    ASSERT_TRUE(writeOldDiary(oldPath(), {kNoIdentifier, kNoIdentifier}));
    import();
    EXPECT_EQ(heard_.progress(kOldDataImporting), (std::vector<int>{100, 100}));
    EXPECT_EQ(heard_.outline(), kImportSucceeded);

    // No live rows at all: no step between the first word and the last.
    ASSERT_TRUE(writeOldDiary(
        oldPath(), {oldRow(QStringLiteral("GONE"), QStringLiteral("trashed"), 0, 1.0, 1)}));
    import();
    EXPECT_EQ(heard_.names(), kImportSucceeded);
}

TEST_F(OldDataImport, ALargeFileStillPostsEveryPercentage) {
    ASSERT_TRUE(writeOldDiary(oldPath(), numberedRows(5000)));
    import();
    EXPECT_EQ(heard_.outline(), kImportSucceeded);
    const std::vector<int> posted = heard_.progress(kOldDataImporting);
    std::set<int> expected;
    for (int k = 1; k <= 5000; ++k) {
        expected.insert(int(double(k) / 5000.0 * 100.0));
    }
    EXPECT_EQ(std::set<int>(posted.begin(), posted.end()), expected)
        << "every value a row would post";
    EXPECT_TRUE(std::is_sorted(posted.begin(), posted.end()));
    EXPECT_LT(posted.size(), 5000u) << "a row that repeats the last value is not posted again";
    EXPECT_EQ(entries().size(), 5000u);
    EXPECT_EQ(savedRows(), 5000);
}

TEST_F(OldDataImport, AnIdentifierComesInOnceHoweverOftenItIsMet) {
    add(QStringLiteral("HERE"));
    Error error;
    ASSERT_TRUE(context_->save(&error));
    const QStringList awkward = {QStringLiteral("O'Brien"), QStringLiteral("back\\slash"),
                                 QStringLiteral("say \"hi\""), QStringLiteral("' OR uuid != '")};
    std::vector<OldRow> rows = {
        oldRow(QStringLiteral("HERE"), QStringLiteral("from the old file")),
        oldRow(QStringLiteral("TWICE"), QStringLiteral("met first"), 1),
        oldRow(QStringLiteral("twice"), QStringLiteral("another letter case")),
        oldRow(QStringLiteral("TWICE"), QStringLiteral("met second"), 2)};
    for (const QString& uuid : awkward) {
        rows.push_back(oldRow(uuid, QStringLiteral("awkward")));
    }
    ASSERT_TRUE(writeOldDiary(oldPath(), rows));
    import();
    EXPECT_EQ(heard_.outline(), kImportSucceeded);
    std::map<QString, Stored> stored = entries();
    EXPECT_EQ(stored.size(), 3u + awkward.size());
    EXPECT_EQ(stored.at("HERE").text, "written here") << "an entry already there is not changed";
    EXPECT_EQ(stored.at("TWICE").text, "met first");
    EXPECT_EQ(stored.at("TWICE").colorTag, 1);
    EXPECT_EQ(stored.at("twice").text, "another letter case");
    for (const QString& uuid : awkward) {
        EXPECT_TRUE(stored.count(uuid)) << uuid.toStdString();
    }

    // Again: the same steps, nothing new.
    import();
    EXPECT_EQ(heard_.outline(), kImportSucceeded);
    EXPECT_EQ(heard_.progress(kOldDataImporting).size(), rows.size());
    EXPECT_EQ(entries().size(), stored.size());
    EXPECT_EQ(savedRows(), int(stored.size()));

    // The row-by-row entry point checks the same way.
    OldDataImporter::sharedImporter()->setManagedObjectContext(context_.get());
    importer()->dataImportedWithUuid(QStringLiteral("O'Brien"), QStringLiteral("again"), 0,
                                     QDateTime::currentDateTime());
    importer()->dataImportedWithUuid(QStringLiteral("NEW"), QStringLiteral("one more"), 4,
                                     QDateTime::fromSecsSinceEpoch(0, Qt::UTC));
    EXPECT_EQ(entries().size(), stored.size() + 1);
    EXPECT_EQ(entries().at("NEW").colorTag, 4);
}

// How each column is read (NULLs, odd tags) is OldDiaryReader's; here what
// the import makes of the moment.
TEST_F(OldDataImport, ValuesAreCopiedAsTheyAre) {
    ASSERT_TRUE(writeOldDiary(oldPath(),
                              {oldRow(QStringLiteral("ZERO"), QStringLiteral("epoch"), 0, 0.0),
                               oldRow(QStringLiteral("MINUS"), QStringLiteral("tag -3"), -3, 1.0),
                               oldRow(QStringLiteral("FOREVER"), QStringLiteral("no moment"), 1,
                                      std::numeric_limits<double>::infinity())}));
    import();
    std::map<QString, Stored> stored = entries();
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored.at("ZERO").timeStamp, 0.0);
    EXPECT_EQ(stored.at("ZERO").monthTag, 197001);
    EXPECT_EQ(stored.at("MINUS").colorTag, -3);
    EXPECT_EQ(stored.at("FOREVER").timeStamp, 0.0)
        << "a time with no date reads as 0, as NULL does";

    // The month of the moment 0 is the local one.
    ScopedTimeZone newYork("America/New_York");
    ASSERT_TRUE(writeOldDiary(
        oldPath(), {oldRow(QStringLiteral("ZERO WEST"), QStringLiteral("epoch"), 0, 0.0)}));
    import();
    EXPECT_EQ(entries().at("ZERO WEST").monthTag, 196912);
}

TEST_F(OldDataImport, OneRunAtATimeFromTheFirstClick) {
    ASSERT_TRUE(writeOldDiary(oldPath(), numberedRows(300)));
    // Two clicks in one turn of the event loop: the second finds the flag raised.
    heard_.clear();
    importer()->asyncImportWithManagedObjectContext(context_.get());
    EXPECT_TRUE(importer()->isWorking());
    importer()->asyncImportWithManagedObjectContext(context_.get());
    importer()->asyncRemoveDuplicateWithManagedObjectContext(context_.get());
    waitFor({kOldDataDidImportSucess, kOldDataDidImportFail});
    EXPECT_EQ(heard_.outline(), kImportSucceeded);
    EXPECT_EQ(entries().size(), 300u);

    // And the other way round; the context is kept even when nothing starts.
    ManagedObjectContext other;
    heard_.clear();
    importer()->asyncRemoveDuplicateWithManagedObjectContext(context_.get());
    importer()->asyncImportWithManagedObjectContext(&other);
    EXPECT_EQ(importer()->managedObjectContext(), &other);
    waitFor({kDuplicateCheckEndSuccess, kDuplicateCheckEndFail});
    EXPECT_EQ(heard_.outline(), kRemovalSucceeded);

    // No context, no run.
    heard_.clear();
    importer()->asyncImportWithManagedObjectContext(nullptr);
    EXPECT_FALSE(importer()->isWorking());
    QCoreApplication::processEvents();
    EXPECT_TRUE(heard_.names().isEmpty());
}

TEST_F(OldDataImport, AFileThatCannotBeImportedEndsInFailureAndIsLeftAlone) {
    // The reader's own tests go through the kinds of file it refuses (none
    // at all among them); one stands for them here.
    QDir().mkpath(QFileInfo(oldPath()).absolutePath());
    ASSERT_TRUE(writeBytes(oldPath(), QByteArray(8192, '\x42')));
    import();
    EXPECT_EQ(heard_.names(), kImportFailed) << "no database";
    EXPECT_EQ(readBytes(oldPath()), QByteArray(8192, '\x42'));
    EXPECT_TRUE(entries().empty());
    EXPECT_FALSE(Utility::sharedUtility()->isOldDataImported());
}

TEST_F(OldDataImport, AFileThatBreaksOffKeepsWhatCameInButIsNotDone) {
    ASSERT_TRUE(writeOldDiary(oldPath(), numberedRows(40, [](int i) {
                                  return QString(12000, QLatin1Char('a' + i % 26));
                              })));
    const int page =
        rawQuery(oldPath(), "SELECT pageno FROM dbstat WHERE name = 'entries' AND path "
                            "LIKE '%+000000' ORDER BY pageno DESC LIMIT 1")
            .toInt();
    if (page == 0) {
        GTEST_SKIP() << "this SQLite cannot tell where a text's pages are (no dbstat)";
    }
    QByteArray bytes = readBytes(oldPath());
    bytes.replace((page - 1) * 4096, 4, QByteArray(4, '\xee'));
    ASSERT_TRUE(writeBytes(oldPath(), bytes));

    import();
    EXPECT_EQ(heard_.outline(), kImportFailed);
    const std::size_t came = entries().size();
    EXPECT_GT(came, 0u);
    EXPECT_LT(came, 40u);
    EXPECT_EQ(savedRows(), int(came)) << "what came in is saved";
    EXPECT_FALSE(Utility::sharedUtility()->isOldDataImported()) << "so the next launch tries again";
    EXPECT_EQ(readBytes(oldPath()), bytes);
}

TEST_F(OldDataImport, NothingComesIntoADiaryThatCannotKeepIt) {
    ASSERT_TRUE(writeOldDiary(oldPath(), {oldRow(QStringLiteral("A"), QStringLiteral("a"))}));
    // A context with no diary file behind it: the entries could never be saved.
    ManagedObjectContext unsaved;
    import(&unsaved);
    EXPECT_EQ(heard_.outline(), kImportFailed);
    EXPECT_TRUE(unsaved.registeredObjects().empty());
    EXPECT_FALSE(Utility::sharedUtility()->isOldDataImported());

    // The diary closes while the import runs: the run ends, nothing is touched.
    ASSERT_TRUE(writeOldDiary(oldPath(), numberedRows(3000)));
    auto closing = std::make_unique<ManagedObjectContext>();
    closing->setPersistentStoreCoordinator(coordinator_.get());
    ManagedObjectContext* doomed = closing.get();
    const int token = NotificationCenter::defaultCenter().addObserver(
        kOldDataImporting, nullptr, [&](const Notification&) {
            QMetaObject::invokeMethod(
                qApp, [&] { closing.reset(); }, Qt::QueuedConnection);
        });
    import(doomed);
    NotificationCenter::defaultCenter().removeObserver(token);
    EXPECT_FALSE(closing);
    EXPECT_EQ(heard_.outline(), kImportFailed);
}

// ---- Duplicate removal

TEST_F(OldDataImport, RemovalKeepsTheFirstEntryOfEachIdentifier) {
    removeDuplicates();
    EXPECT_EQ(heard_.names(), kRemovalSucceeded) << "an empty diary: no step at all";
    add(QStringLiteral("ONLY"));
    Error error;
    ASSERT_TRUE(context_->save(&error));
    removeDuplicates();
    EXPECT_EQ(heard_.progress(kDuplicateChecking), std::vector<int>{0}) << "none reaches 100";

    ManagedObject* a = add(QStringLiteral("A"), QStringLiteral("A"));
    add(QStringLiteral("B"), QStringLiteral("B"));
    add(QStringLiteral("A"), QStringLiteral("A2"));
    add(QStringLiteral("C"), QStringLiteral("C"));
    add(QStringLiteral("A"), QStringLiteral("A3"));
    ASSERT_TRUE(context_->save(&error));
    context_->undoManager()->removeAllActions();
    removeDuplicates();
    EXPECT_EQ(heard_.outline(), kRemovalSucceeded);
    EXPECT_EQ(heard_.progress(kDuplicateChecking), (std::vector<int>{0, 16, 33, 50, 66, 83}));
    const std::map<QString, Stored> left = entries();
    ASSERT_EQ(left.size(), 4u);
    EXPECT_EQ(left.at("A").text, "A");
    EXPECT_TRUE(a->isLive());
    EXPECT_EQ(savedRows(), 4);
    EXPECT_FALSE(context_->hasChanges());
    EXPECT_FALSE(context_->undoManager()->canUndo()) << "not an edit of the user's to take back";

    // Letter case makes another identifier; an entry without one is left alone.
    add(QStringLiteral("a"));
    context_->insertNewObject(QStringLiteral("Entry"))
        ->setValue(EntryKey::EntryText, QStringLiteral("no identifier"));
    context_->insertNewObject(QStringLiteral("Entry"))
        ->setValue(EntryKey::EntryText, QStringLiteral("no identifier"));
    removeDuplicates();
    EXPECT_EQ(context_->registeredObjects().size(), 7u);
    EXPECT_EQ(savedRows(), 7) << "pending entries are saved with it";
}

TEST_F(OldDataImport, RemovalThatCannotSaveSaysSo) {
    ManagedObjectContext unsaved;
    for (int i = 0; i < 2; ++i) {
        ManagedObject* e = unsaved.insertNewObject(QStringLiteral("Entry"));
        e->setValue(EntryKey::Uuid, QStringLiteral("SAME"));
    }
    LogCapture log;
    removeDuplicates(&unsaved);
    EXPECT_EQ(heard_.outline(), (QStringList{kDuplicateCheckWillStart, kDuplicateCheckEndFail}));
    EXPECT_EQ(heard_.progress(kDuplicateChecking), (std::vector<int>{0, 50}));
    const QStringList lines = log.lines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QString& l) {
        return l.startsWith(QStringLiteral("errpr:"));
    }));
    EXPECT_EQ(unsaved.registeredObjects().size(), 1u)
        << "the copy is gone from the window all the same";
}

} // namespace
} // namespace quillet::test
