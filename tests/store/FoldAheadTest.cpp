// A long text is folded for search on a helper thread while typing pauses:
// whatever the save finds (a fold that is done, one still running, one of a
// text edited since), what it writes is the fold of the text it writes.
#include "OpenDiary.h"
#include "TestSupport.h"

#include "core/TextFolder.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

namespace quillet::test {
namespace {

QString longText(const QString& word) {
    return word.repeated(int(ManagedObjectContext::kFoldAheadBytes / word.size()) + 10);
}

TEST(FoldAhead, TheSaveWritesTheFoldOfTheTextItWrites) {
    const QString path = makeTempDir() + QStringLiteral("/entries.sqlite");
    QString last;
    {
        OpenDiary diary(path);
        ManagedObjectContext& context = diary.context;
        ManagedObject* entry = context.insertNewObject(QStringLiteral("Entry"));

        // A pause: folded beside the main thread, and the save takes that fold.
        const QString first = longText(QStringLiteral("Ärger ÉTÉ "));
        entry->setValue(EntryKey::EntryText, first);
        ASSERT_TRUE(waitFor([&] { return context.foldsAheadStarted() == 1; }));
        ASSERT_TRUE(waitFor([&] { return !context.isFoldingAhead(); }));
        ASSERT_TRUE(diary.save());
        EXPECT_EQ(entry->foldedText(), TextFolder::fold(first));

        // Typing on while the fold runs: the fold of the older text is left.
        entry->setValue(EntryKey::EntryText, longText(QStringLiteral("Öl ")));
        ASSERT_TRUE(waitFor([&] { return context.foldsAheadStarted() == 2; }));
        last = longText(QStringLiteral("Œuvre ÀÇ "));
        entry->setValue(EntryKey::EntryText, last);
        ASSERT_TRUE(diary.save());
        EXPECT_EQ(entry->foldedText(), TextFolder::fold(last));

        // A short text is folded only when needed, on this thread.
        ASSERT_TRUE(waitFor([&] { return !context.isFoldingAhead(); }));
        entry->setValue(EntryKey::EntryText, QStringLiteral("Kurz"));
        const int started = context.foldsAheadStarted();
        QThread::msleep(ManagedObjectContext::kFoldAheadPauseMs + 50);
        QCoreApplication::processEvents();
        EXPECT_EQ(context.foldsAheadStarted(), started);
        EXPECT_EQ(entry->foldedText(), TextFolder::fold(QStringLiteral("Kurz")));
        entry->setValue(EntryKey::EntryText, last);
        ASSERT_TRUE(diary.save());
    }
    // What the file holds: the fold of the saved text.
    OpenDiary reopened(path);
    ManagedObject* saved = reopened.only();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->entryText(), last);
    EXPECT_EQ(saved->foldedText(), TextFolder::fold(last));
}

} // namespace
} // namespace quillet::test
