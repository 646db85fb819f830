#pragma once

#include <QObject>

class QDateTimeEdit;

namespace quillet {

class Popover;
class ThemeColorPickerController;

// The three popovers of the journal: trash confirmation, color tag and date.
class JournalPopovers : public QObject {
    Q_OBJECT
public:
    explicit JournalPopovers(QWidget* window);

    Popover* trashPopover = nullptr;
    Popover* tagPopover = nullptr;
    Popover* datePopover = nullptr;
    QDateTimeEdit* datePopoverDatePicker = nullptr;
    ThemeColorPickerController* colorPicker = nullptr;
};

} // namespace quillet
