#include "appearance/DisplayValueTransformers.h"

#include "app/Utility.h"
#include "platform/ArrayController.h"
#include "platform/Calendar.h"
#include "platform/IndexSet.h"
#include "platform/ManagedObject.h"

#include <QLineEdit>

namespace quillet {

namespace {

constexpr int kFirstListedYear = 1990;

std::optional<QDateTime> dateOf(const QVariant& value) {
    if (value.typeId() != QMetaType::QDateTime) {
        return std::nullopt;
    }
    const QDateTime date = value.toDateTime();
    return date.isValid() ? std::optional<QDateTime>(date) : std::nullopt;
}

QVariant rendered(const QVariant& value, const QString& pattern) {
    const std::optional<QDateTime> date = dateOf(value);
    if (!date) {
        return {};
    }
    const QString text = Utility::sharedUtility()->stringWithDateFormat(pattern, *date);
    return text.isNull() ? QVariant() : QVariant(text);
}

const ManagedObject* entryOf(const QVariant& value) {
    return value.canConvert<ManagedObject*>() ? value.value<ManagedObject*>() : nullptr;
}

} // namespace

QVariant DateToDayTransformer::transformedValue(const QVariant& value) const {
    return rendered(value, QStringLiteral("d"));
}

QVariant DateToWeekTransformer::transformedValue(const QVariant& value) const {
    return rendered(value, QStringLiteral("EEE"));
}

QVariant DateToTimeTransformer::transformedValue(const QVariant& value) const {
    const std::optional<QDateTime> date = dateOf(value);
    if (!date) {
        return {};
    }
    const QString text = Utility::sharedUtility()->stringOfTimeWithSystemFormat(*date);
    return text.isNull() ? QVariant() : QVariant(text);
}

QVariant DateToMonthTransformer::transformedValue(const QVariant& value) const {
    return rendered(value, QStringLiteral("yyyy,MMM"));
}

// The indexes come from the calendar rather than from formatted digits, which
// in some locales are not ASCII and would not read back as numbers.
QVariant DateToMonthIndexTransformer::transformedValue(const QVariant& value) const {
    const std::optional<QDateTime> date = dateOf(value);
    if (!date) {
        return {};
    }
    return Calendar::currentCalendar().components(*date).month - 1;
}

// The calendar year ("yyyy"): the week-based year would put the last days of
// some Decembers into the following year.
QVariant DateToYearIndexTransformer::transformedValue(const QVariant& value) const {
    const std::optional<QDateTime> date = dateOf(value);
    if (!date) {
        return {};
    }
    return Calendar::currentCalendar().components(*date).year - kFirstListedYear;
}

QVariant DateToStringTransformer::transformedValue(const QVariant& value) const {
    return rendered(value, QStringLiteral("yyyy/MMM/dd HH:mm:ss"));
}

QVariant StringToNumberTransformer::transformedValue(const QVariant& value) const {
    const int tag = intValue(value);
    return tag >= 1 && tag <= 5 ? tag : 0;
}

QVariant StringToNumberTransformer::reverseTransformedValue(const QVariant& value) const {
    if (!value.isValid() || value.isNull()) {
        return {};
    }
    return value.toString();
}

QVariant NumberToStringTransformer::transformedValue(const QVariant& value) const {
    if (!value.isValid() || value.isNull()) {
        return {};
    }
    return value.toString();
}

QVariant FontNameTransformer::transformedValue(const QVariant& value) const {
    Q_UNUSED(value);
    const std::optional<QFont> font = Utility::sharedUtility()->currentFont();
    return font ? QVariant(Utility::fontName(*font)) : QVariant();
}

SearchActivityTransformer::SearchActivityTransformer(QLineEdit* searchField) : searchField_(searchField) {}

QLineEdit* SearchActivityTransformer::searchField() const {
    return searchField_;
}

QVariant SearchActivityTransformer::transformedValue(const QVariant& value) const {
    Q_UNUSED(value);
    return !searchField_ || searchField_->text().isEmpty();
}

ObjectValueToNotFirstOfDayTransformer::ObjectValueToNotFirstOfDayTransformer(ArrayController* arrayController)
    : arrayController_(arrayController) {}

ArrayController* ObjectValueToNotFirstOfDayTransformer::arrayController() const {
    return arrayController_;
}

Utility* ObjectValueToNotFirstOfDayTransformer::utility() const {
    if (!utility_) {
        utility_ = Utility::sharedUtility();
    }
    return utility_;
}

QVariant ObjectValueToNotFirstOfDayTransformer::transformedValue(const QVariant& value) const {
    return !isEntryFirstOfDay(entryOf(value));
}

bool ObjectValueToNotFirstOfDayTransformer::isEntryFirstOfDay(const ManagedObject* entry) const {
    if (!arrayController_ || !entry) {
        return true;
    }
    const std::size_t index = arrayController_->indexOfObject(entry);
    if (index == IndexSet::NotFound || index == 0) {
        return true;
    }
    const ManagedObject* previous = arrayController_->objectAtIndex(index - 1);
    const QString pattern = QStringLiteral("yyyyMMdd");
    const QString day = utility()->stringWithDateFormat(pattern, entry->timeStamp());
    const QString previousDay = utility()->stringWithDateFormat(pattern, previous->timeStamp());
    return day != previousDay;
}

ObjectToIsSelectedTransformer::ObjectToIsSelectedTransformer(ArrayController* arrayController)
    : arrayController_(arrayController) {}

ArrayController* ObjectToIsSelectedTransformer::arrayController() const {
    return arrayController_;
}

QVariant ObjectToIsSelectedTransformer::transformedValue(const QVariant& value) const {
    return isEntrySelected(entryOf(value));
}

bool ObjectToIsSelectedTransformer::isEntrySelected(const ManagedObject* entry) const {
    Q_UNUSED(entry);
    return false;
}

} // namespace quillet
