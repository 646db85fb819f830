#include "TestSupport.h"

#include "core/Bundle.h"
#include "diary/Utility.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "ui/JournalPopovers.h"
#include "ui/Popover.h"
#include "ui/appearance/ImageLibrary.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QWidget>

using namespace quillet;

namespace {

bool shows(const QLabel* label, const QString& imageName) {
    const QImage expected = ImageLibrary::imageNamed(imageName).toImage();
    return !expected.isNull() && label->pixmap().toImage() == expected;
}

} // namespace

TEST(JournalPopovers, TheTrashQuestionShowsTheThemesTrashImageOfTheEntrysTag) {
    test::ScopedBundleName basic(QStringLiteral("Quillet2"));
    QWidget window;
    JournalPopovers popovers(&window, Utility::sharedUtility());
    QLabel* image = popovers.trashImage;
    ASSERT_NE(image, nullptr);
    EXPECT_FALSE(image->isVisibleTo(popovers.trashPopover))
        << "nothing to show before an entry is given";

    ManagedObjectContext context;
    ManagedObject* entry = context.insertNewObject(QStringLiteral("Entry"));
    entry->setValue(3, QStringLiteral("colorTag"));
    popovers.setEntryToTrash(entry);
    EXPECT_TRUE(image->isVisibleTo(popovers.trashPopover));
    EXPECT_TRUE(shows(image, QStringLiteral("basic_trash_3.png")));

    // Asked again for the next trash, it follows the entry's tag and the theme.
    entry->setValue(0, QStringLiteral("colorTag"));
    popovers.setEntryToTrash(entry);
    EXPECT_TRUE(shows(image, QStringLiteral("basic_trash_0.png")));
    {
        test::ScopedBundleName eco(QStringLiteral("Wrenfold"));
        entry->setValue(5, QStringLiteral("colorTag"));
        popovers.setEntryToTrash(entry);
        EXPECT_TRUE(shows(image, QStringLiteral("eco_trash_5.png")));
    }

    // A tag with no image, and no entry at all, leave no empty frame beside the question.
    entry->setValue(9, QStringLiteral("colorTag"));
    popovers.setEntryToTrash(entry);
    EXPECT_FALSE(image->isVisibleTo(popovers.trashPopover));
    entry->setValue(2, QStringLiteral("colorTag"));
    popovers.setEntryToTrash(entry);
    EXPECT_TRUE(shows(image, QStringLiteral("basic_trash_2.png")));
    popovers.setEntryToTrash(nullptr);
    EXPECT_FALSE(image->isVisibleTo(popovers.trashPopover));
    EXPECT_TRUE(image->pixmap().isNull());
}
