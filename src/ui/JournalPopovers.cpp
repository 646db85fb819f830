#include "ui/JournalPopovers.h"

#include "ui/Popover.h"

#include <QDateTimeEdit>
#include <QVBoxLayout>

namespace quillet {

JournalPopovers::JournalPopovers(QWidget* window) : QObject(window) {
    trashPopover = new Popover(window);
    tagPopover = new Popover(window);
    datePopover = new Popover(window);
    datePopoverDatePicker = new QDateTimeEdit(datePopover);
    auto* layout = new QVBoxLayout(datePopover);
    layout->addWidget(datePopoverDatePicker);
}

} // namespace quillet
