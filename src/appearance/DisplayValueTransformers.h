#pragma once

#include "appearance/ValueTransformer.h"

#include <QDateTime>
#include <QPointer>

class QLineEdit;

namespace quillet {

class ArrayController;
class ManagedObject;
class Utility;

// Dates rendered through the shared formatter of Utility: the user's locale
// and the local time zone. A missing date gives no value.
class DateToDayTransformer : public ValueTransformer {
public:
    QMetaType transformedValueClass() const override { return QMetaType::fromType<QString>(); }
    QVariant transformedValue(const QVariant& value) const override;
};

class DateToWeekTransformer : public ValueTransformer {
public:
    QMetaType transformedValueClass() const override { return QMetaType::fromType<QString>(); }
    QVariant transformedValue(const QVariant& value) const override;
};

// The time in the user's short time style, without the date.
class DateToTimeTransformer : public ValueTransformer {
public:
    QMetaType transformedValueClass() const override { return QMetaType::fromType<QString>(); }
    QVariant transformedValue(const QVariant& value) const override;
};

class DateToMonthTransformer : public ValueTransformer {
public:
    QMetaType transformedValueClass() const override { return QMetaType::fromType<QString>(); }
    QVariant transformedValue(const QVariant& value) const override;
};

// 0 for January to 11 for December: the row of the month grid.
class DateToMonthIndexTransformer : public ValueTransformer {
public:
    QMetaType transformedValueClass() const override { return QMetaType::fromType<int>(); }
    QVariant transformedValue(const QVariant& value) const override;
};

// The calendar year minus 1990: the row of the year list, negative before it.
class DateToYearIndexTransformer : public ValueTransformer {
public:
    QMetaType transformedValueClass() const override { return QMetaType::fromType<int>(); }
    QVariant transformedValue(const QVariant& value) const override;
};

// "2012/Mar/05 14:07:09", the date line above the editor.
class DateToStringTransformer : public ValueTransformer {
public:
    QMetaType transformedValueClass() const override { return QMetaType::fromType<QString>(); }
    QVariant transformedValue(const QVariant& value) const override;
};

// A color tag from a text or a number: 1 to 5 stay, anything else is 0.
class StringToNumberTransformer : public ValueTransformer {
public:
    QMetaType transformedValueClass() const override { return QMetaType::fromType<int>(); }
    QVariant transformedValue(const QVariant& value) const override;
    // Declared one-way so bindings never write back, but answers all the same.
    QVariant reverseTransformedValue(const QVariant& value) const override;
};

class NumberToStringTransformer : public ValueTransformer {
public:
    QMetaType transformedValueClass() const override { return QMetaType::fromType<QString>(); }
    QVariant transformedValue(const QVariant& value) const override;
};

// The stored name of the editor font, whatever the bound value.
class FontNameTransformer : public ValueTransformer {
public:
    QMetaType transformedValueClass() const override { return QMetaType::fromType<QString>(); }
    QVariant transformedValue(const QVariant& value) const override;
};

// True while the search field is empty, whatever the bound value.
class SearchActivityTransformer : public ValueTransformer {
public:
    explicit SearchActivityTransformer(QLineEdit* searchField);
    QMetaType transformedValueClass() const override { return QMetaType::fromType<bool>(); }
    QVariant transformedValue(const QVariant& value) const override;
    QLineEdit* searchField() const;

private:
    QPointer<QLineEdit> searchField_;
};

// True for an entry that follows another of the same calendar day in the
// list: its day header is hidden.
class ObjectValueToNotFirstOfDayTransformer : public ValueTransformer {
public:
    explicit ObjectValueToNotFirstOfDayTransformer(ArrayController* arrayController);
    QMetaType transformedValueClass() const override { return QMetaType::fromType<bool>(); }
    QVariant transformedValue(const QVariant& value) const override;

    // True when the entry opens its day: the first of the list, not listed at
    // all, or of another day than the entry above it.
    bool isEntryFirstOfDay(const ManagedObject* entry) const;
    ArrayController* arrayController() const;
    Utility* utility() const;

private:
    QPointer<ArrayController> arrayController_;
    mutable Utility* utility_ = nullptr;
};

// Answers false for every entry: rows show their selection through the list
// view's own selection, not through this flag.
class ObjectToIsSelectedTransformer : public ValueTransformer {
public:
    explicit ObjectToIsSelectedTransformer(ArrayController* arrayController);
    QMetaType transformedValueClass() const override { return QMetaType::fromType<bool>(); }
    QVariant transformedValue(const QVariant& value) const override;
    bool isEntrySelected(const ManagedObject* entry) const;
    ArrayController* arrayController() const;

private:
    QPointer<ArrayController> arrayController_;
};

} // namespace quillet
