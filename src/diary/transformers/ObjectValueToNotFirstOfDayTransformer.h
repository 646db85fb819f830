#pragma once

#include "diary/transformers/ValueTransformer.h"

#include <QPointer>

namespace quillet {

class ArrayController;
class ManagedObject;
class Utility;

// True for an entry that follows another of the same calendar day in the
// list: its day header is hidden.
class ObjectValueToNotFirstOfDayTransformer : public ValueTransformer {
public:
    explicit ObjectValueToNotFirstOfDayTransformer(ArrayController* arrayController);
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

} // namespace quillet
