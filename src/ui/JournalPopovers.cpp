#include "ui/JournalPopovers.h"

#include "diary/transformers/ValueTransformer.h"
#include "store/ManagedObject.h"
#include "ui/Popover.h"
#include "ui/appearance/ColorTagImageTransformer.h"
#include "ui/appearance/ThemeColorPickerController.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

namespace quillet {

namespace {

// Escape in a popover is its Cancel button.
void cancelOnEscape(Popover* popover, QPushButton* cancel) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), popover);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(shortcut, &QShortcut::activated, cancel, &QPushButton::click);
}

QHBoxLayout* buttonRow(QPushButton* cancel, QPushButton* confirm) {
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    row->addStretch(1);
    row->addWidget(cancel);
    if (confirm) {
        row->addWidget(confirm);
    }
    return row;
}

} // namespace

JournalPopovers::JournalPopovers(QWidget* window, Utility* utility) : QObject(window) {
    ColorTagImageTransformer::registerClasses(utility);
    buildTrashPopover(window);
    buildTagPopover(window, utility);
    buildDatePopover(window);
}

void JournalPopovers::buildTrashPopover(QWidget* window) {
    trashPopover = new Popover(window);
    auto* layout = new QVBoxLayout(trashPopover);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->setSpacing(12);

    trashMessage = new QLabel(tr("Move this entry to the trash?"), trashPopover);
    QFont bold = trashMessage->font();
    bold.setBold(true);
    trashMessage->setFont(bold);
    auto* detail = new QLabel(tr("It is removed from the diary at once."), trashPopover);
    QPalette quiet = detail->palette();
    quiet.setColor(QPalette::WindowText, quiet.color(QPalette::PlaceholderText));
    detail->setPalette(quiet);
    trashImage = new QLabel(trashPopover);
    trashImage->setObjectName(QStringLiteral("trashImage"));
    trashImage->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    trashImage->hide();
    auto* texts = new QVBoxLayout;
    texts->setSpacing(layout->spacing());
    texts->addWidget(trashMessage);
    texts->addWidget(detail);
    auto* question = new QHBoxLayout;
    question->setSpacing(10);
    question->addWidget(trashImage, 0, Qt::AlignTop);
    question->addLayout(texts, 1);
    layout->addLayout(question);

    trashCancelButton = new QPushButton(tr("Cancel"), trashPopover);
    trashConfirmButton = new QPushButton(tr("Trash"), trashPopover);
    trashConfirmButton->setObjectName(QStringLiteral("trashConfirmButton"));
    // The harmless answer is the one Return gives.
    trashCancelButton->setDefault(true);
    layout->addLayout(buttonRow(trashCancelButton, trashConfirmButton));
    cancelOnEscape(trashPopover, trashCancelButton);
}

void JournalPopovers::setEntryToTrash(const ManagedObject* entry) {
    QPixmap image;
    const auto transformer = ValueTransformer::valueTransformerForName(
        QStringLiteral("ColorTagToTrashImageTransformer"));
    if (entry && transformer) {
        image = transformer->transformedValue(entry->valueForKey(QStringLiteral("colorTag")))
                    .value<QPixmap>();
    }
    trashImage->setPixmap(image);
    trashImage->setVisible(!image.isNull());
}

void JournalPopovers::buildTagPopover(QWidget* window, Utility* utility) {
    tagPopover = new Popover(window);
    auto* layout = new QVBoxLayout(tagPopover);
    layout->setContentsMargins(1, 1, 1, 10);
    layout->setSpacing(10);
    colorPicker = new ThemeColorPickerController(utility, tagPopover);
    layout->addWidget(colorPicker);
    tagCancelButton = new QPushButton(tr("Cancel"), tagPopover);
    auto* row = buttonRow(tagCancelButton, nullptr);
    auto* title = new QLabel(tr("Color tag of this entry"), tagPopover);
    QPalette quiet = title->palette();
    quiet.setColor(QPalette::WindowText, quiet.color(QPalette::PlaceholderText));
    title->setPalette(quiet);
    row->insertWidget(0, title);
    row->setContentsMargins(12, 0, 12, 0);
    layout->addLayout(row);
    cancelOnEscape(tagPopover, tagCancelButton);
}

void JournalPopovers::buildDatePopover(QWidget* window) {
    datePopover = new Popover(window);
    auto* layout = new QVBoxLayout(datePopover);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);

    dateCalendar = new QCalendarWidget(datePopover);
    dateCalendar->setObjectName(QStringLiteral("dateCalendar"));
    dateCalendar->setGridVisible(false);
    dateCalendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    dateCalendar->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    // A quiet month header in the popover's own colors instead of the stock bar and arrows.
    dateCalendar->setStyleSheet(QStringLiteral(
        "#qt_calendar_navigationbar { background: transparent; }"
        "QCalendarWidget QToolButton { background: transparent; border: none; font-weight: 600;"
        " padding: 2px 6px; color: palette(text); }"
        "QCalendarWidget QToolButton:hover { color: palette(highlight); }"
        "QCalendarWidget QToolButton::menu-indicator { image: none; width: 0px; }"));
    const std::pair<const char*, QChar> arrows[] = {{"qt_calendar_prevmonth", QChar(0x2039)},
                                                    {"qt_calendar_nextmonth", QChar(0x203A)}};
    for (const auto& [name, arrow] : arrows) {
        if (auto* button = dateCalendar->findChild<QToolButton*>(QLatin1String(name))) {
            button->setIcon(QIcon());
            button->setText(arrow);
            button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        }
    }
    layout->addWidget(dateCalendar);

    auto* timeRow = new QHBoxLayout;
    auto* label = new QLabel(tr("Date and time"), datePopover);
    datePopoverDatePicker = new QDateTimeEdit(datePopover);
    datePopoverDatePicker->setObjectName(QStringLiteral("datePopoverDatePicker"));
    datePopoverDatePicker->setDisplayFormat(QStringLiteral("yyyy-MM-dd  HH:mm:ss"));
    label->setBuddy(datePopoverDatePicker);
    timeRow->addWidget(label);
    timeRow->addWidget(datePopoverDatePicker, 1);
    layout->addLayout(timeRow);

    dateCancelButton = new QPushButton(tr("Cancel"), datePopover);
    dateConfirmButton = new QPushButton(tr("OK"), datePopover);
    dateConfirmButton->setObjectName(QStringLiteral("dateConfirmButton"));
    dateConfirmButton->setDefault(true);
    layout->addLayout(buttonRow(dateCancelButton, dateConfirmButton));
    cancelOnEscape(datePopover, dateCancelButton);

    // The calendar picks the day and keeps the time; the picker's value is the one applied.
    connect(dateCalendar, &QCalendarWidget::selectionChanged, datePopoverDatePicker, [this] {
        if (datePopoverDatePicker->date() != dateCalendar->selectedDate()) {
            datePopoverDatePicker->setDate(dateCalendar->selectedDate());
        }
    });
    connect(dateCalendar, &QCalendarWidget::activated, dateConfirmButton, &QPushButton::click);
    connect(datePopoverDatePicker, &QDateTimeEdit::dateChanged, dateCalendar, [this](QDate day) {
        if (dateCalendar->selectedDate() != day) {
            dateCalendar->setSelectedDate(day);
        }
    });
}

} // namespace quillet
