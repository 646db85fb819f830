// Two machines share one entry through the change-log exchange (real
// exchange threads, one shared container folder); the desktop's window holds
// typing of it, not saved yet, when the laptop's text arrives. Nothing typed
// is lost on either machine, and the editor keeps its place.
#include "BoundJournal.h"
#include "DiaryFiles.h"
#include "Entries.h"
#include "StoreTestSupport.h"

#include "core/NotificationCenter.h"
#include "diary/DiaryStore.h"
#include "diary/StoreLocations.h"
#include "diary/Utility.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/UndoManager.h"
#include "store/cloud/Merge.h"
#include "ui/journal/EditTextView.h"

#include <QTest>
#include <QTextBlock>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace quillet::test {
namespace {

std::map<QString, QString> textsIn(ManagedObjectContext* context) {
    std::map<QString, QString> texts;
    for (ManagedObject* o : context->registeredObjects()) {
        texts[o->uuid()] = o->entryText();
    }
    return texts;
}

TEST(TypingWhileTextArrives, TheTypingStaysTheArrivedTextIsKeptAndTheEditorKeepsItsPlace) {
    ScopedDiaryHome home;
    const QString container = signIn(home);
    QDir().mkpath(container + QStringLiteral("/.nosync"));
    writeBytes(container + QStringLiteral("/.nosync/entries.sqlite"), "the cloud copy");
    const QString laptopHome = makeTempDir(), desktopHome = makeTempDir();
    const auto inContainer = [&](const QString&) { return container; };
    StoreLocations laptopPlaces{Utility::sharedUtility()->edition(), [&] { return laptopHome; },
                                inContainer};
    StoreLocations desktopPlaces{Utility::sharedUtility()->edition(), [&] { return desktopHome; },
                                 inContainer};
    QObject laptopSender, desktopSender;
    DiaryStore laptop(&laptopPlaces, &laptopSender), desktop(&desktopPlaces, &desktopSender);
    ManagedObjectContext* onLaptop = laptop.managedObjectContext();
    ManagedObjectContext* onDesktop = desktop.managedObjectContext();
    BoundJournal journal(onDesktop);
    EditTextView* editor = journal.window.editTextView;
    int merges = 0;
    const int observer = NotificationCenter::defaultCenter().addObserver(
        QStringLiteral("RefreshAllViews"), &desktopSender, [&](const Notification&) { ++merges; });
    Error error;

    // An entry of this month, begun on the laptop, open in the desktop's window.
    const QString uuid = QStringLiteral("5D1E0A4C-2222-4B7A-8C3D-0000000000A1");
    const QDateTime now = QDateTime::currentDateTime();
    const QString begun =
        QStringLiteral("begun on the laptop") + QStringLiteral("\nLater").repeated(40);
    ManagedObject* onLaptopEntry = addEntry(*onLaptop, now, begun, 0, uuid);
    ASSERT_TRUE(onLaptop->save(&error)) << error.localizedDescription.toStdString();
    ASSERT_TRUE(waitFor([&] {
        journal.filter.workaround_AvoidEmptySelection();
        return merges > 0 && journal.list.selectedObject() &&
               journal.list.selectedObject()->uuid() == uuid;
    }));
    ManagedObject* onDesktopEntry = journal.list.selectedObject();
    ASSERT_EQ(editor->toPlainText(), begun);

    // Typed on the desktop and not saved, while the laptop's own text arrives.
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, QStringLiteral(", then on the desktop"));
    const QString typed = begun + QStringLiteral(", then on the desktop");
    const int caret = editor->textCursor().position();
    const QString theirs = begun + QStringLiteral(", finished there");
    onLaptopEntry->setValue(theirs, QStringLiteral("entryText"));
    // Waited for by its own merge: a late notice of the first one would let
    // the desktop save before the laptop's text came, which makes the laptop's
    // the later edit of the two and moves the typing into the conflicting copy.
    const int mergesBefore = merges;
    ASSERT_TRUE(onLaptop->save(&error)) << error.localizedDescription.toStdString();
    ASSERT_TRUE(waitFor([&] { return merges > mergesBefore; }));
    EXPECT_EQ(editor->toPlainText(), typed) << "the typing stays on screen";
    EXPECT_EQ(editor->textCursor().position(), caret);
    EXPECT_EQ(onDesktopEntry->entryText(), typed);
    ASSERT_TRUE(desktop.autosave());

    // Both machines end with the same two entries: the typing and, once, the arrived text.
    const QString copy = QString::fromUtf8(cloud::kConflictCopyHeading) + theirs;
    const auto settled = [&](ManagedObjectContext* context) {
        const std::map<QString, QString> texts = textsIn(context);
        return texts.size() == 2 && texts.count(uuid) && texts.at(uuid) == typed &&
               std::count_if(texts.begin(), texts.end(),
                             [&](const auto& t) { return t.second == copy; }) == 1;
    };
    EXPECT_TRUE(waitFor([&] { return settled(onLaptop) && settled(onDesktop); }));
    EXPECT_EQ(textsIn(onLaptop), textsIn(onDesktop));

    // With nothing unsaved, the next text from the laptop simply shows; the
    // selection, the caret and the view move with the words they were on.
    journal.window.resize(900, 600);
    journal.window.show();
    QTextCursor selection = editor->textCursor();
    selection.setPosition(6);
    selection.setPosition(8, QTextCursor::KeepAnchor); // "on"
    editor->setTextCursor(selection);
    const QString early = QStringLiteral("Early\n").repeated(80);
    onLaptopEntry->setValue(early + typed, QStringLiteral("entryText"));
    ASSERT_TRUE(onLaptop->save(&error)) << error.localizedDescription.toStdString();
    ASSERT_TRUE(waitFor([&] { return editor->toPlainText() == early + typed; }));
    EXPECT_EQ(editor->textCursor().selectedText(), QStringLiteral("on"));
    EXPECT_EQ(editor->textCursor().anchor(), early.size() + 6);
    EXPECT_EQ(editor->cursorForPosition(QPoint(0, 0)).block().text(),
              QStringLiteral("begun on the laptop"));

    // Undo takes back the desktop's own typing and keeps the laptop's words.
    onDesktop->undoManager()->undo();
    const QString undone = early + begun;
    EXPECT_EQ(onDesktopEntry->entryText(), undone);
    EXPECT_EQ(editor->toPlainText(), undone);

    // A change of another entry leaves the editor alone.
    const QString shown = editor->toPlainText();
    const int place = editor->textCursor().position();
    for (ManagedObject* o : onLaptop->registeredObjects()) {
        if (o->uuid() != uuid) {
            o->setValue(QStringLiteral("the copy, read and answered"), QStringLiteral("entryText"));
        }
    }
    merges = 0;
    ASSERT_TRUE(onLaptop->save(&error));
    ASSERT_TRUE(waitFor([&] { return merges > 0; }));
    EXPECT_EQ(editor->toPlainText(), shown);
    EXPECT_EQ(editor->textCursor().position(), place);
    EXPECT_EQ(journal.list.selectedObject(), onDesktopEntry);
    NotificationCenter::defaultCenter().removeObserver(observer);
}

} // namespace
} // namespace quillet::test
