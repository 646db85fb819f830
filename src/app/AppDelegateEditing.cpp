// The entry editing commands of the application delegate: trash, color tag
// and date popovers, reselecting by identifier, the search focus and export,
// and the named value transformers the list and editor use.
#include "app/AppDelegate.h"

#include "app/Utility.h"
#include "platform/ArrayController.h"
#include "platform/ManagedObject.h"
#include "ui/MainWindow.h"

#include <QLineEdit>

namespace quillet {

void AppDelegate::registerCustomValueTransformer() {}
void AppDelegate::connectColorPicker() {}

void AppDelegate::showTrashConfirmPopover(QWidget* sender) { Q_UNUSED(sender); }
void AppDelegate::popoverConfirmTrash(QObject* sender) { Q_UNUSED(sender); }
void AppDelegate::popoverCancelTrash(QObject* sender) { Q_UNUSED(sender); }
void AppDelegate::removeEntry(QObject* sender) { Q_UNUSED(sender); }
void AppDelegate::showTagEditConfirmPopover(QWidget* sender) { Q_UNUSED(sender); }
void AppDelegate::colorPicked(const QVariant& tag) { Q_UNUSED(tag); }
void AppDelegate::popoverCancelTagEdit(QObject* sender) { Q_UNUSED(sender); }
void AppDelegate::showDateEditPopover(QWidget* sender) { Q_UNUSED(sender); }
void AppDelegate::popoverConfirmDateEdit(QObject* sender) { Q_UNUSED(sender); }
void AppDelegate::popoverCancelDateEdit(QObject* sender) { Q_UNUSED(sender); }

void AppDelegate::selectObjectAsUuid(const QString& uuid) {
    if (uuid.isNull()) {
        return;
    }
    for (std::size_t i = 0; i < arrayController_->count(); ++i) {
        if (arrayController_->objectAtIndex(i)->uuid() == uuid) {
            arrayController_->setSelectionIndex(i);
        }
    }
}

void AppDelegate::updateDateValue_workaround(QObject* sender) {
    Q_UNUSED(sender);
    if (ManagedObject* entry = arrayController_->selectedObject()) {
        entry->setValue(utility()->monthTagForDate(entry->timeStamp()), QStringLiteral("monthTag"));
    }
}

void AppDelegate::focusSearch(QObject* sender) {
    Q_UNUSED(sender);
    searchField()->setFocus(Qt::ShortcutFocusReason);
}

void AppDelegate::exportToTextAndPreview(QObject* sender) { Q_UNUSED(sender); }

} // namespace quillet
