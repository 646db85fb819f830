// Two machines share one entry through the change-log exchange (real
// exchange threads, one shared container folder); the desktop's window holds
// typing of it, not saved yet, when the laptop's text arrives. Nothing typed
// is lost on either machine, and the editor keeps its place.
#include "DiaryFiles.h"
#include "StoreTestSupport.h"

#include "core/NotificationCenter.h"
#include "diary/DiaryStore.h"
#include "diary/StoreLocations.h"
#include "diary/Utility.h"
#include "diary/journal/JournalFilter.h"
#include "store/ArrayController.h"
#include "store/ChangeSet.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/UndoManager.h"
#include "store/cloud/Merge.h"
#include "ui/MainWindow.h"
#include "ui/journal/EditTextView.h"
#include "ui/journal/EntryTableView.h"
#include "ui/journal/JournalControls.h"

#include <QLineEdit>
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

// The desktop's journal window, bound to its diary as the application binds it.
struct Window {
    explicit Window(ManagedObjectContext* context)
        : filter(
              &list,
              [](const QDateTime& date) { return Utility::sharedUtility()->monthTagForDate(date); },
              [this] { return window.searchField->text(); }),
          controls(&window, &filter, &list, Utility::sharedUtility()) {
        list.setManagedObjectContext(context);
        list.setSortDescriptors(filter.currSortDescriptors());
        window.entryTableView->setModel(&list);
        controls.connectControls();
        QObject::connect(context, &ManagedObjectContext::objectsDidChange, &controls,
                         [this](const ChangeSet& changes) { controls.entryChanged(changes); });
        filter.initMonthPanelSelection();
        filter.reloadData();
    }
    EditTextView* editor() { return window.editTextView; }
    MainWindow window{Utility::sharedUtility()};
    ArrayController list;
    JournalFilter filter;
    JournalControls controls;
};

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
    Window window(onDesktop);
    int merges = 0;
    const int observer = NotificationCenter::defaultCenter().addObserver(
        QStringLiteral("RefreshAllViews"), &desktopSender, [&](const Notification&) { ++merges; });
    Error error;

    // An entry of this month, begun on the laptop, open in the desktop's window.
    const QString uuid = QStringLiteral("5D1E0A4C-2222-4B7A-8C3D-0000000000A1");
    const QDateTime now = QDateTime::currentDateTime();
    ManagedObject* onLaptopEntry = onLaptop->insertNewObject(QStringLiteral("Entry"));
    onLaptopEntry->setValue(uuid, QStringLiteral("uuid"));
    const QString begun =
        QStringLiteral("begun on the laptop") + QStringLiteral("\nLater").repeated(40);
    onLaptopEntry->setValue(begun, QStringLiteral("entryText"));
    onLaptopEntry->setValue(now, QStringLiteral("timeStamp"));
    onLaptopEntry->setValue(Utility::sharedUtility()->monthTagForDate(now),
                            QStringLiteral("monthTag"));
    ASSERT_TRUE(onLaptop->save(&error)) << error.localizedDescription.toStdString();
    ASSERT_TRUE(waitFor([&] {
        window.filter.workaround_AvoidEmptySelection();
        return merges > 0 && window.list.selectedObject() &&
               window.list.selectedObject()->uuid() == uuid;
    }));
    ManagedObject* onDesktopEntry = window.list.selectedObject();
    ASSERT_EQ(window.editor()->toPlainText(), begun);

    // Typed on the desktop and not saved, while the laptop's own text arrives.
    window.editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(window.editor(), QStringLiteral(", then on the desktop"));
    const QString typed = begun + QStringLiteral(", then on the desktop");
    const int caret = window.editor()->textCursor().position();
    const QString theirs = begun + QStringLiteral(", finished there");
    onLaptopEntry->setValue(theirs, QStringLiteral("entryText"));
    // Waited for by its own merge: a late notice of the first one would let
    // the desktop save before the laptop's text came, which makes the laptop's
    // the later edit of the two and moves the typing into the conflicting copy.
    const int mergesBefore = merges;
    ASSERT_TRUE(onLaptop->save(&error)) << error.localizedDescription.toStdString();
    ASSERT_TRUE(waitFor([&] { return merges > mergesBefore; }));
    EXPECT_EQ(window.editor()->toPlainText(), typed) << "the typing stays on screen";
    EXPECT_EQ(window.editor()->textCursor().position(), caret);
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
    window.window.resize(900, 600);
    window.window.show();
    QTextCursor selection = window.editor()->textCursor();
    selection.setPosition(6);
    selection.setPosition(8, QTextCursor::KeepAnchor); // "on"
    window.editor()->setTextCursor(selection);
    const QString early = QStringLiteral("Early\n").repeated(80);
    onLaptopEntry->setValue(early + typed, QStringLiteral("entryText"));
    ASSERT_TRUE(onLaptop->save(&error)) << error.localizedDescription.toStdString();
    ASSERT_TRUE(waitFor([&] { return window.editor()->toPlainText() == early + typed; }));
    EXPECT_EQ(window.editor()->textCursor().selectedText(), QStringLiteral("on"));
    EXPECT_EQ(window.editor()->textCursor().anchor(), early.size() + 6);
    EXPECT_EQ(window.editor()->cursorForPosition(QPoint(0, 0)).block().text(),
              QStringLiteral("begun on the laptop"));

    // Undo takes back the desktop's own typing and keeps the laptop's words.
    onDesktop->undoManager()->undo();
    const QString undone = early + begun;
    EXPECT_EQ(onDesktopEntry->entryText(), undone);
    EXPECT_EQ(window.editor()->toPlainText(), undone);

    // A change of another entry leaves the editor alone.
    const QString shown = window.editor()->toPlainText();
    const int place = window.editor()->textCursor().position();
    for (ManagedObject* o : onLaptop->registeredObjects()) {
        if (o->uuid() != uuid) {
            o->setValue(QStringLiteral("the copy, read and answered"), QStringLiteral("entryText"));
        }
    }
    merges = 0;
    ASSERT_TRUE(onLaptop->save(&error));
    ASSERT_TRUE(waitFor([&] { return merges > 0; }));
    EXPECT_EQ(window.editor()->toPlainText(), shown);
    EXPECT_EQ(window.editor()->textCursor().position(), place);
    EXPECT_EQ(window.list.selectedObject(), onDesktopEntry);
    NotificationCenter::defaultCenter().removeObserver(observer);
}

} // namespace
} // namespace quillet::test
