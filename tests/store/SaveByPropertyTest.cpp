// A save writes, and stamps for the change log, only the properties the
// context changed since it read the record: a change another connection
// made meanwhile to the others (the cloud exchange applying another
// machine's log) stays in the row and in the stamps, on every machine. A
// text is written over the text the context read: one typed beside another
// machine's newer text keeps both, whether saved here or beside the window.
#include "CloudMachine.h"
#include "OpenDiary.h"
#include "TestSupport.h"

#include "core/TextFolder.h"
#include "store/ChangeSet.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"
#include "store/cloud/LogExchange.h"
#include "store/cloud/Merge.h"

#include <QDateTime>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <sqlite3.h>

namespace quillet::test {
namespace {

using namespace cloud;

const QString kEntry = QStringLiteral("7B0E5C1A-3333-4D2E-8F10-000000000001");

// The file as another connection sees it.
struct FileView {
    explicit FileView(const QString& path) {
        EXPECT_TRUE(db.open(path, SQLITE_OPEN_READWRITE, nullptr));
        db.setBusyTimeout(2000);
    }
    std::optional<EntryValues> row(const QString& uuid) {
        SqliteStatement s(db.handle(),
                          "SELECT entryText, colorTag, monthTag, timeStamp, foldedText "
                          "FROM entry WHERE uuid = ?");
        s.bindText(1, uuid);
        if (s.step() != SQLITE_ROW)
            return std::nullopt;
        EntryValues v;
        v.uuid = uuid;
        v.entryText = s.columnUtf8(0);
        v.colorTag = s.columnInt(1);
        v.monthTag = s.columnInt(2);
        v.hasTimeStamp = !s.isNull(3);
        v.timeStamp = s.columnDouble(3);
        v.foldedText = s.columnUtf8(4).toStdString();
        return v;
    }
    EntryState stamps(const QString& uuid) {
        SqliteStatement s(db.handle(), "SELECT state FROM entryClock WHERE uuid = ?");
        s.bindText(1, uuid);
        EntryState state;
        EXPECT_EQ(s.step(), SQLITE_ROW);
        EXPECT_TRUE(decodeEntryState(QByteArray::fromBase64(s.columnUtf8(0)), &state));
        return state;
    }
    bool queued(const QString& uuid) {
        SqliteStatement s(db.handle(), "SELECT 1 FROM outbox WHERE uuid = ?");
        s.bindText(1, uuid);
        return s.step() == SQLITE_ROW;
    }
    QUuid writer() { return storeIdentifier(db); }
    void exec(const char* sql) { EXPECT_TRUE(db.exec(sql, nullptr)) << sql; }
    SqliteDatabase db;
};

ManagedObject* insertEntry(OpenDiary& diary, const QString& text, int color) {
    ManagedObject* e = diary.context.insertNewObject(QStringLiteral("Entry"));
    e->setValue(EntryKey::Uuid, kEntry);
    e->setValue(EntryKey::EntryText, text);
    e->setValue(EntryKey::ColorTag, color);
    e->setValue(EntryKey::MonthTag, 201203);
    e->setValue(EntryKey::TimeStamp, QDateTime::fromSecsSinceEpoch(1330956429, Qt::UTC));
    return e;
}

TEST(SaveByProperty, ASaveWritesWhatTheContextChangedAndLeavesTheRestOfTheRow) {
    const QString path = makeTempDir() + QStringLiteral("/entries.sqlite");
    {
        OpenDiary first(path);
        insertEntry(first, QStringLiteral("as read"), 2);
        ASSERT_TRUE(first.save());
    }
    OpenDiary diary(path);
    ManagedObject* entry = diary.only();
    ASSERT_TRUE(entry);
    FileView file(path);

    // Another connection rewrites the text while the context re-tags: the
    // re-tag is saved, the text is not put back, and not stamped as ours.
    file.exec("UPDATE entry SET entryText = 'written elsewhere', foldedText = 'written elsewhere'");
    const EntryState before = file.stamps(kEntry);
    entry->setValue(EntryKey::ColorTag, 5);
    ASSERT_TRUE(diary.save());
    EntryValues row = *file.row(kEntry);
    EXPECT_EQ(row.colorTag, 5);
    EXPECT_EQ(row.entryText, "written elsewhere");
    EXPECT_EQ(row.foldedText, "written elsewhere");
    EntryState after = file.stamps(kEntry);
    EXPECT_EQ(after.text, before.text);
    EXPECT_GT(after.color.clock, before.color.clock);
    EXPECT_EQ(after.moment, before.moment);

    // A text edit writes the text with its folded form, and nothing else.
    file.exec("UPDATE entry SET colorTag = 3");
    const QString cafe = QStringLiteral("Caf\u00e9 AU LAIT");
    entry->setValue(EntryKey::EntryText, cafe);
    ASSERT_TRUE(diary.save());
    row = *file.row(kEntry);
    EXPECT_EQ(row.entryText, cafe.toUtf8());
    EXPECT_EQ(row.foldedText, TextFolder::fold(cafe));
    EXPECT_EQ(row.colorTag, 3);

    // A moment is written whole: a new time stamp takes its month tag along,
    // even when only the time stamp was set.
    file.exec("UPDATE entry SET monthTag = 199901");
    entry->setValue(EntryKey::TimeStamp, QDateTime::fromSecsSinceEpoch(1333634829, Qt::UTC));
    ASSERT_TRUE(diary.save());
    row = *file.row(kEntry);
    EXPECT_EQ(row.timeStamp, 1333634829);
    EXPECT_EQ(row.monthTag, 201203);
    EXPECT_EQ(row.entryText, cafe.toUtf8());
    EXPECT_EQ(row.colorTag, 3);
    after = file.stamps(kEntry);
    EXPECT_EQ(after.monthTag, 201203);
    EXPECT_EQ(after.timeStamp, 1333634829);

    // A row removed elsewhere takes no change: the save says so, stamps
    // nothing and keeps the edit.
    const EntryState stamped = file.stamps(kEntry);
    file.exec("DELETE FROM entry");
    entry->setValue(EntryKey::ColorTag, 2);
    Error error;
    EXPECT_FALSE(diary.context.save(&error));
    EXPECT_EQ(error.code, StoreEntryGoneError);
    EXPECT_TRUE(diary.context.hasChanges());
    EXPECT_EQ(file.stamps(kEntry), stamped);

    // Once the removal is merged, the edit still wins: the entry stays, and
    // the next save writes it whole as a new row, stamped after the removal.
    ChangeSet removal;
    removal.deleted.push_back(entry);
    diary.context.mergeChangesFromContextDidSave(removal);
    EXPECT_TRUE(entry->isLive());
    EXPECT_EQ(diary.only(), entry);
    ASSERT_TRUE(diary.save());
    EXPECT_EQ(rawCount(path), 1);
    row = *file.row(kEntry);
    EXPECT_EQ(row.colorTag, 2);
    EXPECT_EQ(row.entryText, cafe.toUtf8());
    EXPECT_GT(file.stamps(kEntry).text, stamped.text);
}

// This machine (a window's context and its exchange) and another one saving
// through its store, one container between them; the entry is on both.
struct TwoWriters {
    TwoWriters()
        : here(makeTempDir() + QStringLiteral("/entries.sqlite")),
          hereExchange(here.path, container), there(makeTempDir(), container) {
        entry = insertEntry(here, QStringLiteral("as both read it"), 1);
        EXPECT_TRUE(here.save());
        exchangeAll();
    }
    void exchangeAll() {
        AppliedChanges ignored;
        for (int round = 0; round < 2; ++round) {
            hereExchange.exchange(&ignored);
            there.exchange->exchange(&ignored);
        }
    }
    // The other machine saves a change and sends it; this one applies it to
    // its file, not yet to its context.
    void savedThereArrives(const std::function<void(EntryValues&)>& edit, unsigned changed) {
        std::optional<StoreRow> row = there.row(kEntry);
        ASSERT_TRUE(row);
        edit(row->values);
        PersistentStore::Changes changes;
        changes.updated.emplace_back(row->key, &row->values, changed);
        Error error;
        ASSERT_TRUE(there.store->save(changes, nullptr, &error))
            << error.localizedDescription.toStdString();
        AppliedChanges applied;
        there.exchange->exchange(&applied);
        hereExchange.exchange(&applied);
        ASSERT_EQ(applied.updated, QSet<qint64>{entry->objectID().value});
        ASSERT_EQ(hereFile.row(kEntry)->entryText, row->values.entryText);
        ASSERT_EQ(hereFile.row(kEntry)->colorTag, row->values.colorTag);
    }
    void textSavedThereArrives(const QString& text) {
        savedThereArrives(
            [&](EntryValues& v) {
                v.entryText = text.toUtf8();
                v.foldedText = TextFolder::fold(text);
            },
            entryKeyBit(EntryKey::EntryText));
    }
    void mergeIntoContext() {
        ChangeSet merged;
        merged.updated.push_back(entry);
        here.context.mergeChangesFromContextDidSave(merged);
    }
    // Every entry's text by identifier, as a file holds them.
    static std::map<QString, QByteArray> texts(FileView& file) {
        std::map<QString, QByteArray> all;
        SqliteStatement s(file.db.handle(), "SELECT uuid, entryText FROM entry");
        while (s.step() == SQLITE_ROW)
            all[s.columnText(0)] = s.columnUtf8(1);
        return all;
    }
    // Both machines' files hold exactly these texts.
    void expectTexts(const std::map<QString, QByteArray>& expected) {
        EXPECT_EQ(texts(hereFile), expected);
        EXPECT_EQ(texts(thereFile), expected);
    }
    const QString container = makeTempDir();
    OpenDiary here;
    LogExchange hereExchange;
    Machine there;
    ManagedObject* entry = nullptr;
    FileView hereFile{here.path}, thereFile{there.path};
};

TEST(SaveByProperty, AnotherMachinesReTagSurvivesASaveOfAnUnsavedTextEdit) {
    TwoWriters w;
    // Re-tagged there; here the text is being edited, not saved yet. The
    // re-tag arrives here before the context has merged it, and the edit is saved.
    w.savedThereArrives([](EntryValues& v) { v.colorTag = 4; }, entryKeyBit(EntryKey::ColorTag));
    w.entry->setValue(EntryKey::EntryText, QStringLiteral("the local ending"));
    ASSERT_EQ(w.entry->colorTag(), 1) << "not merged yet";
    ASSERT_TRUE(w.here.save());

    const EntryValues saved = *w.hereFile.row(kEntry);
    EXPECT_EQ(saved.colorTag, 4);
    EXPECT_EQ(saved.entryText, "the local ending");
    EXPECT_EQ(saved.foldedText, TextFolder::fold(QStringLiteral("the local ending")));
    EXPECT_EQ(saved.monthTag, 201203);
    // The stamps say whose each property is: the color is still the other
    // machine's change, only the text is this save's, and it goes out.
    const EntryState stamps = w.hereFile.stamps(kEntry);
    EXPECT_EQ(stamps.colorTag, 4);
    EXPECT_EQ(stamps.color.writer, w.thereFile.writer());
    EXPECT_EQ(stamps.text.writer, w.hereFile.writer());
    EXPECT_TRUE(w.hereFile.queued(kEntry));

    // The context merges what the exchange applied: both changes are shown.
    w.mergeIntoContext();
    EXPECT_EQ(w.entry->colorTag(), 4);
    EXPECT_EQ(w.entry->entryText(), QStringLiteral("the local ending"));
    EXPECT_FALSE(w.here.context.hasChanges());

    // And on the other machine once the logs went round: both, and no copy.
    w.exchangeAll();
    w.expectTexts({{kEntry, "the local ending"}});
    EXPECT_EQ(w.thereFile.row(kEntry)->colorTag, 4);
}

TEST(SaveByProperty, ATextEditedBesideAnotherMachinesNewerTextKeepsBoth) {
    TwoWriters w;
    w.here.context.setMergePolicy(ManagedObjectContext::MergePolicy::MergeByPropertyObjectTrump);
    const EntryState read = w.hereFile.stamps(kEntry);

    // Typed here over the text as read; meanwhile the other machine's text
    // arrives, and is merged into the window, where the unsaved edit stays.
    w.entry->setValue(EntryKey::EntryText, QStringLiteral("typed here"));
    w.textSavedThereArrives(QStringLiteral("typed there"));
    const EntryState theirs = w.thereFile.stamps(kEntry);
    ASSERT_EQ(theirs.textBase, read.text);
    w.mergeIntoContext();
    ASSERT_EQ(w.entry->entryText(), QStringLiteral("typed here"));
    ASSERT_TRUE(w.here.save());

    // The edit was written over the text it was typed over, not over theirs,
    // which stays here at once as a copy, in the file and in the context.
    const EntryState mine = w.hereFile.stamps(kEntry);
    EXPECT_EQ(mine.textBase, read.text);
    const QString copyId = conflictCopyIdentifier(kEntry, theirs.text);
    const QByteArray copyText = QByteArray(kConflictCopyHeading) + "typed there";
    const std::map<QString, QByteArray> expected{{kEntry, "typed here"}, {copyId, copyText}};
    EXPECT_EQ(TwoWriters::texts(w.hereFile), expected);
    const std::vector<ManagedObject*> shown = w.here.context.registeredObjects();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1]->uuid(), copyId);
    EXPECT_EQ(shown[1]->entryText().toUtf8(), copyText);
    EXPECT_EQ(shown[1]->colorTag(), 1);
    EXPECT_FALSE(w.here.context.hasChanges());

    // The other machine makes the same copy from the log, once.
    w.exchangeAll();
    w.expectTexts(expected);
}

TEST(SaveByProperty, AnEditTypedOverAMergedTextSupersedesIt) {
    TwoWriters w;
    // The other machine's text is in the window before typing starts.
    w.textSavedThereArrives(QStringLiteral("typed there"));
    w.mergeIntoContext();
    ASSERT_EQ(w.entry->entryText(), QStringLiteral("typed there"));
    w.entry->setValue(EntryKey::EntryText, QStringLiteral("typed there, then here"));
    ASSERT_TRUE(w.here.save());
    EXPECT_EQ(w.hereFile.stamps(kEntry).textBase, w.thereFile.stamps(kEntry).text);
    w.exchangeAll();
    w.expectTexts({{kEntry, "typed there, then here"}});

    // Typing begun, then the other machine's text merged over it (the file
    // wins under this policy): what is typed next is typed over that text.
    w.entry->setValue(EntryKey::EntryText, QStringLiteral("lost to the merge"));
    w.textSavedThereArrives(QStringLiteral("again there"));
    w.mergeIntoContext();
    ASSERT_EQ(w.entry->entryText(), QStringLiteral("again there"));
    w.entry->setValue(EntryKey::EntryText, QStringLiteral("again there, and here"));
    ASSERT_TRUE(w.here.save());
    w.exchangeAll();
    w.expectTexts({{kEntry, "again there, and here"}});
    EXPECT_EQ(w.here.context.registeredObjects().size(), 1u);
}

TEST(SaveByProperty, ALongTextSavedAsideKeepsWhatIsTypedMeanwhileForTheNextSave) {
    TwoWriters w;
    ManagedObjectContext& context = w.here.context;
    std::vector<Error> outcomes;
    QObject::connect(
        &context, &ManagedObjectContext::savedAside,
        [&](bool saved, const Error& error) { outcomes.push_back(saved ? Error() : error); });
    const QString first =
        QStringLiteral("\u00c9t\u00e9 ").repeated(int(ManagedObjectContext::kSaveAsideBytes / 4));
    const QString second = first + QStringLiteral("and more");

    // Saved aside, one save at a time; what is typed meanwhile stays unsaved.
    w.entry->setValue(EntryKey::EntryText, first);
    ASSERT_TRUE(context.saveAside());
    EXPECT_FALSE(context.saveAside());
    w.entry->setValue(EntryKey::EntryText, second);
    ASSERT_TRUE(waitFor([&] { return !context.isSavingAside(); }));
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_TRUE(outcomes[0].isNull());
    EXPECT_EQ(w.hereFile.row(kEntry)->entryText, first.toUtf8());
    EXPECT_EQ(w.hereFile.row(kEntry)->foldedText, TextFolder::fold(first));
    EXPECT_TRUE(context.hasChanges());

    // Once the logs went round with the text saved aside, what was typed
    // after it is saved over it, not beside it: no copy anywhere.
    w.exchangeAll();
    ASSERT_TRUE(w.here.save());
    EXPECT_EQ(w.entry->foldedText(), TextFolder::fold(second));
    w.exchangeAll();
    w.expectTexts({{kEntry, second.toUtf8()}});

    // A save asked for while one runs aside waits for it, and saves the rest.
    w.entry->setValue(EntryKey::EntryText, first);
    ASSERT_TRUE(context.saveAside());
    w.entry->setValue(EntryKey::ColorTag, 5);
    ASSERT_TRUE(w.here.save());
    EXPECT_FALSE(context.isSavingAside());
    EXPECT_FALSE(context.hasChanges());
    EXPECT_EQ(w.hereFile.row(kEntry)->entryText, first.toUtf8());
    EXPECT_EQ(w.hereFile.row(kEntry)->colorTag, 5);
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_TRUE(outcomes[1].isNull());

    // A row removed elsewhere fails the save aside, and the edit stays.
    w.hereFile.exec("DELETE FROM entry");
    w.entry->setValue(EntryKey::EntryText, second);
    ASSERT_TRUE(context.saveAside());
    ASSERT_TRUE(waitFor([&] { return outcomes.size() == 3; }));
    EXPECT_EQ(outcomes[2].code, StoreEntryGoneError);
    EXPECT_TRUE(context.hasChanges());
}

} // namespace
} // namespace quillet::test
