#pragma once

#include "diary/transformers/ValueTransformer.h"

#include <QObject>
#include <QPointer>

namespace quillet {

// True while the search field is empty, whatever the bound value. The field
// is any object with a "text" property (the window's search field), so this
// layer needs no widgets.
class SearchActivityTransformer : public ValueTransformer {
public:
    explicit SearchActivityTransformer(QObject* searchField);

    QVariant transformedValue(const QVariant& value) const override;

    QObject* searchField() const;

private:
    QPointer<QObject> searchField_;
};

} // namespace quillet
