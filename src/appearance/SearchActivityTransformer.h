#pragma once

#include "appearance/ValueTransformer.h"

#include <QPointer>

class QLineEdit;

namespace quillet {

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

} // namespace quillet
