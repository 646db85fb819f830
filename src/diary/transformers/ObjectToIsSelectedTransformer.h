#pragma once

#include "diary/transformers/ValueTransformer.h"

#include <QPointer>

namespace quillet {

class ArrayController;
class ManagedObject;

// Answers false for every entry: rows show their selection through the list
// view's own selection, not through this flag.
class ObjectToIsSelectedTransformer : public ValueTransformer {
public:
    explicit ObjectToIsSelectedTransformer(ArrayController* arrayController);
    QVariant transformedValue(const QVariant& value) const override;
    bool isEntrySelected(const ManagedObject* entry) const;
    ArrayController* arrayController() const;

private:
    QPointer<ArrayController> arrayController_;
};

} // namespace quillet
