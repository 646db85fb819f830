#pragma once

#include <QObject>

class QCalendarWidget;
class QDateTimeEdit;
class QLabel;
class QPushButton;

namespace quillet {

class ManagedObject;
class Popover;
class ThemeColorPickerController;
class Utility;

// The three popovers of the journal: trash confirmation, color tag and date.
// They only lay out their controls; the application delegate connects the
// buttons to its commands. Escape in a popover presses its Cancel button.
class JournalPopovers : public QObject {
    Q_OBJECT
public:
    // The tag images and the picker follow utility's theme.
    JournalPopovers(QWidget* window, Utility* utility);

    Popover* trashPopover = nullptr;
    // The theme's trash can in the color of the entry's tag, beside the question.
    QLabel* trashImage = nullptr;
    QLabel* trashMessage = nullptr;
    QPushButton* trashConfirmButton = nullptr;
    QPushButton* trashCancelButton = nullptr;

    Popover* tagPopover = nullptr;
    ThemeColorPickerController* colorPicker = nullptr;
    QPushButton* tagCancelButton = nullptr;

    Popover* datePopover = nullptr;
    // Picks the day; the date picker below it holds the whole date and time.
    QCalendarWidget* dateCalendar = nullptr;
    QDateTimeEdit* datePopoverDatePicker = nullptr;
    QPushButton* dateConfirmButton = nullptr;
    QPushButton* dateCancelButton = nullptr;

    // Shows the trash image of the entry the trash popover asks about; call
    // it before showing the popover. No entry shows no image.
    void setEntryToTrash(const ManagedObject* entry);

private:
    void buildTrashPopover(QWidget* window);
    void buildTagPopover(QWidget* window, Utility* utility);
    void buildDatePopover(QWidget* window);
};

} // namespace quillet
