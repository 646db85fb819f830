// A diary loaded from its file keeps only the folded search text of each
// entry in memory and reads the text as written when it is first asked for.
// Whatever is read, edited or saved must come out exactly as if every text
// had been in memory all along.
#include "OpenDiary.h"
#include "TestSupport.h"

#include "store/UndoManager.h"

#include <QDateTime>
#include <algorithm>
#include <gtest/gtest.h>

namespace quillet::test {
namespace {

std::vector<QString> uuidsMatching(OpenDiary& diary, const QString& format) {
    FetchRequest request;
    request.predicate = Predicate::parse(format);
    std::vector<QString> uuids;
    for (ManagedObject* o : diary.context.executeFetchRequest(request, nullptr)
                                .value_or(std::vector<ManagedObject*>{})) {
        uuids.push_back(o->uuid());
    }
    std::sort(uuids.begin(), uuids.end());
    return uuids;
}

const QString kAccented = QStringLiteral("\u00c9t\u00e9 \u00e0 Paris, caf\u00e9 cr\u00e8me.");

QString writeThreeEntries() {
    const QString path = makeTempDir() + QStringLiteral("/entries.sqlite");
    OpenDiary diary(path);
    const auto add = [&](const QString& uuid, const std::optional<QString>& text, int color) {
        ManagedObject* e = diary.context.insertNewObject(QStringLiteral("Entry"));
        e->setValue(EntryKey::Uuid, uuid);
        if (text) {
            e->setValue(EntryKey::EntryText, *text);
        }
        e->setValue(EntryKey::ColorTag, color);
        e->setValue(EntryKey::MonthTag, 201207);
        e->setValue(EntryKey::TimeStamp,
                    QDateTime(QDate(2012, 7, 1 + color), QTime(9, 0), Qt::UTC));
    };
    add(QStringLiteral("ACCENTED"), kAccented, 1);
    add(QStringLiteral("EMPTY"), QString(QLatin1String("")), 2);
    add(QStringLiteral("NEVER"), std::nullopt, 3);
    diary.save();
    return path;
}

TEST(TextFault, TextsReadOnDemandOrBroughtBackByUndoAreTheTextsWritten) {
    const QString path = writeThreeEntries();
    OpenDiary diary(path);
    // Searching works on the folded text alone, before any text was read.
    EXPECT_EQ(uuidsMatching(diary, QStringLiteral("entryText contains[cd] \"ETE A PARIS\"")),
              std::vector<QString>{QStringLiteral("ACCENTED")});
    ManagedObject* accented = diary.byUuid(QStringLiteral("ACCENTED"));
    ManagedObject* empty = diary.byUuid(QStringLiteral("EMPTY"));
    ManagedObject* never = diary.byUuid(QStringLiteral("NEVER"));
    ASSERT_TRUE(accented && empty && never);
    // An edit undone before the text was ever read brings it back from the file.
    accented->setValue(EntryKey::EntryText, QStringLiteral("rewritten"));
    diary.context.processPendingChanges();
    diary.context.undoManager()->undo();
    EXPECT_EQ(accented->entryText(), kAccented);
    EXPECT_EQ(uuidsMatching(diary, QStringLiteral("entryText contains[cd] \"paris\"")),
              std::vector<QString>{QStringLiteral("ACCENTED")});
    EXPECT_EQ(accented->valueForKey(QStringLiteral("entryText")).toString(), kAccented);
    // An empty text and a text never set stay told apart.
    EXPECT_TRUE(empty->valueForKey(QStringLiteral("entryText")).isValid());
    EXPECT_EQ(empty->entryText(), QString(QLatin1String("")));
    EXPECT_FALSE(never->valueForKey(QStringLiteral("entryText")).isValid());
    EXPECT_TRUE(never->entryText().isNull());
    // A comparison of the text as written reads the texts it needs.
    EXPECT_EQ(uuidsMatching(diary, QStringLiteral("entryText contains \"Paris\"")),
              std::vector<QString>{QStringLiteral("ACCENTED")});
    EXPECT_TRUE(uuidsMatching(diary, QStringLiteral("entryText contains \"paris\"")).empty());
}

TEST(TextFault, AnEntryEditedBeforeTheFoldedTextsArriveIsSearchedByItsNewText) {
    const QString path = writeThreeEntries();
    {
        OpenDiary diary(path);
        // Looked up by identifier only: the folded texts may still be on their way.
        ManagedObject* accented = diary.byUuid(QStringLiteral("ACCENTED"));
        ASSERT_TRUE(accented);
        accented->setValue(EntryKey::EntryText, QStringLiteral("Neuer Text über die Straße"));
        EXPECT_EQ(uuidsMatching(diary, QStringLiteral("entryText contains[cd] \"strasse\"")),
                  std::vector<QString>{QStringLiteral("ACCENTED")});
        EXPECT_TRUE(
            uuidsMatching(diary, QStringLiteral("entryText contains[cd] \"paris\"")).empty());
        ASSERT_TRUE(diary.save());
    }
    OpenDiary reopened(path);
    EXPECT_EQ(uuidsMatching(reopened, QStringLiteral("entryText contains[cd] \"UBER\"")),
              std::vector<QString>{QStringLiteral("ACCENTED")});
    EXPECT_TRUE(
        uuidsMatching(reopened, QStringLiteral("entryText contains[cd] \"creme\"")).empty());
}

} // namespace
} // namespace quillet::test
