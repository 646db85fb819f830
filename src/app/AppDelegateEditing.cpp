// The entry editing commands of the application delegate: trash, color tag
// and date popovers, reselecting by identifier, the search focus and export,
// and the named value transformers the list and editor use.
#include "app/AppDelegate.h"

#include "core/Calendar.h"
#include "diary/Utility.h"
#include "diary/export/EntryExporter.h"
#include "diary/journal/EntryCommands.h"
#include "diary/journal/JournalFilter.h"
#include "diary/transformers/ObjectValueToNotFirstOfDayTransformer.h"
#include "diary/transformers/SearchActivityTransformer.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "ui/JournalPopovers.h"
#include "ui/MainWindow.h"
#include "ui/Popover.h"
#include "ui/appearance/ThemeColorPickerController.h"
#include "ui/journal/EditTextView.h"
#include "ui/journal/EntryRowDelegate.h"
#include "ui/journal/EntryTableView.h"
#include "ui/journal/JournalControls.h"

#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>

namespace quillet {

namespace {

// Opens a popover under the control that asked for it; a menu command whose
// toolbar button is hidden gets it under the editor's date line instead.
void showPopover(Popover* popover, QWidget* sender, QWidget* fallback) {
    QWidget* anchor = sender && sender->isVisible() ? sender : fallback;
    popover->showRelativeToRect(anchor->rect(), anchor, Popover::Edge::MaxY);
}

} // namespace

void AppDelegate::registerCustomValueTransformer() {
    ValueTransformer::setValueTransformer(
        std::make_shared<ObjectValueToNotFirstOfDayTransformer>(arrayController_),
        QStringLiteral("ObjectValueToNotFirstOfDayTransformer"));
    ValueTransformer::setValueTransformer(
        std::make_shared<SearchActivityTransformer>(searchField()),
        QStringLiteral("SearchActivityTransformer"));
}

void AppDelegate::installEntryRowDelegate() {
    // The list's rows are drawn through the transformers registered above.
    // Installed before the window is shown: showing it would otherwise have
    // the stock delegate measure every row of the month, reading and laying
    // out each entry's whole text.
    EntryTableView* list = entryTableView();
    if (!qobject_cast<EntryRowDelegate*>(list->itemDelegate())) {
        QAbstractItemDelegate* old = list->itemDelegate();
        QLineEdit* search = searchField();
        list->setItemDelegate(new EntryRowDelegate(
            utility(), [search] { return search ? search->text() : QString(); }, list));
        if (old && old->parent() == list) {
            old->deleteLater();
        }
    }
    // Every row has the same height, which spares the view measuring each one of a long list.
    list->setUniformItemSizes(true);
}

// ---- Trash

void AppDelegate::showTrashConfirmPopover(QWidget* sender) {
    if (trashPopover()->isShown() || arrayController_->count() == 0) {
        return;
    }
    window_->popovers()->setEntryToTrash(arrayController_->selectedObject());
    showPopover(trashPopover(), sender, window_->dateLabel);
}

void AppDelegate::popoverConfirmTrash(QObject* sender) {
    removeEntry(sender);
    trashPopover()->performClose(sender);
}

void AppDelegate::popoverCancelTrash(QObject* sender) {
    trashPopover()->performClose(sender);
}

void AppDelegate::removeEntry(QObject* sender) {
    Q_UNUSED(sender);
    if (commands_->removeSelectedEntry()) {
        flushUnsavedChanges();
    }
}

// ---- Color tag

void AppDelegate::showTagEditConfirmPopover(QWidget* sender) {
    if (tagPopover()->isShown() || arrayController_->count() == 0) {
        return;
    }
    const ManagedObject* entry = arrayController_->selectedObject();
    if (!entry) {
        return;
    }
    // Reports the entry's own tag back at once, which refilters and reselects it.
    colorPicker()->setSelIDfromTab(entry->colorTag());
    showPopover(tagPopover(), sender, window_->dateLabel);
}

void AppDelegate::colorPicked(const QVariant& tag) {
    Q_UNUSED(tag);
    commands_->setColorTagOfSelection(colorPicker()->getSelID());
    tagPopover()->performClose(this);
}

void AppDelegate::popoverCancelTagEdit(QObject* sender) {
    tagPopover()->performClose(sender);
}

// ---- Date

void AppDelegate::showDateEditPopover(QWidget* sender) {
    if (datePopover()->isShown() || arrayController_->count() == 0) {
        return;
    }
    const ManagedObject* entry = arrayController_->selectedObject();
    if (!entry) {
        return;
    }
    datePopoverDatePicker()->setDateTime(entry->timeStamp());
    showPopover(datePopover(), sender, window_->dateLabel);
}

void AppDelegate::popoverConfirmDateEdit(QObject* sender) {
    commands_->setDateOfSelection(datePopoverDatePicker()->dateTime());
    datePopover()->performClose(sender);
}

void AppDelegate::popoverCancelDateEdit(QObject* sender) {
    datePopover()->performClose(sender);
}

// ---- Selection, search and export

void AppDelegate::selectObjectAsUuid(const QString& uuid) {
    commands_->selectObjectAsUuid(uuid);
}

void AppDelegate::updateDateValue_workaround(QObject* sender) {
    Q_UNUSED(sender);
    commands_->updateDateValue_workaround();
}

void AppDelegate::focusSearch(QObject* sender) {
    Q_UNUSED(sender);
    searchField()->setFocus(Qt::ShortcutFocusReason);
    // Typing then replaces the last search.
    searchField()->selectAll();
}

void AppDelegate::exportToTextAndPreview(QObject* sender) {
    Q_UNUSED(sender);
    EntryExporter::sharedExporter()->exportToTextAndPreview(
        arrayController_->arrangedObjects(), searchField()->text(),
        filter_->hasCurrentMonth() ? std::optional(filter_->currentMonth()) : std::nullopt);
}

} // namespace quillet
