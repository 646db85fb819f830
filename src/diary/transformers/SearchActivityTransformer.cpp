#include "diary/transformers/SearchActivityTransformer.h"

#include <QVariant>

namespace quillet {

SearchActivityTransformer::SearchActivityTransformer(QObject* searchField)
    : searchField_(searchField) {}

QObject* SearchActivityTransformer::searchField() const {
    return searchField_;
}

QVariant SearchActivityTransformer::transformedValue(const QVariant& value) const {
    Q_UNUSED(value);
    return !searchField_ || searchField_->property("text").toString().isEmpty();
}

} // namespace quillet
