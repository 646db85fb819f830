#include "AppTestSupport.h"
#include "Entries.h"

#include "app/AppDelegate.h"
#include "core/Clock.h"
#include "diary/Utility.h"
#include "diary/export/EntryExporter.h"
#include "diary/export/SystemTextEditorLauncher.h"
#include "diary/export/TextEditorLauncher.h"
#include "diary/transformers/ObjectValueToNotFirstOfDayTransformer.h"
#include "diary/transformers/SearchActivityTransformer.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "ui/JournalPopovers.h"
#include "ui/MainWindow.h"
#include "ui/Popover.h"
#include "ui/appearance/ImageLibrary.h"
#include "ui/appearance/ThemeColorPickerController.h"

#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

namespace quillet {
namespace {

using test::ScopedDiaryHome;

// A launched diary on 15 March 2012 in Berlin, with a helper to seed entries.
class Diary {
public:
    Diary()
        : tz_("Europe/Berlin"), clock_(QDateTime(QDate(2012, 3, 15), QTime(12, 0))),
          d(test::launchDelegate()) {}

    ManagedObject* add(const QDateTime& when, int tag, const QString& text) {
        return test::addEntry(*d->managedObjectContext(), when, text, tag);
    }
    // Lists what was added, as the next turn of the event loop would.
    void settle() {
        QCoreApplication::processEvents();
        d->reloadData();
    }
    ArrayController* list() const { return d->arrayController(); }

private:
    test::ScopedTimeZone tz_;
    ScopedDiaryHome home_;
    test::ScopedNow clock_;

public:
    std::unique_ptr<AppDelegate> d;
};

QDateTime at(int year, int month, int day, int hour, int minute) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute));
}

TEST(EditingCommands, TrashAsksFirstAndDeletesTheSelectedEntryAtOnce) {
    Diary diary;
    AppDelegate& d = *diary.d;
    // Nothing to trash: the popover stays closed.
    d.showTrashConfirmPopover(d.window()->trashButton);
    EXPECT_FALSE(d.trashPopover()->isShown());

    ManagedObject* newer = diary.add(at(2012, 3, 10, 9, 0), 0, QStringLiteral("newer"));
    ManagedObject* older = diary.add(at(2012, 3, 2, 9, 0), 0, QStringLiteral("older"));
    d.flushUnsavedChanges();
    diary.settle();
    ASSERT_EQ(diary.list()->count(), 2u);
    ASSERT_EQ(diary.list()->selectedObject(), newer);

    d.showTrashConfirmPopover(d.window()->trashButton);
    ASSERT_TRUE(d.trashPopover()->isShown());
    d.showTrashConfirmPopover(d.window()->trashButton); // already open: nothing more
    d.window()->popovers()->trashCancelButton->click();
    EXPECT_FALSE(d.trashPopover()->isShown());
    EXPECT_EQ(diary.list()->count(), 2u);

    d.showTrashConfirmPopover(nullptr);
    ASSERT_TRUE(d.trashPopover()->isShown());
    d.window()->popovers()->trashConfirmButton->click();
    EXPECT_FALSE(d.trashPopover()->isShown());
    EXPECT_EQ(diary.list()->count(), 1u);
    EXPECT_FALSE(newer->isLive());
    EXPECT_FALSE(d.managedObjectContext()->hasChanges()) << "the removal is saved at once";
    EXPECT_EQ(diary.list()->selectedObject(), older);
}

TEST(EditingCommands, PickingATagRetagsTheSelectedEntry) {
    Diary diary;
    AppDelegate& d = *diary.d;
    d.showTagEditConfirmPopover(d.window()->tagButton);
    EXPECT_FALSE(d.tagPopover()->isShown());

    ManagedObject* gray = diary.add(at(2012, 3, 12, 9, 0), 0, QStringLiteral("gray"));
    ManagedObject* orange = diary.add(at(2012, 3, 11, 9, 0), 2, QStringLiteral("orange"));
    d.flushUnsavedChanges();
    diary.settle();
    diary.list()->setSelectionIndex(diary.list()->indexOfObject(orange));

    // Opening alone refilters, reselects the same entry and changes nothing.
    d.showTagEditConfirmPopover(d.window()->tagButton);
    ASSERT_TRUE(d.tagPopover()->isShown());
    EXPECT_EQ(d.colorPicker()->getSelID(), 2);
    EXPECT_EQ(orange->colorTag(), 2);
    EXPECT_EQ(diary.list()->selectedObject(), orange);
    EXPECT_FALSE(d.managedObjectContext()->hasChanges());
    d.showTagEditConfirmPopover(d.window()->tagButton); // open already: nothing
    d.window()->popovers()->tagCancelButton->click();
    EXPECT_FALSE(d.tagPopover()->isShown());

    // A pick retags the selected entry (how the color filter follows is EntryCommands').
    d.setColorTagSelectionIndexs(IndexSet{2});
    d.showTagEditConfirmPopover(d.window()->tagButton);
    d.colorPicker()->greenButton->click();
    EXPECT_FALSE(d.tagPopover()->isShown());
    EXPECT_EQ(orange->colorTag(), 4);
    EXPECT_EQ(diary.list()->selectedObject(), orange);
    EXPECT_EQ(gray->colorTag(), 0);
}

TEST(EditingCommands, ThePopoversAreBuiltOnFirstUseAndAnswerTheirCommands) {
    Diary diary;
    AppDelegate& d = *diary.d;
    MainWindow* window = d.window();

    ManagedObject* entry = diary.add(at(2012, 3, 10, 9, 0), 2, QStringLiteral("entry"));
    d.flushUnsavedChanges();
    diary.settle();
    ASSERT_EQ(diary.list()->selectedObject(), entry);

    // The first command that needs one builds all three; what they do is
    // the tests above.
    window->tagAction->trigger();
    ASSERT_TRUE(window->hasPopovers());
    EXPECT_EQ(window->findChildren<Popover*>().size(), 3);
    EXPECT_TRUE(d.tagPopover()->isShown());
    window->popovers()->tagCancelButton->click();
    window->trashAction->trigger();
    EXPECT_EQ(window->findChildren<Popover*>().size(), 3) << "built once";
    EXPECT_TRUE(d.trashPopover()->isShown());
}

TEST(EditingCommands, TheDatePopoverOpensOnTheEntrysMomentAndRedatesOnConfirm) {
    Diary diary;
    AppDelegate& d = *diary.d;
    d.showDateEditPopover(d.window()->dateButton);
    EXPECT_FALSE(d.datePopover()->isShown());

    ManagedObject* march = diary.add(at(2012, 3, 5, 14, 7), 0, QStringLiteral("march"));
    diary.add(at(2010, 7, 20, 8, 0), 0, QStringLiteral("july"));
    d.flushUnsavedChanges();
    diary.settle();
    ASSERT_EQ(diary.list()->selectedObject(), march);

    d.showDateEditPopover(d.window()->dateButton);
    ASSERT_TRUE(d.datePopover()->isShown());
    EXPECT_EQ(d.datePopoverDatePicker()->dateTime(), march->timeStamp());
    d.datePopoverDatePicker()->setDateTime(at(2011, 1, 1, 0, 0));
    d.window()->popovers()->dateCancelButton->click();
    EXPECT_FALSE(d.datePopover()->isShown());
    EXPECT_EQ(march->timeStamp(), at(2012, 3, 5, 14, 7));

    d.showDateEditPopover(d.window()->dateButton);
    d.datePopoverDatePicker()->setDateTime(at(2010, 7, 5, 10, 30));
    d.window()->popovers()->dateConfirmButton->click();
    EXPECT_FALSE(d.datePopover()->isShown());
    // How the month list follows the new date is EntryCommands'.
    EXPECT_EQ(march->timeStamp(), at(2010, 7, 5, 10, 30));
    EXPECT_TRUE(d.managedObjectContext()->hasChanges()) << "nothing is saved by re-dating";
}

TEST(EditingCommands, TheEditorShowsTheSelectedEntrysDateAndTagImages) {
    Diary diary;
    AppDelegate& d = *diary.d;
    const auto firstOfDay = std::dynamic_pointer_cast<ObjectValueToNotFirstOfDayTransformer>(
        ValueTransformer::valueTransformerForName(
            QStringLiteral("ObjectValueToNotFirstOfDayTransformer")));
    ASSERT_NE(firstOfDay, nullptr);
    EXPECT_EQ(firstOfDay->arrayController(), d.arrayController());
    const auto searching = std::dynamic_pointer_cast<SearchActivityTransformer>(
        ValueTransformer::valueTransformerForName(QStringLiteral("SearchActivityTransformer")));
    ASSERT_NE(searching, nullptr);
    EXPECT_EQ(searching->searchField(), d.searchField());

    ManagedObject* entry = diary.add(at(2012, 3, 5, 14, 7), 3, QStringLiteral("yellow"));
    diary.settle();
    ASSERT_EQ(diary.list()->selectedObject(), entry);
    const auto dateText =
        ValueTransformer::valueTransformerForName(QStringLiteral("DateToStringTransformer"))
            ->transformedValue(entry->timeStamp())
            .toString();
    EXPECT_FALSE(dateText.isEmpty());
    EXPECT_EQ(d.window()->dateLabel->text(), dateText);
    EXPECT_EQ(d.window()->footLabel->pixmap().toImage(),
              ImageLibrary::imageNamed(QStringLiteral("basic_foot_3.png")).toImage());

    // A new tag shows at once, without a change of selection.
    entry->setValue(5, QStringLiteral("colorTag"));
    EXPECT_EQ(d.window()->footLabel->pixmap().toImage(),
              ImageLibrary::imageNamed(QStringLiteral("basic_foot_5.png")).toImage());
    // The panel behind the editor is the tag's paper, tiled from its corner.
    QWidget* panel = d.window()->editorPanel;
    panel->resize(500, 400);
    const QImage drawn = panel->grab().toImage();
    const QImage paper =
        ImageLibrary::imageNamed(QStringLiteral("basic_back_desk_5.png")).toImage();
    ASSERT_FALSE(paper.isNull());
    for (const QPoint p : {QPoint(3, panel->height() - 3), QPoint(5, panel->height() - 70)}) {
        EXPECT_EQ(QColor(drawn.pixel(p)),
                  QColor(paper.pixel(p.x() % paper.width(), p.y() % paper.height())))
            << p.x() << "," << p.y();
    }

    diary.list()->setSelectionIndex(IndexSet::NotFound);
    EXPECT_TRUE(d.window()->dateLabel->text().isEmpty());
}

TEST(EditingCommands, ExportTakesTheSearchResultsAcrossMonths) {
    Diary diary;
    AppDelegate& d = *diary.d;
    diary.add(at(2012, 3, 5, 9, 0), 0, QStringLiteral("walk in March"));
    diary.add(at(2011, 8, 1, 9, 0), 0, QStringLiteral("walk in August"));
    diary.add(at(2012, 3, 6, 9, 0), 0, QStringLiteral("no match"));
    diary.settle();
    auto launcher = std::make_unique<test::CountingLauncher>();
    test::CountingLauncher* counting = launcher.get();
    EntryExporter::sharedExporter()->setLauncher(std::move(launcher));

    d.searchField()->setText(QStringLiteral("walk"));
    ASSERT_EQ(diary.list()->count(), 2u);
    d.exportToTextAndPreview(nullptr);
    ASSERT_EQ(counting->opened, QStringList{EntryExporter::exportPath()});
    QFile file(EntryExporter::exportPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("walk in March\n\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("walk in August\n\n")));
    EXPECT_FALSE(text.contains(QStringLiteral("no match")));
    EntryExporter::sharedExporter()->setLauncher(std::make_unique<SystemTextEditorLauncher>());
}

} // namespace
} // namespace quillet
