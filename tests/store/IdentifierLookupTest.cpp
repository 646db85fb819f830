// Finding entries by identifier: a predicate that binds the identifier as a
// value, the context's index that answers it without visiting every record,
// and the entry list taking in and letting go of many records at once.
#include "OpenDiary.h"
#include "TestSupport.h"

#include "store/ArrayController.h"
#include "store/UndoManager.h"

#include <QCoreApplication>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace quillet::test {
namespace {

std::vector<ManagedObject*> withUuid(ManagedObjectContext& context, const QString& uuid) {
    FetchRequest request;
    request.predicate = Predicate::equalTo(QStringLiteral("uuid"), uuid);
    Error error;
    return context.executeFetchRequest(request, &error).value_or(std::vector<ManagedObject*>{});
}

// What a walk over every record with the same predicate finds.
std::vector<ManagedObject*> byScan(ManagedObjectContext& context, const Predicate& predicate) {
    std::vector<ManagedObject*> found;
    for (ManagedObject* object : context.registeredObjects()) {
        if (predicate.evaluate(*object)) {
            found.push_back(object);
        }
    }
    return found;
}

ManagedObject* entry(ManagedObjectContext& context, const QString& uuid) {
    EntryValues values;
    values.uuid = uuid;
    values.entryText = QByteArray("text");
    values.foldedText = "text";
    return context.insertNewObject(QStringLiteral("Entry"), values);
}

TEST(IdentifierLookup, AnIdentifierIsFoundExactlyWhateverItHolds) {
    ManagedObjectContext context;
    const QStringList awkward = {QStringLiteral("O'Brien"),
                                 QStringLiteral("back\\slash"),
                                 QStringLiteral("say \"hi\""),
                                 QStringLiteral("' OR uuid != '"),
                                 QStringLiteral("abc"),
                                 QStringLiteral("ABC"),
                                 QStringLiteral("")};
    std::map<QString, ManagedObject*> made;
    for (const QString& uuid : awkward) {
        made[uuid] = entry(context, uuid);
    }
    entry(context, QString()); // no identifier at all
    ManagedObject* first = entry(context, QStringLiteral("twice"));
    ManagedObject* second = entry(context, QStringLiteral("twice"));

    for (const QString& uuid : awkward) {
        SCOPED_TRACE(uuid.toStdString());
        const Predicate bound = Predicate::equalTo(QStringLiteral("uuid"), uuid);
        EXPECT_EQ(withUuid(context, uuid), std::vector<ManagedObject*>{made[uuid]});
        EXPECT_EQ(byScan(context, bound), std::vector<ManagedObject*>{made[uuid]})
            << "the same answer without the index";
        // Its text, for reading, parses back to the same comparison.
        const std::optional<Predicate> reparsed = Predicate::parse(bound.predicateFormat());
        ASSERT_TRUE(reparsed);
        EXPECT_EQ(byScan(context, *reparsed), std::vector<ManagedObject*>{made[uuid]});
    }
    EXPECT_EQ(withUuid(context, QStringLiteral("twice")),
              (std::vector<ManagedObject*>{first, second}))
        << "every carrier, in the order a fetch lists them";
    EXPECT_TRUE(withUuid(context, QStringLiteral("Abc")).empty());
    EXPECT_TRUE(withUuid(context, QStringLiteral("nobody")).empty());

    // Only a lone exact equality is answered from the index; anything else is a scan.
    EXPECT_EQ(Predicate::equalTo(QStringLiteral("uuid"), QStringLiteral("x"))
                  .onlyExactStringEqualityOn(QStringLiteral("uuid")),
              QStringLiteral("x"));
    EXPECT_FALSE(Predicate::parse(QStringLiteral("uuid ==[c] 'x'"))
                     ->onlyExactStringEqualityOn(QStringLiteral("uuid")));
    EXPECT_FALSE(Predicate::parse(QStringLiteral("uuid == 'x' AND colorTag = 1"))
                     ->onlyExactStringEqualityOn(QStringLiteral("uuid")));
    EXPECT_EQ(Predicate::equalTo(QStringLiteral("colorTag"), 3).predicateFormat(),
              QStringLiteral("colorTag == 3"));
}

// Identifiers shaped like UUIDs are held as 16 bytes: every case and near miss
// still reads back letter for letter, from memory and from the file, and is
// found only by itself.
TEST(IdentifierLookup, UuidShapedIdentifiersComeBackLetterForLetter) {
    const QStringList shapes = {
        QStringLiteral("5D1E0A4C-2222-4B7A-8C3D-000000000001"), // as the diary makes them
        QStringLiteral("5d1e0a4c-2222-4b7a-8c3d-000000000001"), // lower case: another identifier
        QStringLiteral("5D1E0A4C-2222-4b7a-8C3D-000000000001"), // mixed case
        QStringLiteral("00000000-0000-0000-0000-000000000000"),
        QStringLiteral("{5D1E0A4C-2222-4B7A-8C3D-000000000001}"),
        QStringLiteral("5D1E0A4C22224B7A8C3D000000000001"),
        QStringLiteral("5D1E0A4C-2222-4B7A-8C3D-00000000000G"),
        QStringLiteral("5D1E0A4C-2222-4B7A-8C3D+000000000001"),
        QStringLiteral("")};
    EXPECT_TRUE(EntryUuid().isNull());
    EXPECT_FALSE(EntryUuid(QStringLiteral("")).isNull());
    EXPECT_TRUE(EntryUuid(QString()).toString().isNull());

    const QString path = makeTempDir() + QStringLiteral("/entries.sqlite");
    {
        OpenDiary diary(path);
        for (const QString& uuid : shapes) {
            SCOPED_TRACE(uuid.toStdString());
            EntryUuid copy = EntryUuid(uuid);
            EntryUuid assigned;
            assigned = copy;
            EXPECT_EQ(assigned.toString(), uuid);
            EXPECT_TRUE(assigned == uuid);
            EXPECT_EQ(entry(diary.context, uuid)->uuid(), uuid);
        }
        ASSERT_TRUE(diary.save());
    }
    OpenDiary reopened(path);
    ManagedObjectContext& context = reopened.context;
    for (const QString& uuid : shapes) {
        SCOPED_TRACE(uuid.toStdString());
        const std::vector<ManagedObject*> found = withUuid(context, uuid);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found.front()->uuid(), uuid);
        EXPECT_EQ(found.front()->value(EntryKey::Uuid).toString(), uuid);
        EXPECT_EQ(byScan(context, Predicate::equalTo(QStringLiteral("uuid"), uuid)), found);
    }
}

TEST(IdentifierLookup, TheIndexFollowsEveryChangeOfAnIdentifier) {
    const QString path = makeTempDir() + QStringLiteral("/entries.sqlite");
    ASSERT_TRUE(writeDiary(path, {entryValues(QStringLiteral("STORED"),
                                              QStringLiteral("saved before"), 1, 201203, 1.3e9)}));
    OpenDiary diary(path);
    ManagedObjectContext& context = diary.context;

    ASSERT_EQ(withUuid(context, QStringLiteral("STORED")).size(), 1u)
        << "records read from the file";
    ManagedObject* a = context.insertNewObject(QStringLiteral("Entry"));
    a->setValue(EntryKey::Uuid, QStringLiteral("A"));
    EXPECT_EQ(withUuid(context, QStringLiteral("A")), std::vector<ManagedObject*>{a});
    context.undoManager()->closeOpenGroup();

    a->setValue(EntryKey::Uuid, QStringLiteral("B"));
    EXPECT_TRUE(withUuid(context, QStringLiteral("A")).empty());
    EXPECT_EQ(withUuid(context, QStringLiteral("B")), std::vector<ManagedObject*>{a});
    context.undoManager()->closeOpenGroup();
    context.undoManager()->undo();
    EXPECT_EQ(withUuid(context, QStringLiteral("A")), std::vector<ManagedObject*>{a})
        << "undo changes it back";

    context.deleteObject(a);
    EXPECT_TRUE(withUuid(context, QStringLiteral("A")).empty()) << "a pending delete is hidden";
    context.insertObject(a);
    EXPECT_EQ(withUuid(context, QStringLiteral("A")), std::vector<ManagedObject*>{a});

    // Saved, then a record that came from the file is given a new identifier.
    ASSERT_TRUE(diary.save());
    EXPECT_EQ(withUuid(context, QStringLiteral("A")), std::vector<ManagedObject*>{a})
        << "saving keeps it found";
    ManagedObject* stored = withUuid(context, QStringLiteral("STORED")).front();
    stored->setValue(EntryKey::Uuid, QStringLiteral("RENAMED"));
    ASSERT_TRUE(diary.save());
    EXPECT_EQ(withUuid(context, QStringLiteral("RENAMED")), std::vector<ManagedObject*>{stored});
    EXPECT_TRUE(withUuid(context, QStringLiteral("STORED")).empty());
}

TEST(IdentifierLookup, TheListTakesInAndLetsGoOfManyRecordsAtOnce) {
    ManagedObjectContext context;
    ArrayController controller;
    controller.setManagedObjectContext(&context);
    controller.setSortDescriptors({SortDescriptor(QStringLiteral("timeStamp"), false)});
    std::mt19937 random(42);
    auto add = [&](int i) {
        EntryValues values;
        values.uuid = QStringLiteral("E%1").arg(i);
        values.hasTimeStamp = true;
        values.timeStamp = double(random() % 1000); // many ties
        values.monthTag = 201200 + int(random() % 3) + 1;
        return context.insertNewObject(QStringLiteral("Entry"), values);
    };
    for (int i = 0; i < 40; ++i) {
        add(i);
    }
    controller.processPendingChanges();
    // What one by one gives: newest first, ties in the order they came.
    auto expected = [&] {
        std::vector<ManagedObject*> all = context.registeredObjects();
        std::stable_sort(all.begin(), all.end(), [](ManagedObject* x, ManagedObject* y) {
            return x->timeStampSeconds() > y->timeStampSeconds();
        });
        return all;
    };
    ASSERT_EQ(controller.arrangedObjects(), expected());

    // A batch far larger than one by one is merged in.
    for (int i = 40; i < 540; ++i) {
        add(i);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(controller.arrangedObjects(), expected());
    controller.setFilterPredicate(Predicate::parse(QStringLiteral("monthTag = 201202")));
    std::vector<ManagedObject*> february, sorted = expected();
    std::copy_if(sorted.begin(), sorted.end(), std::back_inserter(february),
                 [](ManagedObject* o) { return o->monthTag() == 201202; });
    EXPECT_EQ(controller.arrangedObjects(), february);

    // Many deleted at once: gone from every list, and one brought back is there once.
    std::vector<ManagedObject*> all = context.registeredObjects();
    for (std::size_t i = 0; i < all.size(); i += 2) {
        context.deleteObject(all[i]);
    }
    context.insertObject(all[0]);
    controller.setFilterPredicate(Predicate::parse(QStringLiteral("uuid beginswith 'E'")));
    EXPECT_EQ(controller.arrangedObjects(), expected());
    EXPECT_EQ(std::count(controller.arrangedObjects().begin(), controller.arrangedObjects().end(),
                         all[0]),
              1);
    controller.setFilterPredicate(Predicate::parse(QStringLiteral("monthTag = 201202")));
    for (ManagedObject* o : controller.arrangedObjects()) {
        EXPECT_TRUE(o->isLive());
    }
}

} // namespace
} // namespace quillet::test
